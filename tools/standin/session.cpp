#include "session.h"

#include "byte_buffer.h"
#include "login.h"
#include "rpc_request.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/socket.h>

namespace standin {
namespace {

constexpr uint32_t Tds72 = 0x72090002;
constexpr uint8_t ReplyType = packet_type::Reply;

std::atomic<bool> traceRequests{false};

// Transaction manager request types.
constexpr uint16_t TmBegin = 5, TmCommit = 7, TmRollback = 8;

}  // namespace

void setTraceRequests(bool on) { traceRequests = on; }

Session::Session(int fd, DatabaseDirectory& directory, const LoginTable& logins, uint16_t spid, std::string serverName)
    : fd_(fd), transport_(fd), directory_(directory), logins_(logins), spid_(spid), serverName_(std::move(serverName)) {
    transport_.setSessionId(spid);
}

void Session::run(std::chrono::milliseconds loginTimeout) {
    try {
        transport_.setDeadline(std::chrono::steady_clock::now() + loginTimeout);
        if (!login()) return;
        transport_.setDeadline(std::nullopt);
        executor_->setInterruptCheck([this] { return checkClient(); });
        TdsMessage m;
        while (transport_.read(m)) {
            if (m.ignored) {
                // Cancelled before it was sent whole: never run, answered with one DONE.
                TokenWriter w(tdsVersion_, serverName_);
                w.done(done_token::Done, done_status::Final, command::None, 0);
                if (!transport_.write(ReplyType, w.take())) return;
                continue;
            }
            switch (m.type) {
            case packet_type::SqlBatch: handleBatch(m.payload); break;
            case packet_type::TransactionManager: handleTransactionRequest(m.payload); break;
            case packet_type::Attention: {
                // The request it meant to cancel had already ended: only the acknowledgement is left.
                TokenWriter w(tdsVersion_, serverName_);
                w.done(done_token::Done, done_status::Attention, command::None, 0);
                if (!transport_.write(ReplyType, w.take())) return;
                break;
            }
            case packet_type::Rpc: handleRpc(m.payload); break;
            default: return;  // not something this server speaks: drop the client
            }
        }
    } catch (const ProtocolError&) {
        // Malformed input: the connection is closed, nothing else is affected.
    }
}

Interruption Session::checkClient() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return Interruption::None;
    char header[8];
    const ssize_t n = recv(fd_, header, sizeof header, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return Interruption::ClientGone;
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Interruption::None
                                                                         : Interruption::ClientGone;
    if (n < static_cast<ssize_t>(sizeof header)) return Interruption::None;  // the rest is on its way
    if (static_cast<uint8_t>(header[0]) != packet_type::Attention) {
        // A request sent ahead of its turn: it waits until this one is answered.
        return Interruption::None;
    }
    try {
        TdsMessage attention;
        if (!transport_.read(attention)) return Interruption::ClientGone;
    } catch (const ProtocolError&) {
        return Interruption::ClientGone;
    }
    return Interruption::Attention;
}

bool Session::login() {
    TdsMessage m;
    if (!transport_.read(m)) return false;
    if (m.type == packet_type::PreLogin) {
        if (!transport_.write(ReplyType, preloginReply(m.payload))) return false;
        if (!transport_.read(m)) return false;
    }
    if (m.type != packet_type::Login7) return false;
    const LoginRequest req = parseLogin7(m.payload);
    tdsVersion_ = negotiatedTdsVersion(req.tdsVersion);
    const auto it = logins_.find(toLower(req.userName));
    if (req.integratedSecurity || it == logins_.end() || it->second.password != req.password) {
        sendLoginFailure(sqlError(18456, "Login failed for user '" + req.userName + "'.", 14, 1), req.userName);
        return false;
    }
    // The language LOGIN7 names overrides the login's default, as the
    // client libraries' Language setting does on SQL Server.
    const Language* language = findLanguage(req.language);
    if (!language) language = findLanguage(it->second.language);
    SessionInfo info{spid_, serverName_, req.userName, req.appName, req.hostName, language};
    executor_ = std::make_unique<Executor>(directory_, info);
    const std::string database = req.database.empty() ? "master" : req.database;
    if (auto error = executor_->open(database)) {
        sendLoginFailure(*error, req.userName);
        return false;
    }
    const uint32_t packetSize = req.packetSize == 0 ? 4096 : req.packetSize;
    TokenWriter w(tdsVersion_, serverName_);
    w.envChangeText(env_type::Database, executor_->database(), "master");
    w.message(sqlInfo(5701, "Changed database context to '" + executor_->database() + "'.", 2));
    w.envChangeBytes(env_type::Collation, executor_->collation().wireBytes(), {});
    const std::string languageName = executor_->language().name;
    w.envChangeText(env_type::Language, languageName, {});
    w.message(sqlInfo(5703, "Changed language setting to " + languageName + ".", 1));
    w.loginAck("Microsoft SQL Server", 0x0B000834);  // 11.0.2100
    transport_.setPacketSize(packetSize);
    const std::string size = std::to_string(transport_.packetSize());
    w.envChangeText(env_type::PacketSize, size, size);
    w.done(done_token::Done, done_status::Final, command::None, 0);
    return transport_.write(ReplyType, w.take());
}

void Session::sendLoginFailure(const SqlMessage& first, const std::string& user) {
    TokenWriter w(tdsVersion_, serverName_);
    w.message(first);
    if (first.number != 18456) w.message(sqlError(18456, "Login failed for user '" + user + "'.", 14, 1));
    w.done(done_token::Done, done_status::Error, command::None, 0);
    transport_.write(ReplyType, w.take());
}

size_t Session::skipAllHeaders(const std::string& payload) const {
    if (tdsVersion_ < Tds72) return 0;
    ByteReader r(payload);
    const uint32_t total = r.u32();
    if (total < 4 || total > payload.size()) throw ProtocolError("bad ALL_HEADERS length");
    return total;
}

void Session::handleBatch(const std::string& payload) {
    const size_t start = skipAllHeaders(payload);
    const std::string sql = utf16leToUtf8(std::string_view(payload).substr(start));
    if (traceRequests.load()) std::fprintf(stderr, "[spid %u] batch: %s\n", spid_, sql.c_str());
    BatchOutcome batch = executor_->runBatch(sql);
    if (batch.interruption == Interruption::ClientGone) throw ProtocolError("client gone");
    sendOutcomes(batch.outcomes, batch.interruption);
}

void Session::handleTransactionRequest(const std::string& payload) {
    ByteReader r(payload);
    r.seek(skipAllHeaders(payload));
    const uint16_t request = r.u16();
    if (traceRequests.load()) std::fprintf(stderr, "[spid %u] transaction manager request %u\n", spid_, request);
    StatementOutcome o;
    if (request == TmBegin) {
        o = executor_->beginTransaction();
    } else if (request == TmCommit || request == TmRollback) {
        const uint8_t nameLength = r.u8();
        r.skip(nameLength * 2u);
        bool beginNew = false;
        if (r.remaining() > 0) beginNew = (r.u8() & 1) != 0;
        o = request == TmCommit ? executor_->commitTransaction(beginNew) : executor_->rollbackTransaction(beginNew);
    } else {
        o.failed = true;
        o.messages.push_back(sqlError(
            50000, "Transaction manager request " + std::to_string(request) + " is not supported by the stand-in."));
    }
    sendOutcomes({o}, Interruption::None);
}

void Session::handleRpc(const std::string& payload) {
    const RpcRequest request = parseRpcRequest(std::string_view(payload).substr(skipAllHeaders(payload)));
    std::vector<StatementOutcome> outcomes;
    Interruption interruption = Interruption::None;
    for (const auto& call : request.calls) {
        if (traceRequests.load()) std::fprintf(stderr, "[spid %u] procedure call: %s\n", spid_, call.procedure.c_str());
        if (&call == &request.calls.back() && !request.unsupported.empty()) {
            StatementOutcome o;
            o.failed = true;
            o.procedure = true;
            o.messages.push_back(sqlError(50000, request.unsupported));
            outcomes.push_back(std::move(o));
            break;
        }
        BatchOutcome b = executor_->runProcedureCall(call.procedure, call.args);
        for (auto& o : b.outcomes) outcomes.push_back(std::move(o));
        interruption = b.interruption;
        if (interruption == Interruption::ClientGone) throw ProtocolError("client gone");
        if (interruption != Interruption::None) break;
    }
    sendOutcomes(outcomes, interruption, true);
}

void Session::sendOutcomes(const std::vector<StatementOutcome>& outcomes, Interruption interruption, bool rpc) {
    TokenWriter w(tdsVersion_, serverName_);
    const bool attention = interruption == Interruption::Attention;
    const bool inTransaction = executor_ && executor_->transactionCount() > 0;
    if (outcomes.empty() && !attention) w.done(done_token::Done, done_status::Final, command::None, 0);
    for (size_t k = 0; k < outcomes.size(); ++k) {
        const StatementOutcome& o = outcomes[k];
        for (const auto& e : o.envChanges) {
            if (e.binary) {
                w.envChangeBytes(e.type, e.newValue, e.oldValue);
            } else {
                w.envChangeText(e.type, e.newValue, e.oldValue);
            }
        }
        for (const auto& m : o.messages) w.message(m, m.procedure, m.line);
        if (o.result) {
            w.columns(o.result->columns);
            for (const auto& row : o.result->rows) w.row(o.result->columns, row);
        }
        const bool last = k + 1 == outcomes.size() && !attention;
        uint16_t status = last && !(rpc && o.procedure) ? done_status::Final : done_status::More;
        if (o.failed) status |= done_status::Error;
        if (o.rowCount) status |= done_status::Count;
        if (inTransaction) status |= done_status::InTransaction;
        if (rpc && o.procedure) {
            // A procedure's statement ends with DONEINPROC, the procedure with its status and DONEPROC.
            w.done(done_token::DoneInProc, static_cast<uint16_t>(status | done_status::More), o.command,
                   o.rowCount.value_or(0));
            if (!o.failed) w.returnStatus(0);
            uint16_t procStatus = last ? done_status::Final : done_status::More;
            if (o.failed) procStatus |= done_status::Error;
            if (inTransaction) procStatus |= done_status::InTransaction;
            w.done(done_token::DoneProc, procStatus, command::None, 0);
            continue;
        }
        w.done(o.inProcedure ? done_token::DoneInProc : done_token::Done, status, o.command, o.rowCount.value_or(0));
    }
    // The acknowledgement closes the reply; the client drops what came before it.
    if (attention) w.done(done_token::Done, done_status::Attention, command::None, 0);
    transport_.write(ReplyType, w.take());
}

}  // namespace standin
