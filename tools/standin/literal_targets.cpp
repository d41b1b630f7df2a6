#include "literal_targets.h"

#include <optional>

namespace standin {
namespace {

bool isComparison(const Token& t) {
    if (t.kind != TokenKind::Symbol) return false;
    return t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" || t.text == "<=" ||
           t.text == ">=" || t.text == "!<" || t.text == "!>";
}

bool isLiteral(const Token& t) { return t.kind == TokenKind::String || t.kind == TokenKind::Number; }

bool isSign(const Token& t) { return t.isSymbol("-") || t.isSymbol("+"); }

// The index of the literal at k, a sign before a number allowed; or none.
std::optional<size_t> literalAt(const StatementText& s, size_t k) {
    if (!s.has(k)) return std::nullopt;
    if (isLiteral(s.at(k))) return k;
    if (isSign(s.at(k)) && s.has(k + 1) && s.at(k + 1).kind == TokenKind::Number) return k + 1;
    return std::nullopt;
}

bool isColumnWord(const Token& t) {
    if (t.kind == TokenKind::QuotedName) return true;
    return t.kind == TokenKind::Word && !isReservedWord(t.text);
}

// The column named by a reference that ends at token `last` ("c", "t.c",
// "db.dbo.t.c"), or "" when no column reference ends there.
std::string columnEndingAt(const StatementText& s, size_t last) {
    if (!s.has(last) || !isColumnWord(s.at(last))) return {};
    return s.at(last).text;
}

// The column named by a reference that starts at token `first` and is not a
// function call, or "".
std::string columnStartingAt(const StatementText& s, size_t first) {
    size_t k = first;
    if (!s.has(k) || !isColumnWord(s.at(k))) return {};
    while (s.has(k + 2) && s.at(k + 1).isSymbol(".") && s.at(k + 2).isName()) k += 2;
    if (s.has(k + 1) && (s.at(k + 1).isSymbol("(") || s.at(k + 1).isSymbol("."))) return {};
    return s.at(k).text;
}

// The column before a predicate keyword at `k` (BETWEEN, IN), NOT allowed between.
std::string columnBefore(const StatementText& s, size_t k) {
    if (k == 0) return {};
    if (s.at(k - 1).is("not")) return k >= 2 ? columnEndingAt(s, k - 2) : std::string();
    return columnEndingAt(s, k - 1);
}

}  // namespace

std::vector<std::string> columnsMetByLiterals(const StatementText& s) {
    std::vector<std::string> met(s.size());
    for (size_t k = 0; k < s.size(); ++k) {
        const Token& t = s.at(k);
        if (isComparison(t) && k > 0) {
            // SELECT alias = 'x' names a column of the result; it meets nothing.
            const bool alias = t.isSymbol("=") && k >= 2 &&
                               (s.at(k - 2).is("select") || s.at(k - 2).is("distinct") || s.at(k - 2).isSymbol(","));
            if (auto at = literalAt(s, k + 1); at && !alias) met[*at] = columnEndingAt(s, k - 1);
            if (isLiteral(s.at(k - 1))) met[k - 1] = columnStartingAt(s, k + 1);
        } else if (t.is("between")) {
            const std::string column = columnBefore(s, k);
            if (column.empty()) continue;
            const auto low = literalAt(s, k + 1);
            if (!low) continue;
            met[*low] = column;
            if (s.has(*low + 2) && s.at(*low + 1).is("and")) {
                if (auto high = literalAt(s, *low + 2)) met[*high] = column;
            }
        } else if (t.is("in") && s.has(k + 1) && s.at(k + 1).isSymbol("(")) {
            const std::string column = columnBefore(s, k);
            if (column.empty()) continue;
            const size_t close = matchingParen(s, k + 1);
            for (auto [a, b] : splitTopLevel(s, k + 2, close)) {
                if (auto at = literalAt(s, a); at && *at + 1 == b) met[*at] = column;
            }
        }
    }
    return met;
}

}  // namespace standin
