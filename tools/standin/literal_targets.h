#pragma once
// Where a literal meets a column: `col = 'x'`, `'x' < t.col`,
// `col [NOT] BETWEEN 'a' AND 'b'`, `col [NOT] IN ('a', 'b')`. SQL Server
// converts such a literal to the column's type (a string meeting a
// datetime column is read as a date), so the translation must too.
#include "statement_text.h"

#include <string>
#include <vector>

namespace standin {

// For each token of `s`: the name of the column the literal there meets,
// or "" (also for every token that is no literal).
std::vector<std::string> columnsMetByLiterals(const StatementText& s);

}  // namespace standin
