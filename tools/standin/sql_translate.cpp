#include "sql_translate.h"

#include "catalog.h"
#include "sql_error.h"
#include "sqlite_db.h"
#include "text_codec.h"

#include <cstdio>

namespace standin {
namespace {

// Functions whose T-SQL name differs from SQLite's.
std::optional<std::string> mappedFunction(const std::string& lower) {
    if (lower == "isnull") return "IFNULL";
    if (lower == "substring") return "SUBSTR";
    return std::nullopt;
}

// Types inside CAST(... AS type): SQLite's CAST only knows affinities.
std::string castType(const Token& t) {
    const std::string lower = toLower(t.text);
    if (lower == "int" || lower == "bigint" || lower == "smallint" || lower == "tinyint" || lower == "bit") {
        return "INTEGER";
    }
    if (lower == "float" || lower == "real") return "REAL";
    if (lower == "decimal" || lower == "numeric" || lower == "money" || lower == "smallmoney") return "NUMERIC";
    if (lower == "varbinary" || lower == "binary" || lower == "image") return "BLOB";
    return "TEXT";
}

bool isStringToken(const Token& t) { return t.kind == TokenKind::String; }

bool isTableHint(const Token& t) {
    static const char* const hints[] = {"nolock", "readuncommitted", "readcommitted", "readcommittedlock", "updlock",
                                        "rowlock", "paglock", "tablock", "tablockx", "xlock", "holdlock",
                                        "serializable", "repeatableread", "readpast", "nowait", "forceseek",
                                        "forcescan", "noexpand"};
    for (const char* h : hints) {
        if (t.is(h)) return true;
    }
    return false;
}

// "WITH (NOLOCK, ...)" at k: the index of its closing parenthesis, or 0.
size_t tableHintsEnd(const StatementText& s, size_t k) {
    if (!s.at(k).is("with") || !s.has(k + 2) || !s.at(k + 1).isSymbol("(")) return 0;
    for (size_t j = k + 2; s.has(j); ++j) {
        if (s.at(j).isSymbol(")")) return j > k + 2 ? j : 0;
        if (!isTableHint(s.at(j)) && !s.at(j).isSymbol(",")) return 0;
    }
    return 0;
}

}  // namespace

std::string sqlLiteral(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Null: return "NULL";
    case Value::Kind::Integer: return std::to_string(v.i);
    case Value::Kind::Real: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v.r);
        std::string text = buf;
        // SQLite reads 1e+20 and 3 as numbers; keep a point so that 3.0 stays real.
        if (text.find_first_of(".eEni") == std::string::npos) text += ".0";
        return text;
    }
    case Value::Kind::Text: return quoteText(v.s);
    case Value::Kind::Blob: {
        static const char* hex = "0123456789ABCDEF";
        std::string out = "X'";
        for (const char ch : v.s) {
            const auto c = static_cast<unsigned char>(ch);
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
        return out + "'";
    }
    }
    return "NULL";
}

std::string translateToSqlite(const StatementText& s, const TranslateContext& ctx) {
    std::string out;
    std::string limit;
    const size_t n = s.size();
    size_t prevEnd = n > 0 ? s.at(0).begin : 0;
    int castDepth = -1;  // parenthesis depth of an open CAST(
    int depth = 0;
    auto gap = [&](size_t k) {
        // Keep the source's own spacing (and comments) between tokens.
        if (k < n) {
            if (s.at(k).begin > prevEnd) out.append(" ");
            prevEnd = s.at(k).end;
        }
    };
    for (size_t k = 0; k < n; ++k) {
        const Token& t = s.at(k);
        gap(k);
        switch (t.kind) {
        case TokenKind::String:
            out += quoteText(t.text);
            break;
        case TokenKind::Binary:
            out += "X'" + (t.text.size() % 2 ? "0" + t.text : t.text) + "'";
            break;
        case TokenKind::Number:
            out += t.text;
            break;
        case TokenKind::Variable: {
            if (t.text.rfind("@@", 0) == 0) {
                auto v = ctx.globalVariable ? ctx.globalVariable(toLower(t.text)) : std::nullopt;
                if (!v) fail(137, "Must declare the scalar variable \"" + t.text + "\".", 15, 2);
                out += *v;
            } else {
                auto v = ctx.variable ? ctx.variable(t.text) : std::nullopt;
                if (!v) fail(137, "Must declare the scalar variable \"" + t.text + "\".", 15, 2);
                out += *v;
            }
            break;
        }
        case TokenKind::QuotedName:
        case TokenKind::Word: {
            // Table hints only steer SQL Server's locking, which the stand-in decides per table.
            if (const size_t hintsEnd = t.kind == TokenKind::Word ? tableHintsEnd(s, k) : 0) {
                k = hintsEnd;
                prevEnd = s.at(k).end;
                break;
            }
            const std::string lower = toLower(t.text);
            if (lower.rfind(HiddenPrefix, 0) == 0) fail(208, "Invalid object name '" + t.text + "'.");
            const bool dotAfter = k + 1 < n && s.at(k + 1).isSymbol(".");
            const bool dotBefore = k > 0 && s.at(k - 1).isSymbol(".");
            // db..table and db.dbo.table: the stand-in resolves names in the current database.
            if (t.isName() && dotAfter && !dotBefore && k + 2 < n) {
                const Token& third = s.at(k + 2);
                if (third.isSymbol(".")) {
                    k += 2;
                    prevEnd = s.at(k).end;
                    continue;
                }
                if ((third.is("dbo") || (third.kind == TokenKind::QuotedName && equalsIgnoreCase(third.text, "dbo"))) &&
                    k + 3 < n && s.at(k + 3).isSymbol(".")) {
                    k += 3;
                    prevEnd = s.at(k).end;
                    continue;
                }
            }
            if (equalsIgnoreCase(t.text, "dbo") && dotAfter && !dotBefore) {
                ++k;
                prevEnd = s.at(k).end;
                continue;
            }
            if (!dotAfter && !dotBefore && ctx.pseudoTable) {
                if (auto table = ctx.pseudoTable(lower)) {
                    out += *table;
                    // Without an alias of its own it keeps its name for column references.
                    const bool aliased = k + 1 < n && (s.at(k + 1).is("as") ||
                                                      (s.at(k + 1).isName() && !isReservedWord(s.at(k + 1).text) &&
                                                       !s.at(k + 1).is("inner") && !s.at(k + 1).is("left") &&
                                                       !s.at(k + 1).is("cross") && !s.at(k + 1).is("right") &&
                                                       !s.at(k + 1).is("full")));
                    if (!aliased) out += " AS " + quoteName(t.text);
                    break;
                }
            }
            if (t.kind == TokenKind::QuotedName) {
                out += quoteName(t.text);
                break;
            }
            const bool call = k + 1 < n && s.at(k + 1).isSymbol("(");
            if (call) {
                if (auto f = mappedFunction(lower)) {
                    out += *f;
                    break;
                }
                if (lower == "cast") castDepth = depth + 1;
            }
            if (lower == "current_timestamp") {
                out += "getdate()";
                break;
            }
            if (lower == "top" && k > 0 && (s.at(k - 1).is("select") || s.at(k - 1).is("distinct"))) {
                // TOP n / TOP (n) becomes LIMIT n at the end.
                size_t j = k + 1;
                std::string count;
                if (j < n && s.at(j).isSymbol("(")) {
                    ++j;
                    while (j < n && !s.at(j).isSymbol(")")) count += s.at(j++).text;
                    ++j;
                } else if (j < n) {
                    count = s.at(j++).text;
                }
                if (j < n && s.at(j).is("percent")) fail(50000, "TOP ... PERCENT is not supported by the stand-in.");
                limit = " LIMIT " + count;
                k = j - 1;
                prevEnd = s.at(k).end;
                break;
            }
            if (castDepth == depth && k > 0 && s.at(k - 1).is("as")) {
                out += castType(t);
                // Skip the type's arguments: CAST(x AS nvarchar(50)).
                if (k + 1 < n && s.at(k + 1).isSymbol("(")) {
                    size_t j = k + 1;
                    while (j < n && !s.at(j).isSymbol(")")) ++j;
                    k = j;
                    prevEnd = s.at(k).end;
                }
                castDepth = -1;
                break;
            }
            out += t.text;
            break;
        }
        case TokenKind::Symbol:
            if (t.isSymbol("(")) ++depth;
            if (t.isSymbol(")")) --depth;
            if (t.isSymbol("+") && k > 0 && k + 1 < n && (isStringToken(s.at(k - 1)) || isStringToken(s.at(k + 1)))) {
                out += "||";
            } else if (t.isSymbol(";")) {
                // A trailing separator is not part of the statement.
            } else {
                out += t.text;
            }
            break;
        }
    }
    return out + limit;
}

}  // namespace standin
