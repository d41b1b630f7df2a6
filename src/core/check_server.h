#pragma once
// The server check run at start-up and by the connection test: is the
// configured server reachable, and does the configured database exist on it?
#include <string>

namespace dovrel {

// The probe every check opens on the server's master database.
inline constexpr const char* kProbeSql = "SELECT Name FROM SysDatabases";

// The query that finds `databaseName` among the server's databases. Each
// single quote of the name is doubled, so any name stays one string literal.
std::string databaseExistsQuery(const std::string& databaseName);

// Pings the server (when its name gives an address), probes its master
// database and looks the configured database up; records the answer in
// runState().ServerReachable and DatabaseExists. A failed ping clears both
// flags (an earlier success must not stand) and shows the network message. With `updateProgress` the
// steps are written to the progress window's status line.
void CheckServerConnection(bool updateProgress);

}  // namespace dovrel
