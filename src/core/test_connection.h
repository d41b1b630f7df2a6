#pragma once
// The connection test of the settings window and the diagnosis it writes.
#include <optional>
#include <string>
#include <vector>

#include "core/connection_fields.h"
#include "core/list_databases.h"

namespace dovrel {

struct Diagnosis {
    std::string text;                        // for the result box, lines joined by "\r\n"
    std::optional<DatabaseListing> listing;  // when the server was reachable
};

// The diagnosis of the flags as the last check left them. When the server
// is reachable the database listing runs first (it refreshes the database
// box and the history); `fields` are the controls as they stand,
// `serverList` the server box's list.
Diagnosis ShowDiagnosis(const ConnectionFields& fields, const std::vector<std::string>& serverList);

// The test command between its busy brackets: the fields into
// ConnectionSettings, the server check with its progress texts, the
// diagnosis.
Diagnosis TestConnection(const ConnectionFields& fields, const std::vector<std::string>& serverList);

}  // namespace dovrel
