#pragma once
// Rewrites T-SQL tokens as SQLite text: [names] and "names" quoted the
// SQLite way, N'...' literals as plain literals, 0x... as blobs, dbo. and
// database qualifiers dropped, TOP n as LIMIT n, T-SQL function names
// mapped, @@ values substituted, '+' between string literals as '||', and
// inside triggers the inserted/deleted tables replaced.
#include "statement_text.h"
#include "value.h"

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
};

// The SQLite literal of a value: NULL, 12, 1.5, 'text', X'0A'.
std::string sqlLiteral(const Value& v);

// Throws StatementError for what has no SQLite form (local variables,
// hidden catalogue names).
std::string translateToSqlite(const StatementText& s, const TranslateContext& ctx);

}  // namespace standin
