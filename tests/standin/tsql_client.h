#pragma once
// FreeTDS's interactive client, tsql, as an independent witness of what the
// stand-in says on the wire: batches go in on stdin, rows and server
// messages come back as text.
#include "support/standin_server.h"

#include <string>
#include <sys/types.h>

namespace dovrel::test {

// Runs `sql` (batches separated by lines reading "go"; a final "go" is
// added) through tsql against the server and returns everything it printed.
SqlRun runTsql(const StandinServer& server, const std::string& sql, const std::string& database = "master",
               const std::string& user = "sa", const std::string& password = "Secret#1");

// A tsql session that stays open, for holding a transaction across events.
class OpenTsql {
public:
    OpenTsql(const StandinServer& server, const std::string& database);
    ~OpenTsql();
    // Sends a batch and waits until `marker` shows in the output (or 20 s pass).
    bool send(const std::string& batch, const std::string& marker);
    // Sends a batch without waiting (it may block on the server).
    bool post(const std::string& batch);
    // Waits until `marker` shows in the output (or 20 s pass).
    bool waitFor(const std::string& marker);
    const std::string& output() const { return output_; }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string output_;
};

}  // namespace dovrel::test
