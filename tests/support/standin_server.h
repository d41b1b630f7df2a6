#pragma once
// The stand-in database server as a test fixture: a dovrel-standin process on
// a free loopback port with its own data folder, and a way to run SQL batches
// against it through FreeTDS's bsqldb, an independent client.
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "support/temp_files.h"

namespace dovrel::test {

// What one run of the command-line client gave back.
struct SqlRun {
    int exitCode = -1;   // bsqldb's exit status (0 when every batch ran cleanly)
    std::string output;  // result rows, one line each, columns separated by tabs
    std::string errors;  // the server's messages and the client's own complaints
    bool ok() const { return exitCode == 0; }
};

class StandinServer {
public:
    // dataDir empty: a fresh temporary folder, removed again on destruction.
    // Each login is "NAME:PASSWORD" or "NAME:PASSWORD:LANGUAGE" (us_english,
    // british, 简体中文: the login's default language). As on SQL Server, a
    // language the client names at login wins over the default, and FreeTDS
    // always names one (us_english unless an ODBC connection string's
    // Language= or the "language" of the freetds.conf section the client
    // connects through says otherwise; connections by address, as the
    // program's data layer makes them, read no section); SET LANGUAGE and
    // SET DATEFORMAT change a session's date order whatever the client.
    explicit StandinServer(std::string dataDir = {}, std::vector<std::string> logins = {"sa:Secret#1"});
    ~StandinServer();
    StandinServer(const StandinServer&) = delete;
    StandinServer& operator=(const StandinServer&) = delete;

    // Launches the server on a free port and waits for its first line.
    // False (with the reason in lastError()) when it did not come up.
    bool start();
    // SIGTERM and wait for the process to end.
    void stop();
    // SIGKILL, as a crash or power cut would end it.
    void kill();
    // stop() when running, then start() on the same data folder (a new port).
    bool restart();

    bool running() const { return pid_ > 0; }
    int port() const { return port_; }
    std::string host() const { return "127.0.0.1"; }
    // "127.0.0.1,PORT", the form a connection string's server takes.
    std::string serverName() const;
    const std::string& dataDir() const { return dataDir_; }
    const std::string& lastError() const { return lastError_; }

    // The environment of FreeTDS's own clients (bsqldb, tsql): this one's,
    // with TDS 7.4 and a UTF-8 locale in LANG, which is where FreeTDS looks
    // for its client character set.
    static std::vector<std::string> freeTdsClientEnvironment();

    // Runs one batch (or several separated by lines reading "go") through
    // bsqldb with TDS 7.4 and returns its exit code, rows and messages.
    // bsqldb stops at the first error (exit code = its severity), which
    // suits setup SQL; tsql shows every statement's outcome instead.
    SqlRun runSql(const std::string& sql, const std::string& database = "master", const std::string& user = "sa",
                  const std::string& password = "Secret#1") const;

private:
    std::string dataDir_;
    std::optional<TempFolder> ownedData_;
    std::vector<std::string> logins_;
    pid_t pid_ = -1;
    int port_ = 0;
    std::string lastError_;
};

}  // namespace dovrel::test
