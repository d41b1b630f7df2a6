#pragma once
// The arguments of a system procedure, given by name (@table_name = 'x') or
// by position, bound to the procedure's parameters with SQL Server's errors
// for unknown names, too many arguments and missing ones.
#include "executor.h"

#include <optional>
#include <string>
#include <vector>

namespace standin {

class ProcedureArguments {
public:
    ProcedureArguments(std::string procedure, const std::vector<ProcedureArgument>& args,
                       std::vector<std::string> parameters);
    // The value given for a parameter (nullopt when none was).
    std::optional<Value> value(const std::string& parameter) const;
    // The text given, or `fallback` when none (or NULL) was given.
    std::string text(const std::string& parameter, const std::string& fallback = {}) const;
    bool hasText(const std::string& parameter) const;
    // 201 when the parameter was not given.
    std::string requiredText(const std::string& parameter) const;

private:
    std::string procedure_;
    std::vector<std::string> parameters_;
    std::vector<std::optional<Value>> values_;
};

// "[dbo].[Staff]", "dbo.Staff", "Staff" -> "Staff": the object's own name.
std::string unqualifiedObjectName(const std::string& text);
// A column of a procedure's result set.
ColumnInfo resultColumn(const std::string& name, const char* type, int length, bool nullable);

}  // namespace standin
