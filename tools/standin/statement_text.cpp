#include "statement_text.h"

#include "sql_error.h"

namespace standin {

std::string StatementText::text(size_t from, size_t to) const {
    if (from >= to || from >= size()) return {};
    to = std::min(to, size());
    const size_t b = at(from).begin;
    const size_t e = at(to - 1).end;
    return std::string(source.substr(b, e - b));
}

}  // namespace standin

namespace standin {

size_t readObjectName(const StatementText& s, size_t k, std::string& name) {
    if (!s.has(k) || !s.at(k).isName()) return k;
    name = s.at(k).text;
    ++k;
    while (s.has(k + 1) && s.at(k).isSymbol(".")) {
        if (s.at(k + 1).isSymbol(".")) {  // db..t
            ++k;
            continue;
        }
        if (!s.at(k + 1).isName()) break;
        name = s.at(k + 1).text;
        k += 2;
    }
    return k;
}

size_t findTopLevelWhere(const StatementText& s, size_t from, size_t to, const std::function<bool(size_t)>& stops) {
    int depth = 0;
    for (size_t k = from; k < to && s.has(k); ++k) {
        const Token& t = s.at(k);
        if (t.isSymbol("("))
            ++depth;
        else if (t.isSymbol(")"))
            --depth;
        else if (depth == 0 && stops(k))
            return k;
    }
    return to;
}

size_t findTopLevel(const StatementText& s, size_t from, size_t to, std::string_view word) {
    return findTopLevelWhere(s, from, to, [&s, word](size_t k) { return s.at(k).is(word) || s.at(k).isSymbol(word); });
}

size_t matchingParen(const StatementText& s, size_t open) {
    int depth = 0;
    for (size_t k = open; s.has(k); ++k) {
        if (s.at(k).isSymbol("("))
            ++depth;
        else if (s.at(k).isSymbol(")") && --depth == 0)
            return k;
    }
    syntaxErrorAt(s, s.size());
}

std::vector<std::pair<size_t, size_t>> splitTopLevel(const StatementText& s, size_t from, size_t to) {
    std::vector<std::pair<size_t, size_t>> parts;
    int depth = 0;
    size_t start = from;
    for (size_t k = from; k < to; ++k) {
        const Token& t = s.at(k);
        if (t.isSymbol("("))
            ++depth;
        else if (t.isSymbol(")"))
            --depth;
        else if (depth == 0 && t.isSymbol(",")) {
            parts.emplace_back(start, k);
            start = k + 1;
        }
    }
    if (to > from) parts.emplace_back(start, to);
    return parts;
}

size_t skipIfExists(const StatementText& s, size_t k, bool& ifExists) {
    ifExists = s.has(k + 1) && s.at(k).is("if") && s.at(k + 1).is("exists");
    return ifExists ? k + 2 : k;
}

void forEachDropped(const StatementText& s, const std::function<void(const std::string&, bool)>& drop) {
    bool ifExists = false;
    size_t k = skipIfExists(s, 2, ifExists);
    for (;;) {
        std::string name;
        const size_t next = readObjectName(s, k, name);
        if (next == k) syntaxErrorAt(s, k);
        drop(name, ifExists);
        k = next;
        if (!s.has(k)) return;
        if (!s.at(k).isSymbol(",")) syntaxErrorAt(s, k);
        ++k;
    }
}

void syntaxErrorAt(const StatementText& s, size_t k) {
    if (!s.has(k)) {
        fail(102, "Incorrect syntax near '" + (s.size() ? s.at(s.size() - 1).text : std::string()) + "'.", 15);
    }
    const Token& t = s.at(k);
    if (t.kind == TokenKind::Word && isReservedWord(t.text)) {
        fail(156, "Incorrect syntax near the keyword '" + t.text + "'.", 15);
    }
    fail(102, "Incorrect syntax near '" + t.text + "'.", 15);
}

size_t conditionEnd(const StatementText& s) {
    return findTopLevelWhere(s, 1, s.size(), [&s](size_t k) {
        const Token& t = s.at(k);
        return isStatementKeyword(t) && !(t.is("select") && s.at(k - 1).isSymbol("("));
    });
}

}  // namespace standin
