#include "sql_translate.h"

#include "catalog.h"
#include "conversions.h"
#include "exact_arithmetic.h"
#include "literal_targets.h"
#include "numeric_text.h"
#include "sql_error.h"
#include "sql_functions.h"
#include "sqlite_db.h"
#include "text_codec.h"

#include <algorithm>
#include <cstdlib>

namespace standin {
namespace {

// Functions whose T-SQL name differs from SQLite's.
std::optional<std::string> mappedFunction(const std::string& lower) {
    if (lower == "isnull") return "IFNULL";
    if (lower == "substring") return "SUBSTR";
    return std::nullopt;
}

bool isStringToken(const Token& t) { return t.kind == TokenKind::String; }

bool isTableHint(const Token& t) {
    static const char* const hints[] = {"nolock",         "readuncommitted", "readcommitted", "readcommittedlock",
                                        "updlock",        "rowlock",         "paglock",       "tablock",
                                        "tablockx",       "xlock",           "holdlock",      "serializable",
                                        "repeatableread", "readpast",        "nowait",        "forceseek",
                                        "forcescan",      "noexpand"};
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

// A number as SQLite should read it. Beyond a double's exact range an
// exact numeric stays exact text; more than 38 digits fail as in SQL Server.
std::string numberText(const Token& t) {
    const SourceValue v = literalValue(t);
    if (v.value.kind == Value::Kind::Text) {
        const auto d = parseDecimalText(t.text);
        if (d && digitCount(d->mantissa) > 15) return quoteText(t.text);
    }
    return t.text;
}

// ValueOrigin of an expression that is one literal token.
int originOf(const StatementText& expr) {
    if (expr.size() != 1) return static_cast<int>(ValueOrigin::Expression);
    const Token& t = expr.at(0);
    if (t.kind == TokenKind::String) {
        return static_cast<int>(t.unicode ? ValueOrigin::UnicodeLiteral : ValueOrigin::StringLiteral);
    }
    if (t.kind == TokenKind::Number) return static_cast<int>(ValueOrigin::NumberLiteral);
    return static_cast<int>(ValueOrigin::Expression);
}

// CAST(expr AS type) or CONVERT(type, expr[, style]) starting at the
// function name `k`: the call of the stand-in's conversion function.
// Returns the index of the closing parenthesis.
size_t translateConversion(const StatementText& s, size_t k, const TranslateContext& ctx, std::string& out) {
    const bool isCast = s.at(k).is("cast");
    const size_t close = matchingParen(s, k + 1);
    size_t exprFrom = 0, exprTo = 0, typeFrom = 0, typeTo = 0;
    std::string style = "NULL";
    if (isCast) {
        const size_t as = findTopLevel(s, k + 2, close, "as");
        if (as == close) syntaxErrorAt(s, close);
        exprFrom = k + 2, exprTo = as, typeFrom = as + 1, typeTo = close;
    } else {
        const auto args = splitTopLevel(s, k + 2, close);
        if (args.size() < 2 || args.size() > 3) {
            fail(174, "The convert function requires 2 to 3 arguments.", 15);
        }
        typeFrom = args[0].first, typeTo = args[0].second;
        exprFrom = args[1].first, exprTo = args[1].second;
        if (args.size() == 3) style = "(" + translateToSqlite(s.sub(args[2].first, args[2].second), ctx) + ")";
    }
    if (exprFrom >= exprTo) syntaxErrorAt(s, exprTo);
    const auto target = readCastType(s, typeFrom, typeTo);
    if (!target) {
        fail(243, "Type " + s.text(typeFrom, typeTo) + " is not a defined system type.");
    }
    const StatementText expr = s.sub(exprFrom, exprTo);
    std::optional<SqlType> source = ctx.expressionType ? ctx.expressionType(expr) : std::nullopt;
    out += std::string(ConvertFunction) + "((" + translateToSqlite(expr, ctx) + "), " +
           quoteText(typeDisplayName(*target)) + ", " + style + ", " +
           quoteText(source ? typeDisplayName(*source) : std::string()) + ", " + std::to_string(originOf(expr)) + ")";
    return close;
}

bool isExactLiteral(const Token& t) {
    return t.kind == TokenKind::Number && t.text.find('.') != std::string::npos &&
           t.text.find_first_of("eE") == std::string::npos;
}

// Whether the arithmetic run [from, to) computes with an exact value (a
// decimal literal, an exact column or variable) and joins no strings.
bool isExactRun(const StatementText& s, size_t from, size_t to, const TranslateContext& ctx) {
    bool exact = false;
    int depth = 0;
    for (size_t k = from; k < to; ++k) {
        const Token& t = s.at(k);
        if (t.isSymbol("(")) ++depth;
        if (t.isSymbol(")")) --depth;
        if (t.kind == TokenKind::String && depth == 0) return false;
        if (isExactLiteral(t)) {
            exact = true;
        } else if (t.kind == TokenKind::Variable && ctx.expressionType) {
            const auto type = ctx.expressionType(s.sub(k, k + 1));
            exact = exact || (type && type->isExactNumeric());
        } else if (t.isName() && !(k + 1 < to && s.at(k + 1).isSymbol("("))) {
            const auto type = ctx.columnType(t.text);
            exact = exact || (type && type->isExactNumeric());
        }
    }
    return exact;
}

}  // namespace

std::optional<SqlType> readCastType(const StatementText& s, size_t from, size_t to) {
    if (from >= to || !s.at(from).isName()) return std::nullopt;
    const std::string name = toLower(s.at(from).text);
    if (from + 1 == to) {
        // Without a length, CAST and CONVERT give character and binary types thirty.
        if (name == "varchar" || name == "nvarchar" || name == "char" || name == "nchar" || name == "varbinary" ||
            name == "binary") {
            return makeSqlType(name, 30, 0, true);
        }
        return makeSqlType(name, 0, 0, false);
    }
    if (!s.at(from + 1).isSymbol("(") || !s.at(to - 1).isSymbol(")")) return std::nullopt;
    const auto args = splitTopLevel(s, from + 2, to - 1);
    if (args.empty() || args.size() > 2) return std::nullopt;
    int values[2] = {0, 0};
    for (size_t a = 0; a < args.size(); ++a) {
        const Token& t = s.at(args[a].first);
        if (args[a].second != args[a].first + 1) return std::nullopt;
        if (t.is("max"))
            values[a] = SqlType::MaxLength;
        else if (t.kind == TokenKind::Number)
            values[a] = std::atoi(t.text.c_str());
        else
            return std::nullopt;
    }
    return makeSqlType(name, values[0], values[1], true);
}

std::string translateToSqlite(const StatementText& s, const TranslateContext& ctx) {
    std::string out;
    std::string limit;
    const size_t n = s.size();
    size_t prevEnd = n > 0 ? s.at(0).begin : 0;
    const std::vector<std::string> met = ctx.columnType ? columnsMetByLiterals(s) : std::vector<std::string>(n);
    auto gap = [&](size_t k) {
        // Keep the source's own spacing (and comments) between tokens.
        if (k < n) {
            if (s.at(k).begin > prevEnd) out.append(" ");
            prevEnd = s.at(k).end;
        }
    };
    // A literal that meets a typed column becomes that type's value.
    auto typedLiteral = [&](size_t k) -> std::optional<std::string> {
        if (met[k].empty() || !ctx.typedLiteral) return std::nullopt;
        const auto type = ctx.columnType(met[k]);
        if (!type) return std::nullopt;
        return ctx.typedLiteral(s.at(k), *type);
    };
    size_t runChecked = 0;  // arithmetic runs are looked for from here on
    for (size_t k = 0; k < n; ++k) {
        const Token& t = s.at(k);
        gap(k);
        if (ctx.columnType && k >= runChecked) {
            // Exact arithmetic where a value is produced; conditions keep SQLite's.
            const size_t end = arithmeticRunEnd(s, k);
            runChecked = std::max(end, k + 1);
            if (end > k && isExactRun(s, k, end, ctx) && !runIsCompared(s, k, end)) {
                out += translateArithmetic(s, k, end, [&](size_t a, size_t b) {
                    // A decimal literal reaches the arithmetic as exact text, not as a double.
                    if (b == a + 1 && isExactLiteral(s.at(a))) return quoteText(s.at(a).text);
                    return "(" + translateToSqlite(s.sub(a, b), ctx) + ")";
                });
                k = end - 1;
                prevEnd = s.at(k).end;
                continue;
            }
        }
        switch (t.kind) {
        case TokenKind::String:
            if (auto typed = typedLiteral(k))
                out += *typed;
            else
                out += ctx.stringLiteral && !t.unicode ? ctx.stringLiteral(t) : quoteText(t.text);
            break;
        case TokenKind::Binary: out += "X'" + (t.text.size() % 2 ? "0" + t.text : t.text) + "'"; break;
        case TokenKind::Number:
            if (auto typed = typedLiteral(k))
                out += *typed;
            else
                out += numberText(t);
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
                if (lower == "cast" || lower == "convert") {
                    k = translateConversion(s, k, ctx, out);
                    prevEnd = s.at(k).end;
                    break;
                }
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
            out += t.text;
            break;
        }
        case TokenKind::Symbol:
            if ((t.isSymbol("-") || t.isSymbol("+")) && k + 1 < n && s.at(k + 1).kind == TokenKind::Number &&
                !met[k + 1].empty()) {
                // A signed number meeting a typed column: one literal.
                Token signedNumber = s.at(k + 1);
                if (t.isSymbol("-")) signedNumber.text.insert(0, "-");
                if (const auto type = ctx.columnType(met[k + 1]); type && ctx.typedLiteral) {
                    out += ctx.typedLiteral(signedNumber, *type);
                    prevEnd = s.at(++k).end;
                    break;
                }
            }
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
