#include "sql_lexer.h"

#include "sql_error.h"
#include "text_codec.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace standin {
namespace {

bool isWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '#' || c >= 0x80; }
bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '#' || c == '$' || c >= 0x80; }

[[noreturn]] void unclosed(std::string_view rest) {
    fail(105, "Unclosed quotation mark after the character string '" + std::string(rest) + "'.", 15);
}

}  // namespace

bool Token::is(std::string_view keyword) const { return kind == TokenKind::Word && equalsIgnoreCase(text, keyword); }

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            int depth = 0;
            do {
                if (s.compare(i, 2, "/*") == 0) {
                    ++depth;
                    i += 2;
                } else if (s.compare(i, 2, "*/") == 0) {
                    --depth;
                    i += 2;
                } else {
                    ++i;
                }
            } while (i < n && depth > 0);
            if (depth > 0) fail(113, "Missing end comment mark '*/'.", 15);
            continue;
        }
        Token t;
        t.begin = i;
        if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') {
            t.unicode = true;
            ++i;
        }
        if (s[i] == '\'') {
            t.kind = TokenKind::String;
            ++i;
            const size_t start = i;
            for (;;) {
                if (i >= n) unclosed(s.substr(start));
                if (s[i] == '\'') {
                    if (i + 1 < n && s[i + 1] == '\'') {
                        t.text.push_back('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text.push_back(s[i++]);
            }
        } else if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            t.kind = TokenKind::QuotedName;
            ++i;
            const size_t start = i;
            for (;;) {
                if (i >= n) unclosed(s.substr(start));
                if (s[i] == close) {
                    if (i + 1 < n && s[i + 1] == close) {
                        t.text.push_back(close);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text.push_back(s[i++]);
            }
        } else if (c == '0' && i + 1 < n && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            t.kind = TokenKind::Binary;
            i += 2;
            while (i < n && std::isxdigit(static_cast<unsigned char>(s[i]))) t.text.push_back(s[i++]);
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            t.kind = TokenKind::Number;
            while (i < n && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) {
                    i = j;
                    while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
                }
            }
            t.text = std::string(s.substr(t.begin, i - t.begin));
        } else if (c == '@') {
            t.kind = TokenKind::Variable;
            ++i;
            if (i < n && s[i] == '@') ++i;
            while (i < n && isWordChar(static_cast<unsigned char>(s[i]))) ++i;
            t.text = std::string(s.substr(t.begin, i - t.begin));
        } else if (isWordStart(c)) {
            t.kind = TokenKind::Word;
            while (i < n && isWordChar(static_cast<unsigned char>(s[i]))) ++i;
            t.text = std::string(s.substr(t.begin, i - t.begin));
        } else {
            t.kind = TokenKind::Symbol;
            static const std::array<std::string_view, 8> twoChar{"<>", "<=", ">=", "!=", "!<", "!>", "||", "::"};
            const auto pair = s.substr(i, 2);
            if (std::find(twoChar.begin(), twoChar.end(), pair) != twoChar.end()) {
                t.text = std::string(pair);
                i += 2;
            } else {
                t.text = std::string(1, s[i]);
                ++i;
            }
        }
        t.end = i;
        tokens.push_back(std::move(t));
    }
    return tokens;
}

bool isReservedWord(std::string_view word) {
    static const std::array<std::string_view, 60> words{
        "add",         "all",      "alter",      "and",      "as",         "asc",    "begin",    "between", "by",
        "case",        "check",    "column",     "commit",   "constraint", "create", "database", "default", "delete",
        "desc",        "distinct", "drop",       "else",     "end",        "exec",   "execute",  "exists",  "foreign",
        "from",        "group",    "having",     "identity", "if",         "in",     "index",    "insert",  "into",
        "is",          "join",     "key",        "like",     "not",        "null",   "on",       "or",      "order",
        "primary",     "print",    "references", "rollback", "select",     "set",    "table",    "top",     "tran",
        "transaction", "trigger",  "union",      "update",   "values",     "where"};
    const std::string lower = toLower(word);
    return std::find(words.begin(), words.end(), lower) != words.end();
}

}  // namespace standin
