#include "exchange/exchange.h"

#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/source_reader.h"
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
    try {
        std::string mismatch;
        if (CheckSourceData(FileName, TableName, mismatch, options.ConnectStr) == -1)
            return localized(kFieldsMismatch) + mismatch + "\r\n";
        return TableImport(FileName, TableName, options, intDropTrigger_, events_, localizer_).run();
    } catch (...) {
        ErrorReport error = describeCurrentException();
        return std::to_string(error.number) + error.description + "\r\n";
    }
}

SourceGrid Exchange::GetSourceData(const std::string& FileName, const std::string& TableName, bool ToBig5,
                                   const std::string& ConnectStr, const std::string& KeyField,
                                   const std::string& sKeyValue) {
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
