#pragma once
// The connection strings the program forms from its connection settings.
#include <string>

#include "core/run_state.h"

namespace dovrel {

// The master form (forMaster true) or the database form of the connection
// string, built from `settings` as they stand; a value holding ";", a
// quote or blanks at an end is quoted so that it stays one value.
std::string connectionStringFor(const ConnectionSettingsRecord& settings, bool forMaster);
// The same from the run state's ConnectionSettings.
std::string BuildConnectionString(bool forMaster);

}  // namespace dovrel
