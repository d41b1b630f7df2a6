#pragma once
// Collating sequences registered on every session's SQLite connection, so
// that SQLite's own comparisons, ORDER BY, MIN/MAX and unique indexes
// follow SQL Server's rules for the values the stand-in stores as text:
// every collation of collation.h under its own name, and exact numerics.
#include "catalog.h"

#include <sqlite3.h>

namespace standin {

// Exact numerics (decimal, numeric, money) are stored as decimal text and
// compared by value: '2.50' = '2.5' < '10'.
inline constexpr const char* ExactNumericCollation = "STANDIN_EXACT";

void registerCollations(sqlite3* db);

// Sets the collation of each text column of `t` from its SQLite declaration.
void readColumnCollations(sqlite3* db, TableInfo& t);

}  // namespace standin
