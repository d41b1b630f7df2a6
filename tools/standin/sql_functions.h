#pragma once
// T-SQL built-in functions that SQLite lacks, registered on each session's
// connection: GETDATE, NEWID, LEN, CHARINDEX, YEAR/MONTH/DAY, DB_NAME,
// SUSER_SNAME, OBJECT_ID ...
#include <sqlite3.h>
#include <string>

namespace standin {

struct FunctionContext {
    std::string database;  // DB_NAME()
    std::string login;     // SUSER_SNAME(), USER_NAME()
    std::string appName;   // APP_NAME()
    std::string hostName;  // HOST_NAME()
};

// `context` must outlive the connection.
void registerFunctions(sqlite3* db, const FunctionContext* context);

}  // namespace standin
