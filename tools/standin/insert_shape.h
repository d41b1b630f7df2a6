#pragma once
// The form of an INSERT statement, read without running it: its table,
// column list and rows of values (or SELECT, or DEFAULT VALUES). Both the
// batch check before a batch runs and INSERT itself read it, so that the
// value counts SQL Server checks when it compiles the batch (109, 110, 213,
// 8101) are found before anything runs.
#include "catalog.h"
#include "statement_text.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct InsertShape {
    enum class Source { Values, Select, DefaultValues };
    std::string table;
    bool explicitList = false;
    std::vector<std::pair<std::string, size_t>> columns;  // names of the column list, with their token
    Source source = Source::Values;
    std::vector<std::vector<std::pair<size_t, size_t>>> rows;  // token ranges of each row's values
    size_t selectStart = 0;
};

// Throws a syntax error (102/156) for a malformed statement.
InsertShape readInsertShape(const StatementText& s);
// The value counts against the column list, or against the table's
// columns when there is no list (`table` may be unknown yet: deferred).
void checkInsertCounts(const InsertShape& shape, const TableInfo* table);

}  // namespace standin
