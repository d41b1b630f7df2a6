#include "procedure_arguments.h"

#include "text_codec.h"

namespace standin {

ProcedureArguments::ProcedureArguments(std::string procedure, const std::vector<ProcedureArgument>& args,
                                       std::vector<std::string> parameters)
    : procedure_(std::move(procedure)), parameters_(std::move(parameters)), values_(parameters_.size()) {
    size_t position = 0;
    for (const auto& a : args) {
        size_t index = parameters_.size();
        if (a.name.empty()) {
            index = position++;
            if (index >= parameters_.size()) {
                fail(8144, "Procedure or function " + procedure_ + " has too many arguments specified.", 16, 2);
            }
        } else {
            for (size_t k = 0; k < parameters_.size(); ++k) {
                if (equalsIgnoreCase(parameters_[k], a.name)) index = k;
            }
            if (index == parameters_.size()) {
                fail(8145, a.name + " is not a parameter for procedure " + procedure_ + ".", 16, 2);
            }
        }
        values_[index] = a.value;
    }
}

std::optional<Value> ProcedureArguments::value(const std::string& parameter) const {
    for (size_t k = 0; k < parameters_.size(); ++k) {
        if (equalsIgnoreCase(parameters_[k], parameter)) return values_[k];
    }
    return std::nullopt;
}

bool ProcedureArguments::hasText(const std::string& parameter) const {
    const auto v = value(parameter);
    return v && !v->isNull();
}

std::string ProcedureArguments::text(const std::string& parameter, const std::string& fallback) const {
    const auto v = value(parameter);
    return v && !v->isNull() ? valueText(*v) : fallback;
}

std::string ProcedureArguments::requiredText(const std::string& parameter) const {
    if (!value(parameter)) {
        fail(
            201,
            "Procedure or function '" + procedure_ + "' expects parameter '" + parameter + "', which was not supplied.",
            16, 4);
    }
    return text(parameter);
}

std::string unqualifiedObjectName(const std::string& text) {
    try {
        const auto tokens = tokenize(text);
        const StatementText s{tokens, {0, tokens.size()}, text};
        std::string name;
        if (readObjectName(s, 0, name) == tokens.size() && !tokens.empty()) return name;
    } catch (const StatementError&) {
        // Not a name T-SQL could write: looked up as it stands.
    }
    return text;
}

ColumnInfo resultColumn(const std::string& name, const char* type, int length, bool nullable) {
    ColumnInfo c;
    c.name = name;
    c.type = *makeSqlType(type, length, 0, length != 0);
    c.nullable = nullable;
    return c;
}

}  // namespace standin
