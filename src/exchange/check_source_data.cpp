#include "db/connection_string.h"
#include "exchange/detail/localized.h"
#include "exchange/detail/check_source.h"
#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/refusal.h"
#include "exchange/detail/identifiers.h"
#include "exchange/detail/texts.h"
#include "exchange/exchange.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel {

namespace exchange::detail {
namespace {

// The header line: the first line, or the second when the first begins with
// "[" (whether or not it ends with "]").
std::string headerLine(const std::string& fileName, const SourceTextOptions& decoding) {
    std::vector<std::string> lines = readLeadingLines(fileName, 2, decoding);
    std::size_t header = !lines.empty() && !lines[0].empty() && lines[0][0] == '[' ? 1 : 0;
    if (header >= lines.size()) throw RuntimeError(err::InputPastEnd);
    return std::move(lines[header]);
}

}  // namespace

int16_t compareSourceColumns(const std::string& fileName, const std::string& tableName, std::string& rtStr,
                             const std::string& connectStr, const SourceTextOptions& decoding) {
    int16_t result = -1;
    try {
        if (!normalFileExists(fileName) || tableName.empty()) return result;
        const std::string header(withoutTrailingTab(headerLine(fileName, decoding)));
        if (header.empty()) return result;
        // The probe below puts the name into a statement as it stands.
        if (!isTableName(tableName))
            throw RuntimeError(err::InvalidArgument, localized(kBadTableName) + echo(tableName));

        TextCollection names;
        for (std::size_t begin = 0;;) {
            std::size_t tab = header.find('\t', begin);
            std::string name = header.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin);
            names.Add(name, name);
            if (tab == std::string::npos) break;
            begin = tab + 1;
        }

        Exchange exchange;
        if (auto probe = OpenRecordset(connectStr, "Select * From " + tableName + " Where 1=2 ")) {
            FieldsCollection fields(*probe);
            for (const std::string& name : names.Items())
                if (!exchange.MemExist(fields, name)) rtStr += echo(name) + localized(kNotInTable) + tableName;
            for (const ado::Field& field : probe->AllFields())
                if (FieldKind(field) != kKindOther && !exchange.MemExistVal(names, field.Name()))
                    rtStr += echo(field.Name()) + localized(kExtraInTable) + tableName;
        }
        if (rtStr.empty()) result = 1;
    } catch (...) {
        ErrorReport error = describeCurrentException();
        showMessage(std::to_string(error.number) + echo(error.description), MessageIcon::None, MessageButtons::Ok);
    }
    return result;
}

}  // namespace exchange::detail

int16_t Exchange::CheckSourceData(const std::string& FileName, const std::string& TableName, std::string& RtStr,
                                  const std::string& ConnectStr) {
    const exchange::detail::ScopedLocalizer localizer(localizer_);
    return exchange::detail::compareSourceColumns(FileName, TableName, RtStr, ConnectStr, {});
}

}  // namespace dovrel
