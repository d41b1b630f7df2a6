#include "db/ado_errors.h"

namespace dovrel::ado {
namespace {

std::string joinDescriptions(const std::vector<ErrorEntry>& entries) {
    std::string text;
    for (const ErrorEntry& entry : entries) {
        if (!text.empty()) text += '\n';
        text += entry.Description;
    }
    return text;
}

// Errors of the layer itself carry no SQLSTATE of a driver.
constexpr const char* kGeneralState = "HY000";

}  // namespace

namespace {

int32_t firstNumber(const std::vector<ErrorEntry>& entries) {
    for (const ErrorEntry& entry : entries)
        if (entry.Number != 0) return entry.Number;
    return kUnspecifiedError;
}

}  // namespace

DatabaseError::DatabaseError(std::vector<ErrorEntry> entries)
    : RuntimeError(firstNumber(entries), joinDescriptions(entries)), entries_(std::move(entries)) {}

DatabaseError::DatabaseError(std::string sqlState, int32_t nativeError, std::string message)
    : DatabaseError(std::vector<ErrorEntry>{{nativeError, std::move(sqlState), std::move(message)}}) {}

DatabaseError objectClosedError() {
    return {kGeneralState, 3704, "Operation is not allowed when the object is closed."};
}

DatabaseError objectOpenError() { return {kGeneralState, 3705, "Operation is not allowed when the object is open."}; }

DatabaseError noCurrentRecordError() {
    return {kGeneralState, 3021,
            "Either BOF or EOF is True, or the current record has been deleted. "
            "Requested operation requires a current record."};
}

DatabaseError itemNotFoundError() {
    return {kGeneralState, 3265,
            "Item cannot be found in the collection corresponding to the requested name or ordinal."};
}

DatabaseError noTransactionError() { return {kGeneralState, -2147168242, "No transaction is active."}; }

DatabaseError transactionActiveError() {
    return {kGeneralState, -2147168237, "A transaction is already active on this connection."};
}

DatabaseError badConnectionStringError(const std::string& detail) {
    return {"08001", -2147217805, "The connection string is not in the OLE DB format: " + detail};
}

}  // namespace dovrel::ado
