#pragma once
// One statement's tokens within the batch text they came from.
#include "sql_split.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// One statement's tokens within the batch they came from.
struct StatementText {
    const std::vector<Token>& tokens;
    TokenRange range;
    std::string_view source;

    const Token& at(size_t k) const { return tokens[range.first + k]; }
    size_t size() const { return range.size(); }
    bool has(size_t k) const { return k < range.size(); }
    // The source text of tokens [from, to) of this statement, verbatim.
    std::string text(size_t from, size_t to) const;
    std::string text() const { return text(0, size()); }
    StatementText sub(size_t from, size_t to) const { return {tokens, {range.first + from, range.first + to}, source}; }
};

// Reads an object name at token k ("t", "dbo.t", "db.dbo.t", "db..t"):
// sets `name` to its last part and returns the index after it, or k when
// no name stands there.
size_t readObjectName(const StatementText& s, size_t k, std::string& name);
// Index of the first token in [from, to) outside parentheses for which
// `stops(index)` holds, or `to`.
size_t findTopLevelWhere(const StatementText& s, size_t from, size_t to, const std::function<bool(size_t)>& stops);
// Index of the first token in [from, to) that is `word` outside
// parentheses, or `to`.
size_t findTopLevel(const StatementText& s, size_t from, size_t to, std::string_view word);
// Index of the parenthesis that closes the one at `open`; throws a syntax
// error when it is missing.
size_t matchingParen(const StatementText& s, size_t open);
// The comma-separated parts of [from, to), outside parentheses.
std::vector<std::pair<size_t, size_t>> splitTopLevel(const StatementText& s, size_t from, size_t to);
// Skips "IF EXISTS" at k, telling whether it was there.
size_t skipIfExists(const StatementText& s, size_t k, bool& ifExists);
// DROP <what> [IF EXISTS] name[, name ...]: calls drop(name, ifExists) for each name.
void forEachDropped(const StatementText& s, const std::function<void(const std::string&, bool)>& drop);
// "Incorrect syntax near ..." for the token at k (or the end).
[[noreturn]] void syntaxErrorAt(const StatementText& s, size_t k);

// The end of an IF or WHILE condition in `s` (the keyword at 0): the first
// statement word outside parentheses.
size_t conditionEnd(const StatementText& s);

}  // namespace standin
