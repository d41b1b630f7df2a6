#pragma once
// What a database keeps about itself, in a hidden table of its own file:
// its collation (CREATE DATABASE ... COLLATE).
#include "collation.h"

#include <sqlite3.h>

namespace standin {

// The database's collation; the server's default when none is stored
// (master, and files made before databases had one).
const Collation& storedDatabaseCollation(sqlite3* db);
void storeDatabaseCollation(sqlite3* db, const Collation& collation);

}  // namespace standin
