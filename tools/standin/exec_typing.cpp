// The T-SQL types of the columns and expressions a statement names, so that
// a literal meeting a column is converted as SQL Server converts it there
// (a string meeting a datetime is read as a date under the session's
// DATEFORMAT) and a typed value is never re-read as a string.
#include "code_page.h"
#include "exact_arithmetic.h"
#include "executor.h"
#include "numeric_text.h"
#include "sqlite_db.h"
#include "text_codec.h"

#include <algorithm>
#include <cstdio>

namespace standin {
namespace {

bool isCall(const StatementText& e, const char* name) {
    return e.size() >= 3 && e.at(0).is(name) && e.at(1).isSymbol("(") && e.at(e.size() - 1).isSymbol(")");
}

}  // namespace

std::optional<SqlType> Executor::columnTypeInScope(const std::string& column) const {
    if (!scope_ || !catalog_) return std::nullopt;
    if (!scopeColumns_) {
        // Every column of every table the statement names; the first table wins.
        scopeColumns_.emplace();
        for (size_t k = 0; k < scope_->size(); ++k) {
            const Token& t = scope_->at(k);
            if (!t.isName() || (t.kind == TokenKind::Word && isReservedWord(t.text)) ||
                toLower(t.text).rfind(HiddenPrefix, 0) == 0) {
                continue;
            }
            // Inside a trigger, inserted and deleted have the firing table's columns.
            const bool pseudo = triggerDepth_ > 0 && !firing_.empty() && (t.is("inserted") || t.is("deleted"));
            const auto table = pseudo ? std::optional<TableInfo>(firing_.back()) : catalog_->table(t.text);
            if (!table) continue;
            for (const auto& c : table->columns) scopeColumns_->emplace(toLower(c.name), c.type);
        }
    }
    const auto it = scopeColumns_->find(toLower(column));
    if (it == scopeColumns_->end()) return std::nullopt;
    return it->second;
}

std::optional<SqlType> Executor::expressionType(const StatementText& e) const {
    if (e.size() == 0) return std::nullopt;
    if (e.at(0).isSymbol("(") && matchingParen(e, 0) == e.size() - 1) return expressionType(e.sub(1, e.size() - 1));
    // A variable has its declared type.
    if (e.size() == 1 && e.at(0).kind == TokenKind::Variable && e.at(0).text.rfind("@@", 0) != 0) {
        if (!variables_) return std::nullopt;
        const auto it = variables_->find(toLower(e.at(0).text));
        if (it == variables_->end()) return std::nullopt;
        return it->second.type;
    }
    // A column, qualified or not.
    size_t k = 0;
    while (k + 2 < e.size() && e.at(k).isName() && e.at(k + 1).isSymbol(".")) k += 2;
    if (k + 1 == e.size() && e.at(k).isName()) {
        if (e.at(k).is("current_timestamp")) return makeSqlType("datetime", 0, 0, false);
        return columnTypeInScope(e.at(k).text);
    }
    if (e.size() == 1 && e.at(0).kind == TokenKind::Number && e.at(0).text.find_first_of("eE") == std::string::npos &&
        e.at(0).text.find('.') != std::string::npos) {
        // 12.50 is numeric(4,2).
        if (auto d = parseDecimalText(e.at(0).text)) {
            return makeSqlType("numeric", std::max(digitCount(d->mantissa), d->scale), d->scale, true);
        }
    }
    if (isCall(e, "getdate") || isCall(e, "sysdatetime")) return makeSqlType("datetime", 0, 0, false);
    if (arithmeticRunEnd(e, 0) == e.size()) return arithmeticType(e);
    if ((isCall(e, "cast") || isCall(e, "convert")) && matchingParen(e, 1) == e.size() - 1) {
        if (e.at(0).is("cast")) {
            const size_t as = findTopLevel(e, 2, e.size() - 1, "as");
            return readCastType(e, as + 1, e.size() - 1);
        }
        const auto args = splitTopLevel(e, 2, e.size() - 1);
        if (args.empty()) return std::nullopt;
        return readCastType(e, args[0].first, args[0].second);
    }
    if ((isCall(e, "sum") || isCall(e, "avg")) && matchingParen(e, 1) == e.size() - 1) {
        const auto argument = expressionType(e.sub(2, e.size() - 1));
        if (!argument) return std::nullopt;
        // SUM of decimal(p,s) is decimal(38,s), AVG decimal(38,max(s,6));
        // money stays money, float float, and smaller integers become int.
        if (argument->base == BaseType::Money || argument->base == BaseType::SmallMoney)
            return makeSqlType("money", 0, 0, false);
        if (argument->isExactNumeric()) {
            return makeSqlType("decimal", 38, e.at(0).is("avg") ? std::max(argument->scale, 6) : argument->scale, true);
        }
        if (argument->base == BaseType::BigInt) return argument;
        if (argument->isInteger()) return makeSqlType("int", 0, 0, false);
        if (argument->base == BaseType::Float || argument->base == BaseType::Real)
            return makeSqlType("float", 0, 0, false);
        return std::nullopt;
    }
    // The first argument decides the type of ISNULL, COALESCE, MAX and MIN.
    if ((isCall(e, "isnull") || isCall(e, "coalesce") || isCall(e, "max") || isCall(e, "min")) &&
        matchingParen(e, 1) == e.size() - 1) {
        const auto args = splitTopLevel(e, 2, e.size() - 1);
        if (!args.empty()) return expressionType(e.sub(args[0].first, args[0].second));
    }
    return std::nullopt;
}

std::optional<SqlType> Executor::arithmeticType(const StatementText& e) const {
    // SQL Server's result precision and scale for exact operands; nothing
    // when a float, a string or an unknown operand takes part.
    struct Exact {
        bool known = false, decimal = false, money = false;
        int p = 0, s = 0;
    };
    const auto operand = [&](size_t from, size_t to) {
        Exact x;
        const auto type = expressionType(e.sub(from, to));
        if (!type) {
            if (to == from + 1 && e.at(from).kind == TokenKind::Number &&
                e.at(from).text.find_first_of("eE.") == std::string::npos) {
                x.known = true;
                x.p = std::max(10, static_cast<int>(e.at(from).text.size()));
            }
            return x;
        }
        x.known = type->isExactNumeric() || type->isInteger();
        x.decimal = type->isExactNumeric();
        x.money = type->base == BaseType::Money || type->base == BaseType::SmallMoney;
        x.p = type->isExactNumeric()             ? type->precision
              : type->base == BaseType::BigInt   ? 19
              : type->base == BaseType::Int      ? 10
              : type->base == BaseType::SmallInt ? 5
                                                 : 3;
        x.s = type->scale;
        return x;
    };
    const auto combine = [](char op, Exact a, Exact b) {
        Exact r;
        r.known = a.known && b.known;
        r.decimal = a.decimal || b.decimal;
        r.money = a.money || b.money;  // money ranks above decimal
        switch (op) {
        case '+':
        case '-':
            r.s = std::max(a.s, b.s);
            r.p = r.s + std::max(a.p - a.s, b.p - b.s) + 1;
            break;
        case '*':
            r.p = a.p + b.p + 1;
            r.s = a.s + b.s;
            break;
        case '/':
            r.s = std::max(6, a.s + b.p + 1);
            r.p = a.p - a.s + b.s + r.s;
            break;
        default:
            r.s = std::max(a.s, b.s);
            r.p = std::min(a.p - a.s, b.p - b.s) + r.s;
            break;
        }
        if (r.p > 38) {
            // Whole digits win; the scale keeps at least six places (or what it had).
            r.s = std::max(38 - (r.p - r.s), std::min(r.s, 6));
            r.p = 38;
        }
        return r;
    };
    const Exact r = foldArithmetic<Exact>(
        e, 0, e.size(), operand, [](Exact x) { return x; }, combine);
    if (!r.known || !r.decimal) return std::nullopt;
    if (r.money) return makeSqlType("money", 0, 0, false);
    return makeSqlType("decimal", std::max(r.p, 1), std::min(r.s, r.p), true);
}

std::string Executor::typedLiteral(const Token& literal, const SqlType& type) const {
    const SourceValue v = literalValue(literal);
    const bool number = literal.kind == TokenKind::Number;
    if (number && type.isExactNumeric()) {
        // Exact, for the column's exact comparison; a float literal stays a float.
        if (auto d = parseDecimalText(literal.text)) return quoteText(formatDecimal(d->mantissa, d->scale));
    }
    // A string meeting a number, date, bit or uniqueidentifier is converted
    // to that type (and fails as SQL Server fails); a number meeting a date
    // counts days. Other literals compare as they are.
    const bool converted =
        number ? type.isDateTime() : !type.isText() && !type.isBinary() && type.base != BaseType::Timestamp;
    if (!converted) return number ? literal.text : stringLiteral(literal);
    CatalogColumn column;
    column.type = type;
    return sqlLiteral(convertForColumn(v, column, conversionContext()));
}

std::string Executor::stringLiteral(const Token& literal) const {
    if (literal.unicode) return quoteText(literal.text);
    return quoteText(throughCodePage(literal.text, collation().codePage));
}

void Executor::addTypingTo(TranslateContext& ctx) const {
    ctx.stringLiteral = [this](const Token& literal) { return stringLiteral(literal); };
    ctx.columnType = [this](const std::string& column) { return columnTypeInScope(column); };
    ctx.typedLiteral = [this](const Token& literal, const SqlType& type) { return typedLiteral(literal, type); };
    ctx.expressionType = [this](const StatementText& e) { return expressionType(e); };
}

SourceValue Executor::evaluateTyped(const StatementText& expr) {
    return SourceValue{evaluate(expr), ValueOrigin::Expression, expressionType(expr)};
}

}  // namespace standin
