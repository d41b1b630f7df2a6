#include "db/odbc_batch.h"

#include <algorithm>

#include "db/ado_field_types.h"
#include "db/odbc_handles.h"
#include "db/odbc_text.h"
#include "db/odbc_values.h"

namespace dovrel::ado::odbc {
namespace {

// A failure after which the statement cannot go on to its next result: the
// connection is lost, the command timed out or was cancelled, or the driver
// refuses the call.
bool endsBatch(const ErrorEntry& entry) {
    const std::string& s = entry.SQLState;
    return s.starts_with("08") || s.starts_with("HYT") || s.starts_with("IM") || s == "HY008" || s == "HY010" ||
           s == "HY001" || s == "24000";
}

std::string columnName(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT& sqlType, SQLSMALLINT& nullable) {
    std::u16string name(128, u'\0');
    for (;;) {
        SQLSMALLINT length = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        check(SQLDescribeColW(statement, column, wide(name), static_cast<SQLSMALLINT>(name.size()), &length, &sqlType,
                              &size, &digits, &nullable),
              SQL_HANDLE_STMT, statement, "SQLDescribeCol");
        if (static_cast<std::size_t>(length) < name.size()) {
            name.resize(static_cast<std::size_t>(length));
            return toUtf8(name);
        }
        name.assign(static_cast<std::size_t>(length) + 1, u'\0');
    }
}

std::string typeName(SQLHSTMT statement, SQLUSMALLINT column) {
    std::u16string name(64, u'\0');
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLColAttributeW(statement, column, SQL_DESC_TYPE_NAME, wide(name),
                                          static_cast<SQLSMALLINT>(name.size() * sizeof(char16_t)), &bytes, nullptr);
    if (!succeeded(rc)) return {};
    name.resize(std::min(name.size() - 1, static_cast<std::size_t>(bytes) / sizeof(char16_t)));
    return toUtf8(name);
}

struct FetchedResult {
    std::unique_ptr<Recordset::Data> data = std::make_unique<Recordset::Data>();
    std::vector<ErrorEntry> failures;
};

// Describes the columns of the current result and reads all its rows.
FetchedResult fetchResult(SQLHSTMT statement, SQLSMALLINT columns) {
    FetchedResult result;
    std::vector<SQLSMALLINT> sqlTypes;
    try {
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
            SQLSMALLINT sqlType = 0;
            SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
            std::string name = columnName(statement, c, sqlType, nullable);
            const int attributes = nullable == SQL_NO_NULLS ? 0 : adFldIsNullable;
            result.data->fields.emplace_back(std::move(name), adoTypeOf(sqlType, typeName(statement, c)), attributes);
            sqlTypes.push_back(sqlType);
        }
        for (;;) {
            const SQLRETURN rc = SQLFetch(statement);
            if (rc == SQL_NO_DATA) break;
            std::vector<ErrorEntry> found = failures(rc, SQL_HANDLE_STMT, statement, "SQLFetch");
            if (!found.empty()) {
                result.failures = std::move(found);
                break;
            }
            Row row;
            row.reserve(sqlTypes.size());
            for (std::size_t c = 0; c < sqlTypes.size(); ++c)
                row.push_back(readValue(statement, static_cast<SQLUSMALLINT>(c + 1), sqlTypes[c]));
            result.data->rows.push_back(std::move(row));
        }
    } catch (const DatabaseError& e) {
        result.failures = e.entries();
    }
    return result;
}

}  // namespace

BatchOutcome runBatch(SQLHDBC connection, const std::string& sql, unsigned commandTimeoutSeconds) {
    Handle statement(SQL_HANDLE_STMT, connection);
    const SQLHSTMT stmt = statement.get();
    check(SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT,
                         reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(commandTimeoutSeconds)), 0),
          SQL_HANDLE_STMT, stmt, "SQLSetStmtAttr");

    BatchOutcome outcome;
    bool resultSeen = false;
    std::u16string text = toUtf16(sql);
    SQLRETURN rc = SQLExecDirectW(stmt, wide(text), static_cast<SQLINTEGER>(text.size()));
    const char* call = "SQLExecDirect";
    // SQL_NO_DATA from the execution only says that the first statement
    // touched no rows; the following statements still have their results.
    for (bool first = true; first || rc != SQL_NO_DATA; first = false) {
        std::vector<ErrorEntry> found = failures(rc, SQL_HANDLE_STMT, stmt, call);
        const bool stop = rc == SQL_INVALID_HANDLE || std::any_of(found.begin(), found.end(), endsBatch);
        outcome.failures.insert(outcome.failures.end(), found.begin(), found.end());
        if (stop) break;
        SQLSMALLINT columns = 0;
        if (!resultSeen && succeeded(rc) && succeeded(SQLNumResultCols(stmt, &columns)) && columns > 0) {
            FetchedResult fetched = fetchResult(stmt, columns);
            outcome.failures.insert(outcome.failures.end(), fetched.failures.begin(), fetched.failures.end());
            outcome.firstResult = std::move(fetched.data);
            outcome.failuresUpToFirstResult = outcome.failures.size();
            resultSeen = true;
            if (std::any_of(fetched.failures.begin(), fetched.failures.end(), endsBatch)) break;
        }
        rc = SQLMoreResults(stmt);
        call = "SQLMoreResults";
    }
    if (!resultSeen) outcome.failuresUpToFirstResult = outcome.failures.size();
    return outcome;
}

}  // namespace dovrel::ado::odbc
