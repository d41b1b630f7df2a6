#include "exchange/detail/triggers.h"

#include "exchange/detail/error_report.h"

namespace dovrel::exchange::detail {
namespace {

// Appends the non-empty values of `field` (by name, or the first field when
// empty) of every row of the statement's result, each followed by `separator`.
void collectValues(ado::Connection& connection, const std::string& sql, const std::string& field,
                   const std::string& separator, std::string& result) {
    std::unique_ptr<ado::Recordset> recordset = connection.Execute(sql);
    if (!recordset) return;
    for (; !recordset->EOF_(); recordset->MoveNext()) {
        const auto& value = field.empty() ? recordset->Fields(0).Value() : recordset->Fields(field).Value();
        if (value && !value->empty()) result.append(*value).append(separator);
    }
}

}  // namespace

std::string ListTriggers(ado::Connection* connection, const std::string& table, const std::string& separator) {
    std::string result;
    if (table.empty() || !connection) return result;
    try {
        collectValues(*connection, "Exec Sp_HelpTrigger '" + table + "'", "trigger_name", separator, result);
    } catch (...) {
        showErrorMessage(describeCurrentException());
        return result;
    }
    if (!separator.empty() && result.size() >= separator.size() &&
        result.compare(result.size() - separator.size(), separator.size(), separator) == 0)
        result.resize(result.size() - separator.size());
    return result;
}

std::string TriggerText(ado::Connection* connection, const std::string& trigger) {
    std::string result;
    if (trigger.empty() || !connection) return result;
    try {
        collectValues(*connection, "Exec SP_HelpText '" + trigger + "'", {}, {}, result);
    } catch (...) {
        showErrorMessage(describeCurrentException());
    }
    return result;
}

}  // namespace dovrel::exchange::detail
