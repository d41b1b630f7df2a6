#pragma once
// The tables a statement names, for its locks: the one it changes (INSERT
// INTO t, UPDATE t, DELETE FROM t, TRUNCATE TABLE t) and the ones it reads
// (after FROM and JOIN, in subqueries too). Names are as written; whether
// they are tables at all is the caller's question.
#include "statement_text.h"

#include <string>
#include <vector>

namespace standin {

struct StatementTables {
    std::string written;
    std::vector<std::string> read;
    // Read WITH (NOLOCK) or (READUNCOMMITTED): no shared lock.
    std::vector<std::string> readUnlocked;
};

StatementTables tablesOf(const StatementText& s);

}  // namespace standin
