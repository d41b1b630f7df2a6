#pragma once
// One database on a stand-in server for the fault tests: its connection
// string (which follows the server to a new port after a restart), setup
// SQL through the independent client, and a table's whole contents as text
// for before-and-after comparisons.
#include <string>

#include "support/standin_server.h"

namespace dovrel::test {

class StandinDatabase {
public:
    explicit StandinDatabase(std::string database) : database_(std::move(database)) {}

    // Starts the server and creates the database; false with the reason in error().
    bool start();
    StandinServer& server() { return server_; }
    const std::string& error() const { return error_; }

    // The connection string a host would give the exchange.
    std::string connectStr() const;
    // Runs setup statements; false (reason in error()) when one failed.
    bool sql(const std::string& text);
    // Every row of `query` through the program's own data layer: values
    // separated by "|", rows ended by "\n", NULL as "NULL". A query that
    // fails gives "failed: " and the reason.
    std::string rows(const std::string& query) const;

private:
    std::string database_;
    StandinServer server_;
    std::string error_;
};

}  // namespace dovrel::test
