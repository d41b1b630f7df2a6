#pragma once
// A table's triggers and their definitions, from the server's own catalogue
// procedures, so that the import can drop them for the load and re-create
// them afterwards.
#include <string>

#include "db/ado.h"

namespace dovrel::exchange::detail {

// The names of the triggers of `table`, joined by `separator` (none after the
// last). Empty for an empty table name or no connection. On an error the
// class's error message is shown and what was gathered so far is returned
// (with its trailing separator).
std::string ListTriggers(ado::Connection* connection, const std::string& table, const std::string& separator);

// The definition text of `trigger`, its rows joined as the server delivers
// them. Empty for an empty name or no connection; on an error as
// ListTriggers.
std::string TriggerText(ado::Connection* connection, const std::string& trigger);

}  // namespace dovrel::exchange::detail
