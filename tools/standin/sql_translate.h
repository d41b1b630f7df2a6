#pragma once
// Rewrites T-SQL tokens as SQLite text: [names] and "names" quoted the
// SQLite way, N'...' literals as plain literals, 0x... as blobs, dbo. and
// database qualifiers dropped, TOP n as LIMIT n, T-SQL function names
// mapped, @@ values substituted, '+' between string literals as '||',
// CAST and CONVERT as calls of the stand-in's conversion function, literals
// that meet a typed column converted to its type, and inside triggers the
// inserted/deleted tables replaced.
#include "statement_text.h"
#include "types.h"

#include <functional>
#include <optional>
#include <string>

namespace standin {

struct TranslateContext {
    // SQL text for a @@ value (e.g. "@@TRANCOUNT" -> "0"); nullopt when unknown.
    std::function<std::optional<std::string>(const std::string& name)> globalVariable;
    // SQL text that stands for a table name inside a trigger body
    // ("inserted" -> "(SELECT NEW.a AS a, ...)"); nullopt for ordinary tables.
    std::function<std::optional<std::string>(const std::string& name)> pseudoTable;
    // SQL text for the value of a declared @variable; nullopt when undeclared.
    std::function<std::optional<std::string>(const std::string& name)> variable;
    // The declared type of a column of a table the statement names.
    std::function<std::optional<SqlType>(const std::string& column)> columnType;
    // SQL text for a literal that meets a column of type `type`, converted
    // as SQL Server converts it there (may throw StatementError).
    std::function<std::string(const Token& literal, const SqlType& type)> typedLiteral;
    // The T-SQL type of an expression, when it is known (CAST's source).
    std::function<std::optional<SqlType>(const StatementText& expression)> expressionType;
    // SQL text for a string literal (a '...' literal holds only what the
    // database's code page can); plain quoting when unset.
    std::function<std::string(const Token& literal)> stringLiteral;
};

// Throws StatementError for what has no SQLite form (local variables,
// hidden catalogue names, unknown CAST types).
std::string translateToSqlite(const StatementText& s, const TranslateContext& ctx);

// The type CAST(x AS ...) or CONVERT(..., x) names in tokens [from, to):
// "varchar" alone is varchar(30) there, "decimal" decimal(18,0).
std::optional<SqlType> readCastType(const StatementText& s, size_t from, size_t to);

}  // namespace standin
