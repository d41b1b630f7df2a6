#pragma once
// Finds where the statements of a batch begin and end. T-SQL needs no
// separator between statements, so a statement ends where the next one's
// first keyword stands (outside parentheses), at a ';', or at the end of
// the batch; CREATE TRIGGER takes the rest of the batch.
#include "sql_lexer.h"

#include <vector>

namespace standin {

struct TokenRange {
    size_t first = 0;  // index of the first token
    size_t last = 0;   // one past the last token
    bool empty() const { return first >= last; }
    size_t size() const { return last - first; }
};

// The top-level statements of tokens[range].
std::vector<TokenRange> splitStatements(const std::vector<Token>& tokens, TokenRange range);
// One past the end of the statement that starts at `start` (IF ... ELSE and
// BEGIN ... END blocks included).
size_t statementEnd(const std::vector<Token>& tokens, size_t start, size_t limit);
// A word that starts a statement of its own.
bool isStatementKeyword(const Token& t);

}  // namespace standin
