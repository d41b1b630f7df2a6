#pragma once
// T-SQL built-in functions that SQLite lacks, registered on each session's
// connection: GETDATE, NEWID, LEN, CHARINDEX, YEAR/MONTH/DAY, DB_NAME,
// SUSER_SNAME, OBJECT_ID ..., an exact SUM, and the conversions that CAST,
// CONVERT and UPDATE's assignments are translated into.
#include "conversions.h"

#include <sqlite3.h>
#include <string>

namespace standin {

struct FunctionContext {
    std::string database;          // DB_NAME()
    std::string login;             // SUSER_SNAME(), USER_NAME()
    std::string appName;           // APP_NAME()
    std::string hostName;          // HOST_NAME()
    ConversionContext conversion;  // the session's date settings
};

// The SQLite calls that stand for CAST, CONVERT and an assignment:
// standin_convert(value, 'target type', style or NULL, 'source type' or '', origin)
// standin_assign(value, 'target type', 'source type' or '', origin)
// where origin is a ValueOrigin as a number.
inline constexpr const char* ConvertFunction = "standin_convert";
inline constexpr const char* AssignFunction = "standin_assign";

// `context` must outlive the connection.
void registerFunctions(sqlite3* db, const FunctionContext* context);

}  // namespace standin
