#pragma once
// CREATE TABLE's list of columns and constraints, read into the
// catalogue's description of the table and the SQLite statement that
// creates it.
#include "catalog.h"
#include "conversions.h"
#include "statement_text.h"

#include <string>

namespace standin {

struct TableDefinition {
    TableInfo table;
    std::string sqliteDdl;  // CREATE TABLE "name" (...)
};

// The list in parentheses starting at token `open` of `s`, for table
// `name`. Text columns without COLLATE take the session's database
// collation; a literal DEFAULT is converted to its column's type under the
// session's settings. Throws StatementError with SQL Server's error for
// what it refuses.
TableDefinition readTableDefinition(const StatementText& s, size_t open, const std::string& name,
                                    const ConversionContext& session);

}  // namespace standin
