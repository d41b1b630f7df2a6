#pragma once
// One client connection: PRELOGIN and LOGIN7, then SQL batches, remote
// procedure calls, transaction manager requests and attention signals
// until the client leaves. While a request runs, the session keeps an eye
// on the connection: an attention stops the request, a closed connection
// stops it and rolls its transaction back.
#include "database_directory.h"
#include "executor.h"
#include "tds_transport.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace standin {

// A login's password and the language its sessions start in when the
// client names none (empty: us_english).
struct LoginAccount {
    LoginAccount(std::string pw = {}, std::string lang = {}) : password(std::move(pw)), language(std::move(lang)) {}
    std::string password;
    std::string language;
};

// Login name (case-insensitive, stored lower-case) -> account.
using LoginTable = std::map<std::string, LoginAccount>;

// When on, every SQL batch and transaction request is echoed to stderr.
void setTraceRequests(bool on);

class Session {
public:
    Session(int fd, DatabaseDirectory& directory, const LoginTable& logins, uint16_t spid, std::string serverName);
    // Serves the client until it disconnects or sends something malformed.
    // A client that has not logged in within `loginTimeout` is dropped.
    void run(std::chrono::milliseconds loginTimeout);

private:
    bool login();
    void handleBatch(const std::string& payload);
    void handleTransactionRequest(const std::string& payload);
    void handleRpc(const std::string& payload);
    // Sends the outcomes as one reply; with `rpc` the last one closes a
    // procedure (RETURNSTATUS, DONEPROC); an attention is acknowledged last.
    void sendOutcomes(const std::vector<StatementOutcome>& outcomes, Interruption interruption, bool rpc = false);
    void sendLoginFailure(const SqlMessage& first, const std::string& user);
    // Skips the ALL_HEADERS block that 7.2+ clients put before a request.
    size_t skipAllHeaders(const std::string& payload) const;
    // Looks at the connection without waiting: an attention packet (read
    // and consumed), or the client gone.
    Interruption checkClient();

    int fd_;
    TdsTransport transport_;
    DatabaseDirectory& directory_;
    const LoginTable& logins_;
    uint16_t spid_;
    std::string serverName_;
    uint32_t tdsVersion_ = 0x74000004;
    std::unique_ptr<Executor> executor_;
};

}  // namespace standin
