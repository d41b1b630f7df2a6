#include "sql_split.h"

namespace standin {
namespace {

bool isTransactionWord(const Token& t) { return t.is("tran") || t.is("transaction") || t.is("distributed"); }

bool isSetOperator(const Token& t) { return t.is("union") || t.is("all") || t.is("except") || t.is("intersect"); }

// Whether `t` (a statement keyword at depth 0) continues the statement that
// began at `start` instead of starting a new one.
bool continues(const std::vector<Token>& tokens, size_t start, size_t at) {
    const Token& head = tokens[start];
    const Token& t = tokens[at];
    const Token& prev = tokens[at - 1];
    if (t.is("select")) {
        if (isSetOperator(prev) || prev.isSymbol("(")) return true;
        if (head.is("insert")) {
            for (size_t k = start + 1; k < at; ++k) {
                if (tokens[k].is("values") || tokens[k].is("select")) return false;
            }
            return true;
        }
        return false;
    }
    if (t.is("set")) {
        if (!head.is("update")) return false;
        for (size_t k = start + 1; k < at; ++k) {
            if (tokens[k].is("set")) return false;
        }
        return true;
    }
    if (t.is("delete") || t.is("update") || t.is("insert")) {
        // ON DELETE CASCADE, FOR INSERT, UPDATE, GRANT INSERT ...: part of the statement.
        if (!(head.is("create") || head.is("alter") || head.is("grant") || head.is("revoke"))) return false;
        return prev.is("on") || prev.isSymbol(",") || prev.is("for") || prev.is("after") || prev.is("of") ||
               prev.is("grant") || prev.is("revoke");
    }
    if (t.is("drop")) return head.is("alter");
    if (t.is("if")) return head.is("drop") && at == start + 2;  // DROP TABLE IF EXISTS
    if (t.is("exec") || t.is("execute")) {
        // INSERT ... EXEC takes the procedure's rows.
        if (!head.is("insert")) return false;
        for (size_t k = start + 1; k < at; ++k) {
            if (tokens[k].is("values") || tokens[k].is("select")) return false;
        }
        return true;
    }
    return false;
}

}  // namespace

bool isStatementKeyword(const Token& t) {
    static const char* const words[] = {
        "select", "insert", "update",   "delete", "create",  "drop",  "alter", "exec",      "execute",  "set",
        "begin",  "commit", "rollback", "save",   "use",     "print", "if",    "declare",   "truncate", "raiserror",
        "return", "while",  "grant",    "revoke", "waitfor", "merge", "dbcc",  "checkpoint"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words) {
        if (t.is(w)) return true;
    }
    return false;
}

size_t statementEnd(const std::vector<Token>& tokens, size_t start, size_t limit) {
    if (start >= limit) return limit;
    const Token& head = tokens[start];
    if (head.is("create") && start + 1 < limit) {
        const Token& what = tokens[start + 1];
        if (what.is("trigger") || what.is("procedure") || what.is("proc") || what.is("view") || what.is("function")) {
            return limit;
        }
    }
    if (head.is("if") || head.is("while")) {
        // The condition runs to the next statement keyword outside parentheses.
        int depth = 0;
        size_t k = start + 1;
        for (; k < limit; ++k) {
            const Token& t = tokens[k];
            if (t.isSymbol("("))
                ++depth;
            else if (t.isSymbol(")"))
                --depth;
            else if (depth == 0 && isStatementKeyword(t) &&
                     !(t.is("select") && k > start + 1 && tokens[k - 1].isSymbol("(")))
                break;
        }
        size_t end = statementEnd(tokens, k, limit);
        if (head.is("if") && end < limit && tokens[end].is("else")) end = statementEnd(tokens, end + 1, limit);
        return end;
    }
    if (head.is("begin") && !(start + 1 < limit && isTransactionWord(tokens[start + 1]))) {
        // BEGIN ... END block (BEGIN TRY/CATCH are not supported and end at END).
        size_t k = start + 1;
        while (k < limit && !tokens[k].is("end")) {
            if (tokens[k].isSymbol(";")) {
                ++k;
                continue;
            }
            k = std::max(statementEnd(tokens, k, limit), k + 1);
        }
        return k < limit ? k + 1 : limit;
    }
    int depth = 0;
    for (size_t k = start + 1; k < limit; ++k) {
        const Token& t = tokens[k];
        if (t.isSymbol("(")) {
            ++depth;
        } else if (t.isSymbol(")")) {
            --depth;
        } else if (depth <= 0) {
            if (t.isSymbol(";")) return k;
            if (t.is("else") || t.is("end")) return k;
            if (isStatementKeyword(t) && !continues(tokens, start, k)) return k;
        }
    }
    return limit;
}

std::vector<TokenRange> splitStatements(const std::vector<Token>& tokens, TokenRange range) {
    std::vector<TokenRange> out;
    size_t k = range.first;
    while (k < range.last) {
        if (tokens[k].isSymbol(";")) {
            ++k;
            continue;
        }
        size_t end = statementEnd(tokens, k, range.last);
        if (end <= k) end = k + 1;
        out.push_back({k, end});
        k = end;
    }
    return out;
}

}  // namespace standin
