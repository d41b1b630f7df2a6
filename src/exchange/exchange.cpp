#include "exchange/exchange.h"

#include <chrono>

#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/localized.h"
#include "exchange/detail/source_reader.h"
#include "exchange/detail/source_text.h"
#include "exchange/detail/table_import.h"
#include "exchange/detail/texts.h"

namespace dovrel {

using namespace exchange::detail;

std::string Exchange::ImportTable(const std::string& FileName, const std::string& TableName, bool ToBig5,
                                  const std::string& KeyField, const std::string& KeyValue, int16_t IDmode,
                                  int16_t CanDelete, const std::string& strDelete, const std::string& ConnectStr,
                                  const std::string& IDname) {
    return ImportTable(FileName, TableName,
                       ImportOptions{ToBig5, KeyField, KeyValue, IDmode, CanDelete, strDelete, ConnectStr, IDname});
}

std::string Exchange::ImportTable(const std::string& FileName, const std::string& TableName,
                                  const ImportOptions& options) {
    const ScopedLocalizer localizer(localizer_);
    ImportSummary summary;
    return TableImport(FileName, TableName, options, intDropTrigger_, events_, summary, false).run();
}

std::string Exchange::ImportTable(const std::string& FileName, const std::string& TableName,
                                  const ImportOptions& options, ImportSummary& summary) {
    const ScopedLocalizer localizer(localizer_);
    summary = {};
    const auto start = std::chrono::steady_clock::now();
    std::string result = TableImport(FileName, TableName, options, intDropTrigger_, events_, summary, true).run();
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

std::string Exchange::CheckFile(const std::string& FileName, const std::string& TableName, const ImportOptions& options,
                                ImportSummary& summary) {
    const ScopedLocalizer localizer(localizer_);
    summary = {};
    const auto start = std::chrono::steady_clock::now();
    std::string result = TableImport(FileName, TableName, options, intDropTrigger_, events_, summary, false).run(true);
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

std::string Exchange::SourceFileProblem(const std::string& path) {
    const ScopedLocalizer localizer(localizer_);
    return problemWithSourceFile(path);
}

SourceGrid Exchange::GetSourceData(const std::string& FileName, const std::string& TableName, bool ToBig5,
                                   const std::string& ConnectStr, const std::string& KeyField,
                                   const std::string& sKeyValue) {
    const ScopedLocalizer localizer(localizer_);
    try {
        SourceReadOptions read;
        read.toBig5 = ToBig5;
        read.keyField = KeyField;
        read.keyValue = sKeyValue;
        read.keyKind = [&] { return ColumnKind(ConnectStr, TableName, KeyField); };
        read.events = events_;
        return readSourceData(FileName, TableName, read);
    } catch (...) {
        ErrorReport error = describeCurrentException();
        return failedGrid({error.number, std::move(error.description)});
    }
}

bool Exchange::MemExist(const KeyedCollection& pColl, const std::string& sMemName) {
    return pColl.Lookup(sMemName) == KeyedCollection::Member::Object;
}

bool Exchange::MemExistVal(const KeyedCollection& pColl, const std::string& sMemName) {
    return pColl.Lookup(sMemName) != KeyedCollection::Member::None;
}

}  // namespace dovrel
