#pragma once
#include <string>

namespace dovrel::test {

// Every row of `query` through the program's own data layer: values
// separated by "|", rows ended by "\n", NULL as "NULL". Throws
// ado::DatabaseError when the query fails.
std::string queryRows(const std::string& connectionString, const std::string& query);

}  // namespace dovrel::test
