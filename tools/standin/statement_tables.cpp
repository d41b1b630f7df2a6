#include "statement_tables.h"

namespace standin {
namespace {

// Words that end a FROM list (or cannot be an alias).
bool endsFromList(const Token& t) {
    static const char* const words[] = {"where", "group",  "order", "having", "union",  "except", "intersect", "on",
                                        "set",   "option", "for",   "into",   "values", "select", "inner",     "left",
                                        "right", "full",   "cross", "outer",  "join",   "with",   "apply"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words) {
        if (t.is(w)) return true;
    }
    return false;
}

bool isUnlockedHint(const StatementText& s, size_t open, size_t close) {
    for (size_t k = open + 1; k < close; ++k) {
        if (s.at(k).is("nolock") || s.at(k).is("readuncommitted")) return true;
    }
    return false;
}

}  // namespace

StatementTables tablesOf(const StatementText& s) {
    StatementTables out;
    const Token& head = s.at(0);
    size_t skipUntil = 0;  // INSERT's column list is no table
    if (head.is("insert")) {
        size_t k = 1;
        if (s.has(k) && s.at(k).is("into")) ++k;
        const size_t after = readObjectName(s, k, out.written);
        if (s.has(after) && s.at(after).isSymbol("(")) {
            int depth = 0;
            for (size_t j = after; s.has(j); ++j) {
                if (s.at(j).isSymbol("("))
                    ++depth;
                else if (s.at(j).isSymbol(")") && --depth == 0) {
                    skipUntil = j + 1;
                    break;
                }
            }
        }
    } else if (head.is("update")) {
        readObjectName(s, 1, out.written);
    } else if (head.is("delete")) {
        readObjectName(s, s.has(1) && s.at(1).is("from") ? 2 : 1, out.written);
    } else if (head.is("truncate") && s.has(1) && s.at(1).is("table")) {
        readObjectName(s, 2, out.written);
    }
    bool inFrom = false, expectTable = false;
    for (size_t k = std::max<size_t>(1, skipUntil); s.has(k); ++k) {
        const Token& t = s.at(k);
        if (t.is("from") || t.is("join")) {
            // DELETE FROM t names the written table, not a read one.
            inFrom = expectTable = !(head.is("delete") && k == 1);
            continue;
        }
        if (inFrom && t.isSymbol(",")) {
            expectTable = true;  // FROM a, b
            continue;
        }
        if (endsFromList(t)) inFrom = false;
        if (!expectTable) continue;
        expectTable = false;
        if (!t.isName() || endsFromList(t)) continue;
        std::string name;
        size_t next = readObjectName(s, k, name);
        // An alias: [AS] name.
        if (s.has(next) && s.at(next).is("as")) ++next;
        if (s.has(next) && s.at(next).isName() && !endsFromList(s.at(next))) ++next;
        bool unlocked = false;
        if (s.has(next) && s.at(next).is("with") && s.has(next + 1) && s.at(next + 1).isSymbol("(")) {
            const size_t close = matchingParen(s, next + 1);
            unlocked = isUnlockedHint(s, next + 1, close);
            next = close + 1;
        }
        (unlocked ? out.readUnlocked : out.read).push_back(name);
        k = next - 1;
    }
    return out;
}

}  // namespace standin
