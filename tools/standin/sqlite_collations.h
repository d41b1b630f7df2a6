#pragma once
// Collating sequences registered on every session's SQLite connection, so
// that SQLite's own comparisons, ORDER BY, MIN/MAX and unique indexes
// follow SQL Server's rules for the values the stand-in stores as text.
#include <sqlite3.h>

namespace standin {

// Exact numerics (decimal, numeric, money) are stored as decimal text and
// compared by value: '2.50' = '2.5' < '10'.
inline constexpr const char* ExactNumericCollation = "STANDIN_EXACT";

void registerCollations(sqlite3* db);

}  // namespace standin
