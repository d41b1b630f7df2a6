// Variables (DECLARE, SET @v =, SELECT @v = ...), RAISERROR and DBCC
// CHECKIDENT. Variables live for one batch or one trigger run; their values
// are converted to the declared type as SQL Server converts them.
#include "conversions.h"
#include "executor.h"
#include "sql_translate.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace standin {
namespace {

// Reads "type [(n[, m])]" at k; returns the type and moves k past it.
SqlType readType(const StatementText& s, size_t& k, size_t end, int number) {
    if (k >= end || !s.at(k).isName()) syntaxErrorAt(s, k);
    const std::string name = s.at(k).text;
    if (equalsIgnoreCase(name, "table") || equalsIgnoreCase(name, "cursor")) {
        fail(50000, "Variables of type " + toLower(name) + " are not supported by the stand-in.");
    }
    ++k;
    int arg1 = 0, arg2 = 0;
    bool hasArgs = false;
    if (k < end && s.at(k).isSymbol("(")) {
        const size_t close = matchingParen(s, k);
        const auto args = splitTopLevel(s, k + 1, close);
        auto read = [&](std::pair<size_t, size_t> r) {
            if (r.second != r.first + 1) syntaxErrorAt(s, r.first);
            if (s.at(r.first).is("max")) return static_cast<int>(SqlType::MaxLength);
            if (s.at(r.first).kind != TokenKind::Number) syntaxErrorAt(s, r.first);
            return std::atoi(s.at(r.first).text.c_str());
        };
        if (args.empty() || args.size() > 2) syntaxErrorAt(s, k + 1);
        arg1 = read(args[0]);
        if (args.size() == 2) arg2 = read(args[1]);
        hasArgs = true;
        k = close + 1;
    }
    auto type = makeSqlType(name, arg1, arg2, hasArgs);
    if (!type) {
        fail(2715,
             "Column, parameter, or variable #" + std::to_string(number) + ": Cannot find data type " + name + ".", 16,
             6);
    }
    return *type;
}

// SQL Server's printf-like substitution of RAISERROR's message.
std::string formatMessage(const std::string& format, const std::vector<Value>& args) {
    std::string out;
    size_t next = 0;
    for (size_t k = 0; k < format.size(); ++k) {
        if (format[k] != '%') {
            out.push_back(format[k]);
            continue;
        }
        if (k + 1 < format.size() && format[k + 1] == '%') {
            out.push_back('%');
            ++k;
            continue;
        }
        size_t j = k + 1;
        std::string conversion = "%";
        while (j < format.size() && std::strchr("-+ 0#", format[j])) conversion.push_back(format[j++]);
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) conversion.push_back(format[j++]);
        if (j < format.size() && format[j] == '.') {
            conversion.push_back(format[j++]);
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
                conversion.push_back(format[j++]);
        }
        while (j < format.size() && (format[j] == 'h' || format[j] == 'l' || format[j] == 'I')) ++j;
        if (j >= format.size()) {
            out += format.substr(k);
            break;
        }
        const char type = format[j];
        const Value arg = next < args.size() ? args[next] : Value::null();
        char buf[512];
        if (type == 'd' || type == 'i' || type == 'u' || type == 'o' || type == 'x' || type == 'X') {
            ++next;
            const long long v = arg.kind == Value::Kind::Integer ? arg.i : std::atoll(valueText(arg).c_str());
            conversion += std::string("ll") + (type == 'i' ? 'd' : type);
            std::snprintf(buf, sizeof buf, conversion.c_str(), v);
            out += arg.isNull() ? "(null)" : buf;
        } else if (type == 's') {
            ++next;
            conversion += 's';
            std::snprintf(buf, sizeof buf, conversion.c_str(), arg.isNull() ? "(null)" : valueText(arg).c_str());
            out += buf;
        } else {
            out += format.substr(k, j - k + 1);
        }
        k = j;
    }
    return out;
}

}  // namespace

void Executor::runDeclare(const StatementText& s, StatementOutcome&) {
    int number = 0;
    for (auto [a, b] : splitTopLevel(s, 1, s.size())) {
        ++number;
        if (a >= b || s.at(a).kind != TokenKind::Variable || s.at(a).text.rfind("@@", 0) == 0) syntaxErrorAt(s, a);
        const std::string name = toLower(s.at(a).text);
        size_t k = a + 1;
        if (k < b && s.at(k).is("as")) ++k;
        Variable v;
        v.type = readType(s, k, b, number);
        if (variables_->count(name) > 0) {
            fail(134,
                 "The variable name '" + s.at(a).text +
                     "' has already been declared. Variable names must be "
                     "unique within a query batch or stored procedure.",
                 15);
        }
        if (k < b) {
            if (!s.at(k).isSymbol("=") || k + 1 >= b) syntaxErrorAt(s, k);
            const StatementText expr = s.sub(k + 1, b);
            const auto literal = literalIn(expr, 0, expr.size());
            const SourceValue source = literal ? *literal : evaluateTyped(expr);
            CatalogColumn column;
            column.name = name;
            column.type = v.type;
            v.value = convertForColumn(source, column, conversionContext());
        }
        (*variables_)[name] = std::move(v);
    }
}

void Executor::runSetVariable(const StatementText& s, StatementOutcome&) {
    Variable* v = findVariable(s.at(1).text);
    if (!v) fail(137, "Must declare the scalar variable \"" + s.at(1).text + "\".", 15, 2);
    if (!s.has(3) || !s.at(2).isSymbol("=")) syntaxErrorAt(s, 2);
    const StatementText expr = s.sub(3, s.size());
    const auto literal = literalIn(expr, 0, expr.size());
    const SourceValue source = literal ? *literal : evaluateTyped(expr);
    CatalogColumn column;
    column.name = s.at(1).text;
    column.type = v->type;
    v->value = convertForColumn(source, column, conversionContext());
}

void Executor::runSelectAssign(const StatementText& s, StatementOutcome& o) {
    // SELECT @a = expr[, @b = expr] [FROM ...]: the last row's values.
    size_t end = s.size();
    for (const char* word : {"from", "where", "group", "order", "having", "union"}) {
        end = std::min(end, findTopLevel(s, 1, s.size(), word));
    }
    std::vector<Variable*> targets;
    std::vector<std::optional<SqlType>> sourceTypes;
    std::string sql = "SELECT ";
    for (auto [a, b] : splitTopLevel(s, 1, end)) {
        if (b < a + 3 || s.at(a).kind != TokenKind::Variable || !s.at(a + 1).isSymbol("=")) {
            fail(141,
                 "A SELECT statement that assigns a value to a variable must not be combined with "
                 "data-retrieval operations.",
                 15);
        }
        Variable* v = findVariable(s.at(a).text);
        if (!v) fail(137, "Must declare the scalar variable \"" + s.at(a).text + "\".", 15, 2);
        sql += std::string(targets.empty() ? "" : ", ") + "(" + translate(s.sub(a + 2, b)) + ")";
        targets.push_back(v);
        sourceTypes.push_back(expressionType(s.sub(a + 2, b)));
    }
    if (end < s.size()) {
        sql += ' ';
        sql += translate(s.sub(end, s.size()));
    }
    Statement q(db_, sql);
    int64_t rows = 0;
    while (q.step()) {
        ++rows;
        for (size_t c = 0; c < targets.size(); ++c) {
            CatalogColumn column;
            column.name = "variable";
            column.type = targets[c]->type;
            targets[c]->value =
                convertForColumn(SourceValue{q.column(static_cast<int>(c)), ValueOrigin::Expression, sourceTypes[c]},
                                 column, conversionContext());
        }
    }
    o.command = command::Select;
    lastRowCount_ = rows;
    if (!noCount_) o.rowCount = static_cast<uint64_t>(rows);
}

void Executor::runRaiserror(const StatementText& s, StatementOutcome& o) {
    // RAISERROR (message, severity, state [, argument ...]) [WITH option ...]
    if (!s.has(1) || !s.at(1).isSymbol("(")) syntaxErrorAt(s, 1);
    const size_t close = matchingParen(s, 1);
    const auto parts = splitTopLevel(s, 2, close);
    if (parts.size() < 3) syntaxErrorAt(s, close);
    for (size_t k = close + 1; s.has(k); ++k) {
        if (!(s.at(k).is("with") || s.at(k).is("log") || s.at(k).is("nowait") || s.at(k).is("seterror") ||
              s.at(k).isSymbol(","))) {
            syntaxErrorAt(s, k);
        }
    }
    const Value message = evaluate(s.sub(parts[0].first, parts[0].second));
    const auto severity = static_cast<int>(
        std::min<int64_t>(25, std::max<int64_t>(0, evaluate(s.sub(parts[1].first, parts[1].second)).i)));
    int64_t state = evaluate(s.sub(parts[2].first, parts[2].second)).i;
    if (state < 0 || state > 255) state = 1;
    std::vector<Value> args;
    for (size_t k = 3; k < parts.size(); ++k) args.push_back(evaluate(s.sub(parts[k].first, parts[k].second)));
    SqlMessage m;
    if (message.kind == Value::Kind::Integer) {
        // No messages of one's own (sp_addmessage): SQL Server's answer for an unknown number.
        m = sqlError(18054,
                     "Error " + std::to_string(message.i) + ", severity " + std::to_string(severity) + ", state " +
                         std::to_string(state) +
                         " was raised, but no message with that error number was found in sys.messages. If "
                         "error is larger than 50000, make sure the user-defined message is added using "
                         "sp_addmessage.",
                     16, 1);
    } else {
        m = sqlError(50000, formatMessage(valueText(message), args), static_cast<uint8_t>(severity),
                     static_cast<uint8_t>(state));
    }
    o.messages.push_back(m);
    if (m.isError()) {
        // An error message, not an error that ends anything: RAISERROR ignores XACT_ABORT.
        o.failed = true;
        lastError_ = m.number;
    }
}

void Executor::runDbcc(const StatementText& s, StatementOutcome& o) {
    // DBCC CHECKIDENT ('table' [, NORESEED | RESEED [, value]]) [WITH NO_INFOMSGS]
    if (!s.has(1) || !s.at(1).is("checkident")) {
        fail(50000, "The stand-in supports DBCC CHECKIDENT only.");
    }
    if (!s.has(2) || !s.at(2).isSymbol("(")) syntaxErrorAt(s, 2);
    const size_t close = matchingParen(s, 2);
    const auto parts = splitTopLevel(s, 3, close);
    if (parts.empty() || parts.size() > 3 || parts[0].second != parts[0].first + 1) syntaxErrorAt(s, 3);
    const bool quiet = s.has(close + 2) && s.at(close + 1).is("with") && s.at(close + 2).is("no_infomsgs");
    std::string name;
    const StatementText nameText = s.sub(parts[0].first, parts[0].second);
    if (nameText.at(0).kind == TokenKind::String) {
        const auto tokens = tokenize(nameText.at(0).text);
        const StatementText inner{tokens, {0, tokens.size()}, nameText.at(0).text};
        readObjectName(inner, 0, name);
    } else {
        readObjectName(nameText, 0, name);
    }
    const TableInfo table = requireTable(name);
    const int identity = table.identityColumn();
    if (identity < 0) fail(7997, "'" + table.name + "' does not contain an identity column.");
    const auto& column = table.columns[static_cast<size_t>(identity)];
    const auto current = catalog_->lastIdentity(table.name);
    std::optional<int64_t> highest;
    {
        Statement q(db_, "SELECT max(" + quoteName(column.name) + ") FROM " + quoteName(table.name));
        if (q.step() && !q.columnIsNull(0)) highest = q.columnInt(0);
    }
    auto text = [](std::optional<int64_t> v) { return v ? std::to_string(*v) : std::string("NULL"); };
    std::string report = "Checking identity information: current identity value '" + text(current) + "'";
    const bool reseed = parts.size() >= 2 && s.at(parts[1].first).is("reseed");
    if (parts.size() >= 2 && !reseed && !s.at(parts[1].first).is("noreseed")) syntaxErrorAt(s, parts[1].first);
    if (reseed && parts.size() == 3) {
        const int64_t value = evaluate(s.sub(parts[2].first, parts[2].second)).i;
        // Before any row, the next insert takes the value itself; after, the value plus the increment.
        catalog_->setLastIdentity(table.name, current ? value : value - column.increment);
        report += ".";
    } else {
        report += ", current column value '" + text(highest) + "'.";
        const bool behind = highest && (!current || (column.increment > 0 ? *current < *highest : *current > *highest));
        if (reseed || (parts.size() == 1 && behind)) {
            if (behind) catalog_->setLastIdentity(table.name, *highest);
        }
    }
    if (!quiet) {
        o.messages.push_back(sqlInfo(7998, report));
        o.messages.push_back(sqlInfo(2528,
                                     "DBCC execution completed. If DBCC printed error messages, contact your "
                                     "system administrator."));
    }
}

}  // namespace standin
