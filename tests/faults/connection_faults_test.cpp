// Broken connection strings and odd server names: a null recordset, a false
// probe or no address, never a crash and never a connection made with
// something other than what was written. Every address is on loopback; the
// echoes are scripted, so nothing leaves the machine.
#include <gtest/gtest.h>

#include "support/closed_port.h"
#include "db/connection_string.h"
#include "db/odbc_drivers.h"
#include "core/run_state.h"
#include "net/server_address.h"
#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "support/standin_database.h"
#include "core/check_server.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

std::string operator""_b(const char* text, std::size_t size) { return std::string(text, size); }

class ConnectionFaults : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        db_ = new test::StandinDatabase("Faults");
        ready_ = db_->start();
    }
    static void TearDownTestSuite() {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override {
        resetRunState();
        ASSERT_TRUE(ready_) << db_->error();
        port_ = std::to_string(db_->server().port());
    }
    void TearDown() override { resetRunState(); }

    static inline test::StandinDatabase* db_ = nullptr;
    static inline bool ready_ = false;
    std::string port_;
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
};

TEST_F(ConnectionFaults, BrokenStringsGiveNoRecordset) {
    const std::string server = "data source=127.0.0.1," + port_ + ";";
    const std::string login = "user id =sa;Password= Secret#1;";
    const std::string closed = std::to_string(test::closedLoopbackPort());
    const std::vector<std::string> broken = {
        "",
        ";;;",
        "provider = sqloledb",
        "provider = sqloledb;" + server + "garbage;" + login,
        "provider = sqloledb;" + server + "=value;" + login,
        "provider = sqloledb;" + server + "user id =sa;Password='Secret#1;",       // unclosed quote
        "provider = sqloledb;" + server + "user id =sa;Password=\"Secret#1\" x;",  // text after the quote
        "provider = sqloledb;" + server + "user id =sa;Password= Secret#1;x;",     // a password with ";" as built
        "provider = sqloledb;" + server + "user id =sa;Password='a};b';",          // the driver cannot be told "};"
        "provider = sqloledb;" + server + "user id ='sa;Password= Secret#1;",
        "provider = msdasql;" + server + login,                               // not SQL Server's provider
        "provider = sqloledb;data source=127.0.0.1,x" + port_ + ";" + login,  // a port that is no number
        "provider = sqloledb;data source=127.0.0.1,," + port_ + ";" + login,
        "provider = sqloledb;data source=127.0.0.1," + port_ + ",;" + login,
        "provider = sqloledb;data source=127.0.0.1;" + port_ + ";" + login,
        "provider = sqloledb;" + server + "connect timeout=soon;" + login,
        "provider = sqloledb;" + server + "user id =sa;Password= wrong;",
        "provider = sqloledb;" + server + "Password= Secret#1;",  // no login
        "provider = sqloledb;" + server + "user id =sa;",         // no password
        "provider = sqloledb;" + server + "initial catalog=NoSuchDb;" + login,
        "provider = sqloledb;data source=127.0.0.1," + closed + ";" + login,       // nothing listens there
        "provider = sqloledb;" + server + "user id =sa;Password= Secret#1\0x;"_b,  // a NUL in the password
        "provider = sqloledb;" + server + "user id =s\0a;Password= Secret#1;"_b,
        "provider = sqloledb;data source=127.0.0.1\0,"_b + port_ + ";" + login,
        "Driver={No Such Driver};Server=127.0.0.1;Port=" + port_ + ";UID=sa;PWD=Secret#1;",
        "DSN=NoSuchDataSource;UID=sa;PWD=Secret#1;",
        "Driver={" + ado::odbc::sqlServerDriver().name + "};Server=127.0.0.1;Port=" + port_ + ";UID=sa;PWD=Secret#1;",
        "provider = sqloledb;data source=127.0.0.1;Port=" + port_ + ";" + login,  // no such keyword
    };
    for (const std::string& text : broken) {
        SCOPED_TRACE(text);
        EXPECT_EQ(OpenRecordset(text, "SELECT Name FROM SysDatabases"), nullptr);
        EXPECT_FALSE(TryConnect(text, "SELECT Name FROM SysDatabases"));
    }
    // The same strings put right connect: the failures above are the faults'.
    EXPECT_TRUE(TryConnect("provider = sqloledb;" + server + login, "SELECT Name FROM SysDatabases"));
    EXPECT_TRUE(TryConnect("provider = sqloledb;" + server + "user id =sa;Password='Secret#1';", "Select 1"));
    // No database named: the login's default database.
    EXPECT_NE(OpenRecordset("provider = sqloledb;" + server + login, "Select 1"), nullptr);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConnectionFaults, AStringTooLongForTheDriverIsRefusedNotCut) {
    // The driver reads the string's length as a 16-bit number: a longer
    // string would arrive cut short, and be connected with what was left.
    const std::string beginning =
        "provider = sqloledb;data source=127.0.0.1," + port_ + ";user id =sa;Password= Secret#1;";
    const std::string padding = "Application Name=" + std::string(65536, 'x') + ";";
    EXPECT_TRUE(TryConnect(beginning, "Select 1"));
    EXPECT_FALSE(TryConnect(beginning + padding, "Select 1"));

    ado::Connection connection;
    try {
        connection.Open(beginning + padding);
        ADD_FAILURE() << "connected with a string of " << (beginning + padding).size() << " characters";
    } catch (const ado::DatabaseError& e) {
        EXPECT_NE(e.description().find("longer"), std::string::npos) << e.description();
    }
    EXPECT_FALSE(connection.IsOpen());
    // The same through the program's own form: a password of 70,000 characters.
    EXPECT_FALSE(TryConnect("provider = sqloledb;data source=127.0.0.1," + port_ +
                                ";user id =sa;Password= " + std::string(70000, 'p') + ";",
                            "Select 1"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ServerNameFaults, OddNamesGiveAnAddressOrNone) {
    platform::ScriptedEchoTransport transport;
    platform::ScopedOverride<platform::EchoTransport> scopedTransport(transport);
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages(messages);
    struct Case {
        std::string name;
        std::string address;  // what to probe; empty: no probe
        std::string cleaned;  // the caller's name afterwards
    };
    const std::vector<Case> cases = {
        {"\0"_b, "", ""},
        {std::string(100000, '\0'), "", ""},
        {"\0.\0"_b, "127.0.0.1", "."},
        {"127.0.0.1\0\\x"_b, "127.0.0.1", "127.0.0.1\\x"},
        {"\\", "", "\\"},
        {"\\\\\\", "", "\\\\\\"},
        {",", "", ","},
        {",,1.2.3.4", "", ",,1.2.3.4"},
        {".,", "127.0.0.1", ".,"},
        {".\\", "", ".\\"},
        {"..", "", ".."},
        {"1.2.3.4\\", "1.2.3.4", "1.2.3.4\\"},
        {"1.2.3.4\\\\", "", "1.2.3.4\\\\"},
        {"1.2.3.4,\\x", "1.2.3.4", "1.2.3.4,\\x"},
        {"1.2.3.4\\a,b\\c", "1.2.3.4", "1.2.3.4\\a,b\\c"},
        {"1.2.3.4 ,1433", "1.2.3.4 ", "1.2.3.4 ,1433"},
        {"1.2.3.4;1433", "", "1.2.3.4;1433"},
        {"1.2.3.4," + std::string(40000, '\\'), "1.2.3.4", "1.2.3.4," + std::string(40000, '\\')},
        {"1.2.3.4\\\0\0,5"_b, "1.2.3.4", "1.2.3.4\\,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 40));
        std::string name = c.name;
        EXPECT_EQ(ResolveServerAddress(name), c.address);
        EXPECT_EQ(name, c.cleaned);
    }
    EXPECT_TRUE(messages.shown.empty());
    // Only the instance position that no longer fits in 16 bits is reported.
    std::string tooFar = "1.2.3.4" + std::string(40000, '\\');
    EXPECT_EQ(ResolveServerAddress(tooFar), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "System Error!(6)Overflow");
    EXPECT_TRUE(transport.requests.empty());
}

class ServerNameCheck : public ConnectionFaults {
protected:
    void check(const std::string& serverName) {
        ConnectionSettingsRecord& settings = runState().ConnectionSettings;
        settings.ServerName = serverName;
        settings.DatabaseName = "Faults";
        settings.UserName = "sa";
        settings.UserPassword = "Secret#1";
        CheckServerConnection(true);
    }
    static std::pair<bool, bool> flags() { return {runState().ServerReachable, runState().DatabaseExists}; }

    platform::ScriptedEchoTransport echoes;
    platform::ScopedOverride<platform::EchoTransport> scopedEchoes{echoes};
    RecordingUiHost ui;
    platform::ScopedOverride<UiHost> scopedUi{ui};
};

TEST_F(ServerNameCheck, OddServerNamesReachTheServerOrFailCleanly) {
    constexpr uint32_t kLoopback = 0x7F000001;
    struct Case {
        std::string name;
        bool echoed;  // an echo went to 127.0.0.1 first
        std::pair<bool, bool> found;
        std::string cleaned;  // ServerName afterwards
    };
    const std::string p = port_;
    const std::vector<Case> cases = {
        {"1\0"
         "27.0.0.\0"
         "1,"_b +
             p + "\0"_b,
         true,
         {true, true},
         "127.0.0.1," + p},
        {"127.0.0.1\\INST," + p, true, {true, true}, "127.0.0.1\\INST," + p},   // the port wins over the instance
        {"127.0.0.1\\A\\B," + p, false, {true, true}, "127.0.0.1\\A\\B," + p},  // no address left to probe
        {"," + p, false, {true, true}, "," + p},                                // no host: this machine
        {"\\\\," + p, false, {true, true}, "\\\\," + p},
        {".," + p, true, {true, true}, ".," + p},
        {"127.0.0.1,," + p, true, {false, false}, "127.0.0.1,," + p},  // a port that is no number
        {"127.0.0.1," + p + ",", true, {false, false}, "127.0.0.1," + p + ","},
        {"127.0.0.1;" + p, false, {false, false}, "127.0.0.1;" + p},  // a ";" breaks the string
        // Keywords inside the name stay part of it: no server has such a port.
        {"127.0.0.1," + p + ";user id =nobody", true, {false, false}, "127.0.0.1," + p + ";user id =nobody"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cleaned);
        runState().ServerReachable = !c.found.first;
        runState().DatabaseExists = !c.found.second;
        echoes.requests.clear();
        check(c.name);
        EXPECT_EQ(flags(), c.found);
        EXPECT_EQ(runState().ConnectionSettings.ServerName, c.cleaned);
        ASSERT_EQ(echoes.requests.size(), c.echoed ? 1u : 0u);
        if (c.echoed) {
            EXPECT_EQ(echoes.requests[0].address, kLoopback);
        }
    }
    EXPECT_TRUE(messages.shown.empty());

    // A database name with a NUL cannot be asked for: the driver cuts the
    // query there. Such a database does not exist, and none is found.
    ConnectionSettingsRecord& settings = runState().ConnectionSettings;
    settings.ServerName = "127.0.0.1," + p;
    settings.DatabaseName = "Faults\0"_b;
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, false));
    EXPECT_TRUE(messages.shown.empty());

    // No answer to the echo: the network message, and no connection attempt.
    echoes.script = {platform::scriptedSilence()};
    runState().ServerReachable = runState().DatabaseExists = true;
    check("127.0.0.1\0,"_b + p);
    EXPECT_EQ(flags(), std::make_pair(false, false));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "网络不通，请检查网络设置！");
}

}  // namespace
}  // namespace dovrel
