#include "exchange/detail/column_utilities.h"

#include <cmath>
#include <cstdlib>

#include "db/connection_string.h"
#include "exchange/detail/identifiers.h"
#include "exchange/detail/value_tests.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace dovrel::exchange::detail {

int16_t FieldKind(int adoType) {
    switch (adoType) {
    case ado::adBSTR:
    case ado::adChar:
    case ado::adWChar:
    case ado::adVarChar:
    case ado::adLongVarChar:
    case ado::adVarWChar:
    case ado::adLongVarWChar: return kKindText;
    case ado::adDate:
    case ado::adDBDate:
    case ado::adDBTime:
    case ado::adDBTimeStamp: return kKindDate;
    case ado::adSmallInt:
    case ado::adInteger:
    case ado::adSingle:
    case ado::adDouble:
    case ado::adCurrency:
    case ado::adBoolean:
    case ado::adDecimal:
    case ado::adTinyInt:
    case ado::adUnsignedTinyInt:
    case ado::adUnsignedSmallInt:
    case ado::adUnsignedInt:
    case ado::adBigInt:
    case ado::adUnsignedBigInt:
    case ado::adNumeric: return kKindNumeric;
    default: return kKindOther;
    }
}

int16_t FieldKind(const ado::Field& field) { return FieldKind(field.Type()); }

int16_t ColumnKind(const std::string& connectStr, const std::string& table, const std::string& column) {
    try {
        if (!isTableName(table)) return kKindUnknown;
        auto recordset =
            OpenRecordset(connectStr, "Select " + columnReference(column) + " From " + table + " Where 1=2");
        if (!recordset) return kKindUnknown;
        ado::Field* field = recordset->FindField(column);
        return field ? FieldKind(*field) : kKindUnknown;
    } catch (...) {
        return kKindUnknown;
    }
}

namespace {

// The value plus 1 as a 32-bit integer, rounded half to even. Throws 13 for
// a value that is not a number, 6 past the 32-bit range.
int32_t nextAfter(const std::string& value) {
    std::string number = trimSpaces(value);
    if (!isStrictNumber(number)) throw RuntimeError(err::TypeMismatch);
    const double next = std::strtod(number.c_str(), nullptr) + 1;
    const double rounded = std::nearbyint(next);  // the default rounding: to nearest, ties to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw RuntimeError(err::Overflow);
    return static_cast<int32_t>(rounded);
}

}  // namespace

int32_t NextValue(const std::string& table, const std::string& column, const std::string& connectStr,
                  std::optional<ErrorReport>* failure) {
    ado::Recordset recordset;
    try {
        if (!isTableName(table)) throw RuntimeError(err::InvalidArgument);
        recordset.Open("Select Max(" + columnReference(column) + ") From " + table, connectStr);
    } catch (...) {
        if (failure) *failure = describeCurrentException();
        return -1;
    }
    try {
        const std::optional<std::string>& value = recordset.Fields(0).Value();
        if (!value) return 1;
        return nextAfter(*value);
    } catch (...) {
        ErrorReport error = describeCurrentException();
        showErrorMessage(error);
        if (failure) *failure = std::move(error);
        return -1;
    }
}

bool ExecuteSql(ado::Connection* connection, const std::string& sql) {
    if (!connection) return false;
    try {
        connection->Errors_().Clear();
        connection->Execute(sql);
        return connection->Errors_().Count() > 0;
    } catch (...) {
        return true;
    }
}

}  // namespace dovrel::exchange::detail
