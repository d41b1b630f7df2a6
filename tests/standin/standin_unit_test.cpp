// The stand-in's pieces on their own: T-SQL tokens and statement
// boundaries, SQL Server's conversions, sp_helptext's row split, date
// parsing, the login password, and the packet layer of a live server
// driven by hand (attention, malformed input).
#include "byte_buffer.h"
#include "conversions.h"
#include "database_directory.h"
#include "date_literal.h"
#include "help_text.h"
#include "login.h"
#include "server.h"
#include "sql_error.h"
#include "sql_split.h"
#include "tds_transport.h"
#include "text_codec.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <chrono>
#include <functional>
#include <thread>
#include <unistd.h>

namespace standin {
namespace {

std::vector<std::string> statementsOf(const std::string& sql) {
    const auto tokens = tokenize(sql);
    std::vector<std::string> out;
    for (const auto& r : splitStatements(tokens, {0, tokens.size()})) {
        out.push_back(sql.substr(tokens[r.first].begin, tokens[r.last - 1].end - tokens[r.first].begin));
    }
    return out;
}

TEST(StandinSqlText, TokensKeepNamesAndLiteralsAsWritten) {
    const auto t = tokenize("Insert Into [My Table] ([a]]b]) Values (N'O''Neil', 'x', 0x0aFF, 1.5e3, @@SPID) -- note");
    ASSERT_EQ(t.size(), 18u);
    EXPECT_EQ(t[2].kind, TokenKind::QuotedName);
    EXPECT_EQ(t[2].text, "My Table");
    EXPECT_EQ(t[4].text, "a]b");
    EXPECT_EQ(t[8].kind, TokenKind::String);
    EXPECT_TRUE(t[8].unicode);
    EXPECT_EQ(t[8].text, "O'Neil");
    EXPECT_FALSE(t[10].unicode);
    EXPECT_EQ(t[12].kind, TokenKind::Binary);
    EXPECT_EQ(t[12].text, "0aFF");
    EXPECT_EQ(t[14].kind, TokenKind::Number);
    EXPECT_EQ(t[14].text, "1.5e3");
    EXPECT_EQ(t[16].kind, TokenKind::Variable);
    try {
        tokenize("select 'open");
        FAIL() << "an unclosed string must be refused";
    } catch (const StatementError& e) {
        EXPECT_EQ(e.message.number, 105);
    }
}

TEST(StandinSqlText, StatementsEndWhereTheNextOneBegins) {
    EXPECT_EQ(statementsOf("Insert Into T (a) Values (1)\r\nInsert Into T (a) Values (2)\r\n"),
              (std::vector<std::string>{"Insert Into T (a) Values (1)", "Insert Into T (a) Values (2)"}));
    EXPECT_EQ(statementsOf("select a\nfrom t\nwhere b in (select c from u) union select 1; delete t"),
              (std::vector<std::string>{"select a\nfrom t\nwhere b in (select c from u) union select 1", "delete t"}));
    EXPECT_EQ(statementsOf("insert into t (a) select a from u update t set a = 1 where a = 2 set nocount on"),
              (std::vector<std::string>{"insert into t (a) select a from u", "update t set a = 1 where a = 2",
                                        "set nocount on"}));
    EXPECT_EQ(statementsOf("SET NOCOUNT ON INSERT INTO Audit VALUES (1)"),
              (std::vector<std::string>{"SET NOCOUNT ON", "INSERT INTO Audit VALUES (1)"}));
    EXPECT_EQ(statementsOf("IF @@TRANCOUNT > 0 ROLLBACK BEGIN TRANSACTION"),
              (std::vector<std::string>{"IF @@TRANCOUNT > 0 ROLLBACK", "BEGIN TRANSACTION"}));
    EXPECT_EQ(statementsOf("IF EXISTS (SELECT 1 FROM t) DROP TABLE t ELSE PRINT 'x' SELECT 2"),
              (std::vector<std::string>{"IF EXISTS (SELECT 1 FROM t) DROP TABLE t ELSE PRINT 'x'", "SELECT 2"}));
    // A trigger's body is the rest of the batch.
    EXPECT_EQ(statementsOf("CREATE TRIGGER x ON t FOR INSERT, UPDATE AS INSERT INTO a SELECT * FROM inserted DELETE b")
                  .size(),
              1u);
    EXPECT_EQ(statementsOf("create table t (a int references u (b) on delete cascade) select 1").size(), 2u);
    EXPECT_EQ(statementsOf("DROP TABLE IF EXISTS t IF 1 = 1 SELECT 1").size(), 2u);
}

Value stored(const std::string& literalSql, const char* type, int arg1 = 0, int arg2 = 0, bool args = false) {
    const auto t = tokenize(literalSql);
    CatalogColumn c;
    c.name = "c";
    c.type = *makeSqlType(type, arg1, arg2, args);
    return convertForColumn(literalValue(t.at(0)), c);
}

int refusal(const std::string& literalSql, const char* type, int arg1 = 0, int arg2 = 0, bool args = false) {
    try {
        stored(literalSql, type, arg1, arg2, args);
    } catch (const StatementError& e) {
        return e.message.number;
    }
    return 0;
}

TEST(StandinConversions, ValuesAreStoredOnlyWhereSqlServerWouldStoreThem) {
    EXPECT_EQ(stored("' 42 '", "int").i, 42);
    EXPECT_EQ(stored("''", "int").i, 0);
    EXPECT_EQ(stored("7.9", "int").i, 7);
    EXPECT_EQ(refusal("'abc'", "int"), 245);
    EXPECT_EQ(refusal("'1.5'", "int"), 245);
    EXPECT_EQ(refusal("300", "tinyint"), 220);
    EXPECT_EQ(refusal("3000000000", "int"), 8115);
    EXPECT_EQ(stored("'True'", "bit").i, 1);
    EXPECT_EQ(stored("5", "bit").i, 1);
    EXPECT_EQ(refusal("'yes'", "bit"), 245);
    EXPECT_EQ(stored("12.345", "decimal", 10, 2, true).s, "12.35");
    EXPECT_EQ(stored("0.125", "decimal", 10, 2, true).s, "0.13");
    EXPECT_EQ(refusal("123456789.5", "decimal", 10, 2, true), 8115);
    EXPECT_EQ(refusal("'x'", "decimal", 10, 2, true), 8114);
    EXPECT_EQ(stored("N'2001/2/3'", "datetime").s, "2001-02-03 00:00:00.000");
    EXPECT_EQ(stored("'2001-02-03T04:05:06.789'", "datetime").s, "2001-02-03 04:05:06.790");
    EXPECT_EQ(stored("''", "datetime").s, "1900-01-01 00:00:00.000");
    EXPECT_EQ(refusal("'2001-02-30'", "datetime"), 242);  // a day the month lacks: out of range
    EXPECT_EQ(refusal("'1700-01-01'", "datetime"), 242);
    EXPECT_EQ(stored("'12/31/1999 11:59 PM'", "date").s, "1999-12-31");
    EXPECT_EQ(refusal("5", "date"), 206);
    EXPECT_EQ(stored("N'中文'", "nvarchar", 2, 0, true).s, "中文");
    EXPECT_EQ(refusal("N'中文字'", "nvarchar", 2, 0, true), 8152);
    EXPECT_EQ(stored("'ab   '", "varchar", 2, 0, true).s, "ab");
    EXPECT_EQ(stored("'{6f9619ff-8b86-d011-b42d-00c04fc964ff}'", "uniqueidentifier").s,
              "6F9619FF-8B86-D011-B42D-00C04FC964FF");
    EXPECT_EQ(refusal("'not-a-guid'", "uniqueidentifier"), 8169);
    EXPECT_EQ(refusal("'abc'", "varbinary", 10, 0, true), 257);
    EXPECT_EQ(refusal("0x01", "timestamp"), 273);
}

TEST(StandinHelpText, RowsSplitAfterLineEndsAndLongLinesAndJoinBack) {
    const std::string text = "CREATE TRIGGER t ON x FOR INSERT\r\nAS\r\n" + std::string(300, 'a') + "\n\n中文";
    const auto rows = helpTextRows(text);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], "CREATE TRIGGER t ON x FOR INSERT\r\n");
    EXPECT_EQ(rows[1], "AS\r\n");
    EXPECT_EQ(rows[2], std::string(255, 'a'));
    EXPECT_EQ(rows[3], std::string(45, 'a') + "\n");
    EXPECT_EQ(rows[4], "\n");
    EXPECT_EQ(rows[5], "中文");
    std::string joined;
    for (const auto& r : rows) joined += r;
    EXPECT_EQ(joined, text);
    EXPECT_TRUE(helpTextRows("").empty());
}

TEST(StandinDates, StoredFormsAndTickRounding) {
    const DateSettings mdy;
    auto p = readDateLiteral("20010203 23:59:59.998", mdy, DateKind::DateTime).value;
    ASSERT_TRUE(p);
    EXPECT_EQ(formatDateTime(*p), "2001-02-03 23:59:59.997");
    EXPECT_EQ(formatDateTime(*readDateLiteral("1999-12-31 23:59:59.999", mdy, DateKind::DateTime).value),
              "2000-01-01 00:00:00.000");
    EXPECT_EQ(formatDateTime(*readDateLiteral("10:30", mdy, DateKind::DateTime).value), "1900-01-01 10:30:00.000");
    EXPECT_EQ(formatDate(*readDateLiteral("2/29/2000", mdy, DateKind::Date).value), "2000-02-29");
    EXPECT_EQ(formatDateTime(*parseStoredDateTime("2001-02-03 04:05:06.007")), "2001-02-03 04:05:06.007");
    EXPECT_FALSE(parseStoredDateTime("2/3/2001"));
    EXPECT_EQ(daysFromCivil(1900, 1, 1), -25567);
    EXPECT_EQ(formatDate(civilFromDays(-25567)), "1900-01-01");
}

TEST(StandinLogin, PasswordObfuscationIsUndone) {
    // Each byte: nibbles swapped, then XOR 0xA5, as a client sends it.
    std::string wide = utf8ToUtf16le("Secret#1");
    std::string sent = wide;
    for (auto& c : sent) {
        const auto b = static_cast<uint8_t>(c);
        c = static_cast<char>(static_cast<uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5));
    }
    EXPECT_EQ(decodePassword(sent), wide);
    EXPECT_EQ(utf16leToUtf8(utf8ToUtf16le("人事𠀀x")), "人事𠀀x");
    EXPECT_EQ(utf16Length("人事𠀀x"), 5u);
}

// A live server in this process, driven packet by packet over a socket.
class StandinWire : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("standin-wire-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir);
        directory = std::make_unique<DatabaseDirectory>(dir);
        std::string error;
        ASSERT_TRUE(directory->prepare(error)) << error;
        startServer({});
    }
    void TearDown() override {
        stopServer();
        std::filesystem::remove_all(dir);
    }
    void startServer(ServerLimits limits) {
        stopServer();
        std::string error;
        server = std::make_unique<Server>(
            *directory, LoginTable{{"sa", LoginAccount("pw")}, {"brit", LoginAccount("pw", "british")}}, limits);
        ASSERT_TRUE(server->listen(0, error)) << error;
        thread = std::thread([this] { server->run(); });
    }
    void stopServer() {
        if (!server) return;
        server->stop();
        thread.join();
        server.reset();
    }

    // A client logged in as sa, ready for requests.
    int loggedIn() {
        const int fd = connectClient();
        TdsTransport t(fd);
        EXPECT_TRUE(t.write(packet_type::Login7, login7("sa", "pw")));
        TdsMessage reply;
        EXPECT_TRUE(t.read(reply));
        EXPECT_NE(reply.payload.find('\xAD'), std::string::npos);  // LOGINACK
        return fd;
    }
    // A SQL batch with the ALL_HEADERS block of TDS 7.2+.
    static std::string batchPayload(const std::string& sql) {
        ByteWriter w;
        w.u32(22);
        w.u32(18);
        w.u16(2);
        w.u64(0);
        w.u32(1);
        w.bytes(utf8ToUtf16le(sql));
        return w.take();
    }
    // One packet with the status bits given (0x01 end of message, 0x02 ignore).
    static void sendPacket(int fd, uint8_t type, uint8_t status, std::string_view body) {
        ByteWriter w;
        w.u8(type);
        w.u8(status);
        w.u16be(static_cast<uint16_t>(body.size() + 8));
        w.u16be(0);
        w.u8(1);
        w.u8(0);
        w.bytes(body);
        ASSERT_EQ(send(fd, w.data().data(), w.size(), MSG_NOSIGNAL), static_cast<ssize_t>(w.size()));
    }
    // The error numbers and DONE statuses of one reply (without result sets).
    struct Reply {
        std::vector<int32_t> errors;
        std::vector<uint16_t> done;
        size_t bytes = 0;
    };
    static Reply readReply(int fd) {
        TdsTransport t(fd);
        TdsMessage m;
        Reply reply;
        if (!t.read(m)) return reply;
        reply.bytes = m.payload.size();
        ByteReader r(m.payload);
        while (r.remaining() > 0) {
            const uint8_t token = r.u8();
            if (token == 0xFD || token == 0xFE || token == 0xFF) {
                reply.done.push_back(r.u16());
                r.skip(2 + 8);
            } else if (token == 0xAA || token == 0xAB || token == 0xE3 || token == 0xAD) {
                const uint16_t length = r.u16();
                const size_t at = r.pos();
                if (token == 0xAA) reply.errors.push_back(static_cast<int32_t>(r.u32()));
                r.seek(at + length);
            } else if (token == 0x79) {
                r.skip(4);
            } else {
                ADD_FAILURE() << "unexpected token " << int(token) << " in the reply";
                break;
            }
        }
        return reply;
    }
    static Reply run(int fd, const std::string& sql) {
        sendPacket(fd, packet_type::SqlBatch, 0x01, batchPayload(sql));
        return readReply(fd);
    }
    // The condition holds on the server (RAISERROR tells when it does not).
    static void expectHolds(int fd, const std::string& condition) {
        const Reply r = run(fd, "SET LOCK_TIMEOUT 5000\nIF NOT (" + condition + ") RAISERROR('not so', 16, 1)");
        EXPECT_TRUE(r.errors.empty()) << condition;
    }
    static size_t threadCount() {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
        return n;
    }

    int connectClient() {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(server->port()));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        timeval timeout{10, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        return fd;
    }

    // A LOGIN7 record for TDS 7.4 with user, password and (when not empty)
    // the language the client asks for.
    static std::string login7(const std::string& user, const std::string& password, const std::string& language = {}) {
        const std::string u = utf8ToUtf16le(user);
        const std::string l = utf8ToUtf16le(language);
        std::string p = utf8ToUtf16le(password);
        for (auto& c : p) {
            const auto b = static_cast<uint8_t>(c);
            c = static_cast<char>(static_cast<uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5));
        }
        const uint16_t fixed = 94;
        const auto afterPassword = static_cast<uint16_t>(fixed + u.size() + p.size());
        const auto end = static_cast<uint16_t>(afterPassword + l.size());
        ByteWriter w;
        w.u32(end);
        w.u32(0x74000004);
        w.u32(4096);
        for (int k = 0; k < 3; ++k) w.u32(0);
        w.u8(0);
        w.u8(0);
        w.u8(0);
        w.u8(0);
        w.u32(0);
        w.u32(0);
        auto field = [&](uint16_t offset, size_t chars) {
            w.u16(offset);
            w.u16(static_cast<uint16_t>(chars));
        };
        field(fixed, 0);                                               // host
        field(fixed, u.size() / 2);                                    // user
        field(static_cast<uint16_t>(fixed + u.size()), p.size() / 2);  // password
        for (int k = 0; k < 4; ++k) field(afterPassword, 0);           // app, server, unused, library
        field(afterPassword, l.size() / 2);                            // language
        field(end, 0);                                                 // database
        w.bytes(std::string(6, '\0'));                                 // client id
        for (int k = 0; k < 3; ++k) field(end, 0);
        w.u32(0);
        w.bytes(u);
        w.bytes(p);
        w.bytes(l);
        return w.take();
    }

    // A SQL batch request of TDS 7.4 (with its ALL_HEADERS).
    static std::string batch(const std::string& sql) {
        ByteWriter b;
        b.u32(22);
        b.u32(18);
        b.u16(2);
        b.u64(0);
        b.u32(1);
        b.bytes(utf8ToUtf16le(sql));
        return b.take();
    }

    std::filesystem::path dir;
    std::unique_ptr<DatabaseDirectory> directory;
    std::unique_ptr<Server> server;
    std::thread thread;
};

TEST_F(StandinWire, AttentionIsAcknowledgedAndMalformedInputOnlyEndsThatClient) {
    const int fd = connectClient();
    TdsTransport client(fd);
    ASSERT_TRUE(client.write(packet_type::Login7, login7("sa", "pw")));
    TdsMessage reply;
    ASSERT_TRUE(client.read(reply));
    EXPECT_NE(reply.payload.find('\xAD'), std::string::npos);  // LOGINACK

    const std::string select = batch("select 1");
    ASSERT_TRUE(client.write(packet_type::SqlBatch, select));
    ASSERT_TRUE(client.read(reply));
    // The cancel gets a DONE with the attention bit, and the session goes on.
    ASSERT_TRUE(client.write(packet_type::Attention, {}));
    ASSERT_TRUE(client.read(reply));
    ASSERT_EQ(reply.payload.size(), 13u);
    EXPECT_EQ(static_cast<uint8_t>(reply.payload[0]), 0xFD);
    EXPECT_EQ(static_cast<uint8_t>(reply.payload[1]) & 0x20, 0x20);
    ASSERT_TRUE(client.write(packet_type::SqlBatch, select));
    ASSERT_TRUE(client.read(reply));

    // A packet whose length is shorter than its header ends this connection only.
    const int bad = connectClient();
    const char header[8] = {0x12, 0x01, 0x00, 0x04, 0, 0, 0, 0};
    ASSERT_EQ(send(bad, header, sizeof header, 0), 8);
    char byte;
    EXPECT_EQ(recv(bad, &byte, 1, 0), 0);
    close(bad);

    const int wrong = connectClient();
    TdsTransport wrongClient(wrong);
    ASSERT_TRUE(wrongClient.write(packet_type::Login7, login7("sa", "PW")));
    ASSERT_TRUE(wrongClient.read(reply));
    EXPECT_EQ(static_cast<uint8_t>(reply.payload[0]), 0xAA);  // ERROR token: 18456
    close(wrong);

    ASSERT_TRUE(client.write(packet_type::SqlBatch, select));
    ASSERT_TRUE(client.read(reply));
    close(fd);
}

// Cancelling, as MS-TDS has it: a request ended with the ignore bit, or cut
// off by an attention before its last packet, never runs and gets one DONE;
// an attention while a request runs stops the batch, undoes the running
// statement and is acknowledged (DONE_ATTN); a client gone mid-batch has
// its batch stopped and its transaction rolled back.
TEST_F(StandinWire, CancelledRequestsStopWhereTheClientSaid) {
    using namespace std::chrono_literals;
    const int admin = loggedIn();
    ASSERT_TRUE(run(admin, "CREATE TABLE T (Id int)\nCREATE TABLE Held (Id int)").errors.empty());
    enum class End { IgnoreBit, AttentionInside, AttentionWhileWaiting, ClientGone };
    struct Case {
        const char* name;
        End end;
        const char* sql;
        int rowsLeft;      // in T afterwards
        bool stillInTran;  // the session's transaction survives the attention
    };
    const Case cases[] = {
        {"ignore bit on the last packet", End::IgnoreBit, "INSERT INTO T VALUES (1)", 0, false},
        {"attention before the last packet", End::AttentionInside, "INSERT INTO T VALUES (1)", 0, false},
        {"attention while a statement waits for a lock", End::AttentionWhileWaiting,
         "INSERT INTO T VALUES (1)\nINSERT INTO Held VALUES (2)\nINSERT INTO T VALUES (3)", 1, false},
        {"attention inside a transaction keeps the transaction", End::AttentionWhileWaiting,
         "BEGIN TRAN\nINSERT INTO T VALUES (1)\nINSERT INTO Held VALUES (2)", 0, true},
        {"client gone while a statement waits", End::ClientGone,
         "INSERT INTO T VALUES (1)\nINSERT INTO Held VALUES (2)\nINSERT INTO T VALUES (3)", 1, false},
        {"client gone inside a transaction", End::ClientGone,
         "BEGIN TRAN\nINSERT INTO T VALUES (1)\nINSERT INTO Held VALUES (2)\nINSERT INTO T VALUES (3)", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(run(admin, "DELETE FROM T").errors.empty());
        const int holder = loggedIn();
        ASSERT_TRUE(run(holder, "BEGIN TRAN\nINSERT INTO Held VALUES (9)").errors.empty());
        const int fd = loggedIn();
        const std::string payload = batchPayload(c.sql);
        Reply reply;
        switch (c.end) {
        case End::IgnoreBit:
            sendPacket(fd, packet_type::SqlBatch, 0x00, payload);
            sendPacket(fd, packet_type::SqlBatch, 0x03, {});
            reply = readReply(fd);
            EXPECT_EQ(reply.done, std::vector<uint16_t>{0});  // one DONE, nothing else
            EXPECT_EQ(reply.bytes, 13u);
            break;
        case End::AttentionInside:
            sendPacket(fd, packet_type::SqlBatch, 0x00, payload);
            sendPacket(fd, packet_type::Attention, 0x01, {});
            reply = readReply(fd);
            ASSERT_FALSE(reply.done.empty());
            EXPECT_EQ(reply.done.back() & 0x20, 0x20);
            break;
        case End::AttentionWhileWaiting:
            sendPacket(fd, packet_type::SqlBatch, 0x01, payload);
            std::this_thread::sleep_for(300ms);
            sendPacket(fd, packet_type::Attention, 0x01, {});
            reply = readReply(fd);
            ASSERT_FALSE(reply.done.empty());
            EXPECT_EQ(reply.done.back() & 0x20, 0x20);
            expectHolds(fd, c.stillInTran ? "@@TRANCOUNT = 1 AND (SELECT COUNT(*) FROM T) = 1" : "@@TRANCOUNT = 0");
            run(fd, "IF @@TRANCOUNT > 0 ROLLBACK");
            break;
        case End::ClientGone:
            sendPacket(fd, packet_type::SqlBatch, 0x01, payload);
            std::this_thread::sleep_for(300ms);
            break;
        }
        close(fd);
        std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(run(holder, "ROLLBACK").errors.empty());
        close(holder);
        // The session still works after its cancel, and nothing more ran.
        expectHolds(admin, "(SELECT COUNT(*) FROM T) = " + std::to_string(c.rowsLeft));
        expectHolds(admin, "(SELECT COUNT(*) FROM Held) = 0");
    }
    close(admin);
}

// Connections that never log in are dropped after the login time-out, and
// beyond the connection limit clients are refused with 17809; neither kind
// keeps a thread of its own.
TEST_F(StandinWire, IdleAndSurplusConnectionsAreTurnedAway) {
    using namespace std::chrono_literals;
    startServer(ServerLimits{400ms, 3});
    const size_t threadsBefore = threadCount();
    // Waits (up to 5 s) for the server to close the connection.
    auto closedByServer = [](int fd) {
        char byte;
        return recv(fd, &byte, 1, 0) == 0;
    };
    struct Case {
        const char* name;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"a client that sends nothing is dropped",
         [&] {
             const int fd = connectClient();
             EXPECT_TRUE(closedByServer(fd));
             close(fd);
         }},
        {"a client that stops after PRELOGIN is dropped",
         [&] {
             const int fd = connectClient();
             sendPacket(fd, packet_type::PreLogin, 0x01, std::string(1, '\xFF'));
             TdsTransport t(fd);
             TdsMessage reply;
             EXPECT_TRUE(t.read(reply));
             EXPECT_TRUE(closedByServer(fd));
             close(fd);
         }},
        {"twenty clients that never log in hold no more threads than the limit allows",
         [&] {
             std::vector<int> fds;
             for (int k = 0; k < 20; ++k) fds.push_back(connectClient());
             std::this_thread::sleep_for(200ms);
             EXPECT_LE(threadCount(), threadsBefore + 3);
             for (int fd : fds) {
                 EXPECT_TRUE(closedByServer(fd));
                 close(fd);
             }
         }},
        {"beyond the limit a login is refused with 17809, and a freed place is taken again",
         [&] {
             const int a = loggedIn(), b = loggedIn(), c = loggedIn();
             const int surplus = connectClient();
             TdsTransport t(surplus);
             ASSERT_TRUE(t.write(packet_type::Login7, login7("sa", "pw")));
             TdsMessage reply;
             ASSERT_TRUE(t.read(reply));
             ByteReader r(reply.payload);
             ASSERT_EQ(r.u8(), 0xAA);
             r.u16();
             EXPECT_EQ(r.u32(), 17809u);
             EXPECT_TRUE(closedByServer(surplus));
             close(surplus);
             close(a);
             bool admitted = false;
             for (int attempt = 0; attempt < 40 && !admitted; ++attempt) {
                 std::this_thread::sleep_for(100ms);
                 const int again = connectClient();
                 TdsTransport u(again);
                 TdsMessage answer;
                 admitted = u.write(packet_type::Login7, login7("sa", "pw")) && u.read(answer) &&
                            answer.payload.find('\xAD') != std::string::npos;
                 close(again);
             }
             EXPECT_TRUE(admitted);
             close(b);
             close(c);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.check();
    }
    std::this_thread::sleep_for(1500ms);  // the accept loop reaps finished sessions about once a second
    EXPECT_LE(threadCount(), threadsBefore + 1);
}

TEST_F(StandinWire, LanguageAndDateFormatDecideHowDatesAreRead) {
    // A session speaks the language LOGIN7 names, else its login's default;
    // the language brings its date order, which SET DATEFORMAT changes.
    // Numeric dates follow the order; ISO 8601 with T, yyyymmdd and the
    // date type's year-first form do not.
    const auto date = [](const char* literal, const char* type = "datetime") {
        return std::string("SELECT CONVERT(nvarchar(30), CAST('") + literal + "' AS " + type + "), 121)";
    };
    struct Case {
        const char* login;
        const char* clientLanguage;
        std::string sql;
        const char* expected;  // text somewhere in the reply
    };
    const Case cases[] = {
        {"sa", "", "SELECT @@LANGUAGE", "us_english"},
        {"sa", "", "SELECT CONVERT(nvarchar(10), @@DATEFIRST) + N' first'", "7 first"},
        {"brit", "", "SELECT @@LANGUAGE", "british"},
        {"brit", "", "SELECT CONVERT(nvarchar(10), @@DATEFIRST) + N' first'", "1 first"},
        {"brit", "us_english", "SELECT @@LANGUAGE", "us_english"},
        {"sa", "British English", "SELECT @@LANGUAGE", "british"},
        {"brit", "", date("2001-02-03 04:05:06"), "2001-03-02 04:05:06.000"},
        {"brit", "", date("2001-02-13"), "resulted in an out-of-range value"},
        {"brit", "", date("03/02/2001"), "2001-02-03 00:00:00.000"},
        {"brit", "", date("2001-02-03T04:05:06"), "2001-02-03 04:05:06.000"},
        {"brit", "", date("20010203"), "2001-02-03 00:00:00.000"},
        {"brit", "", date("2001-02-03", "date"), "2001-02-03"},
        {"brit", "", date("2001-02-03 04:05", "smalldatetime"), "2001-03-02 04:05:00.000"},
        {"brit", "", "SET DATEFORMAT ymd " + date("2001-02-03 04:05:06"), "2001-02-03 04:05:06.000"},
        {"sa", "", "SET DATEFORMAT mdy " + date("01/02/03"), "2003-01-02"},
        {"sa", "", "SET DATEFORMAT dmy " + date("01/02/03"), "2003-02-01"},
        {"sa", "", "SET DATEFORMAT ymd " + date("01/02/03"), "2001-02-03"},
        {"sa", "", "SET DATEFORMAT YDM " + date("01/02/03"), "2001-03-02"},
        {"sa", "", "SET DATEFORMAT 'myd' " + date("01/02/03"), "2002-01-03"},
        {"sa", "", "SET DATEFORMAT dym " + date("01/02/03"), "2002-03-01"},
        {"sa", "", "SET DATEFORMAT ydm " + date("01/02/03", "date"), "Conversion failed"},
        {"sa", "", "SET LANGUAGE british " + date("2001-02-03"), "2001-03-02"},
        {"sa", "", "SET LANGUAGE british", "Changed language setting to british."},
        {"sa", "", "SET LANGUAGE N'简体中文' SELECT @@LANGUAGE", "简体中文"},
        {"sa", "", "SET LANGUAGE [Simplified Chinese] " + date("03/02/01"), "2003-02-01"},
        {"sa", "", "SET LANGUAGE klingon", "is not an official language name or a language alias"},
        {"sa", "", "SET DATEFORMAT xyz", "SET DATEFORMAT date order 'xyz' is invalid."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.login) + " " + c.sql);
        const int fd = connectClient();
        TdsTransport client(fd);
        ASSERT_TRUE(client.write(packet_type::Login7, login7(c.login, "pw", c.clientLanguage)));
        TdsMessage reply;
        ASSERT_TRUE(client.read(reply));
        ASSERT_TRUE(client.write(packet_type::SqlBatch, batch(c.sql)));
        ASSERT_TRUE(client.read(reply));
        EXPECT_NE(reply.payload.find(utf8ToUtf16le(c.expected)), std::string::npos);
        close(fd);
    }
    // The login reply announces the session's language (ENVCHANGE and 5703)
    // and the database's collation, Chinese_PRC_CI_AS.
    const int fd = connectClient();
    TdsTransport client(fd);
    ASSERT_TRUE(client.write(packet_type::Login7, login7("brit", "pw")));
    TdsMessage reply;
    ASSERT_TRUE(client.read(reply));
    EXPECT_NE(reply.payload.find(std::string("\x02\x07") + utf8ToUtf16le("british")), std::string::npos);
    EXPECT_NE(reply.payload.find(utf8ToUtf16le("Changed language setting to british.")), std::string::npos);
    EXPECT_NE(reply.payload.find(std::string("\x07\x05\x04\x08\xD0\x00\x00", 7)), std::string::npos);
    close(fd);
}

}  // namespace
}  // namespace standin
