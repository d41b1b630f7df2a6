#pragma once
// The database listing of the settings window ("..." beside the server
// box): ping the server, open its master database with the window's login,
// list its databases and remember the server in the history.
#include <string>
#include <vector>

#include "core/connection_fields.h"

namespace dovrel {

// The listing query; the window and the command line list with it.
inline constexpr const char* kDatabaseListSql = "Select Name from SysDatabases order by Name";

struct DatabaseListing {
    // False when the ping failed: the network message was shown and nothing changed.
    bool pinged = false;
    // True when the master database could be opened.
    bool connected = false;
    // The database box afterwards: its list, in the server's order, and its text.
    std::vector<std::string> databases;
    std::string databaseText;
    // The line for the result box when the master database could not be opened.
    std::string failureLine;
};

// The whole command between its busy brackets: `fields` as the window holds
// them, `serverList` the entries of the server box's list. Sets
// ServerReachable and DatabaseExists as the listing finds them, writes the
// server history after a successful probe, and shows the network message
// or, for an unexpected failure, the "System Error!(n)" message itself.
DatabaseListing ListDatabases(const ConnectionFields& fields, const std::vector<std::string>& serverList);

// The databases of the server that ConnectionSettings name, in name order,
// without ping, busy texts or history (the command line's listing). Throws
// ado::DatabaseError with the driver's diagnostics.
std::vector<std::string> QueryDatabaseNames();

}  // namespace dovrel
