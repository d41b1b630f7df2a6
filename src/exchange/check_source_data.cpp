#include "db/connection_string.h"
#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/source_text.h"
#include "exchange/detail/texts.h"
#include "exchange/exchange.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel {

using namespace exchange::detail;

namespace {

// The header line: the first line, or the second when the first begins with
// "[" (whether or not it ends with "]").
std::string headerLine(const std::string& fileName) {
    std::vector<std::string> lines = readLeadingLines(fileName, 2);
    std::size_t header = !lines.empty() && !lines[0].empty() && lines[0][0] == '[' ? 1 : 0;
    if (header >= lines.size()) throw RuntimeError(err::InputPastEnd);
    return std::move(lines[header]);
}

}  // namespace

int16_t Exchange::CheckSourceData(const std::string& FileName, const std::string& TableName, std::string& RtStr,
                                  const std::string& ConnectStr) {
    int16_t result = -1;
    try {
        if (!normalFileExists(FileName) || TableName.empty()) return result;
        const std::string header(withoutTrailingTab(headerLine(FileName)));
        if (header.empty()) return result;

        TextCollection names;
        for (std::size_t begin = 0;;) {
            std::size_t tab = header.find('\t', begin);
            std::string name = header.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin);
            names.Add(name, name);
            if (tab == std::string::npos) break;
            begin = tab + 1;
        }

        if (auto probe = OpenRecordset(ConnectStr, "Select * From " + TableName + " Where 1=2 ")) {
            FieldsCollection fields(*probe);
            for (const std::string& name : names.Items())
                if (!MemExist(fields, name)) RtStr += name + localized(kNotInTable) + TableName;
            for (const ado::Field& field : probe->AllFields())
                if (FieldKind(field) != kKindOther && !MemExistVal(names, field.Name()))
                    RtStr += field.Name() + localized(kExtraInTable) + TableName;
        }
        if (RtStr.empty()) result = 1;
    } catch (...) {
        ErrorReport error = describeCurrentException();
        showMessage(std::to_string(error.number) + error.description, MessageIcon::None, MessageButtons::Ok);
    }
    return result;
}

}  // namespace dovrel
