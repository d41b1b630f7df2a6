// The server check: ping, probe of the master database, existence query,
// against the stand-in server on loopback.
#include "core/check_server.h"

#include <gtest/gtest.h>

#include "support/closed_port.h"
#include "core/run_state.h"
#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/text_converter.h"
#include "platform/ui_host.h"
#include "support/standin_database.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using Strings = std::vector<std::string>;

const char* const kConnecting = "progress:正在连接服务器...";
const char* const kChecking = "progress:正在检查数据服务器上的数据库...";
const char* const kNetworkMessage = "网络不通，请检查网络设置！";

class CheckServer : public test::SharedStandinDatabase<CheckServer> {
public:
    static constexpr const char* kDatabaseName = "TovixHR";
    static bool prepare(test::StandinDatabase& db) { return db.sql("CREATE DATABASE [O'Brien]"); }

protected:
    void SetUp() override {
        resetRunState();
        test::SharedStandinDatabase<CheckServer>::SetUp();
        settings().ServerName = server().serverName();
        settings().DatabaseName = "TovixHR";
        settings().UserName = "sa";
        settings().UserPassword = "Secret#1";
    }
    void TearDown() override { resetRunState(); }

    static ConnectionSettingsRecord& settings() { return runState().ConnectionSettings; }
    static std::pair<bool, bool> flags() { return {runState().ServerReachable, runState().DatabaseExists}; }
    static void setFlags(bool reachable, bool exists) {
        runState().ServerReachable = reachable;
        runState().DatabaseExists = exists;
    }

    static test::StandinServer& server() { return db().server(); }

    platform::ScriptedEchoTransport echoes;
    platform::ScopedOverride<platform::EchoTransport> scopedEchoes{echoes};
    RecordingUiHost ui;
    platform::ScopedOverride<UiHost> scopedUi{ui};
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
};

TEST_F(CheckServer, FindsTheServerAndItsDatabase) {
    CheckServerConnection(true);
    EXPECT_EQ(flags(), std::make_pair(true, true));
    EXPECT_EQ(ui.calls, (Strings{kConnecting, kChecking, "events"}));
    EXPECT_TRUE(messages.shown.empty());
    // The port is not part of the pinged address; the name keeps it.
    ASSERT_EQ(echoes.requests.size(), 1u);
    EXPECT_EQ(echoes.requests[0].address, 0x7F000001u);
    EXPECT_EQ(settings().ServerName, server().serverName());
}

TEST_F(CheckServer, ComparesTheDatabaseNameAsTheServerDoes) {
    settings().DatabaseName = "tovixHR";
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, true));
    EXPECT_EQ(ui.calls, (Strings{"events"}));
}

TEST_F(CheckServer, ReportsAMissingDatabase) {
    for (const char* name : {"NoSuchDatabase", "", "TovixHR2"}) {
        setFlags(false, true);
        settings().DatabaseName = name;
        CheckServerConnection(true);
        EXPECT_EQ(flags(), std::make_pair(true, false)) << name;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CheckServer, KeepsAQuoteInTheDatabaseNameInsideTheLiteral) {
    EXPECT_EQ(databaseExistsQuery("O'Brien"), "SELECT Name FROM SysDatabases WHERE Name = N'O''Brien'");
    settings().DatabaseName = "O'Brien";
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, true));
    // Taken as it stands, this name would make the query list every database.
    settings().DatabaseName = "x' OR '1'='1";
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, false));
    settings().DatabaseName = "'";
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, false));
}

TEST_F(CheckServer, AFailedProbeClearsBothFlags) {
    setFlags(true, true);
    settings().UserPassword = "wrong";
    CheckServerConnection(true);
    EXPECT_EQ(flags(), std::make_pair(false, false));
    EXPECT_EQ(ui.calls, (Strings{kConnecting, "events"}));
    EXPECT_TRUE(messages.shown.empty());

    setFlags(true, true);
    settings().UserPassword = "Secret#1";
    settings().ServerName = "127.0.0.1," + std::to_string(test::closedLoopbackPort());
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(false, false));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CheckServer, AFailedPingShowsTheNetworkMessageAndClearsBothFlags) {
    echoes.script = {platform::scriptedSilence()};
    // Whatever the previous check found, no success of it may stand.
    for (auto [reachable, exists] : {std::pair{true, true}, {true, false}, {false, true}}) {
        setFlags(reachable, exists);
        CheckServerConnection(true);
        EXPECT_EQ(flags(), std::make_pair(false, false));
    }
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, kNetworkMessage);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].title, "Dovrel");
    // No events are processed after a failed ping.
    EXPECT_EQ(ui.calls, (Strings{kConnecting, kConnecting, kConnecting}));
}

TEST_F(CheckServer, GoesStraightToTheConnectionWhereNoEchoMayBeSent) {
    echoes.isAvailable = false;
    echoes.script = {platform::scriptedSilence()};
    CheckServerConnection(false);
    EXPECT_EQ(flags(), std::make_pair(true, true));
    EXPECT_TRUE(echoes.requests.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CheckServer, RemovesNulCharactersFromTheServerName) {
    const std::string name = settings().ServerName;
    settings().ServerName = name + std::string(2, '\0');
    CheckServerConnection(false);
    EXPECT_EQ(settings().ServerName, name);
    EXPECT_EQ(flags(), std::make_pair(true, true));
}

// Marks every converted text.
struct MarkingConverter : platform::TextConverter {
    std::optional<std::string> convert(const std::string& text) override { return "[" + text + "]"; }
};

TEST_F(CheckServer, ConvertsItsTextsForTraditionalDisplay) {
    MarkingConverter converter;
    auto* previous = platform::seam<platform::TextConverter>().install(&converter);
    runState().UseBig5Conversion = 1;
    CheckServerConnection(true);
    echoes.script = {platform::scriptedSilence()};
    CheckServerConnection(true);
    platform::seam<platform::TextConverter>().install(previous);

    EXPECT_EQ(ui.calls, (Strings{"progress:[正在连接服务器...]", "progress:[正在检查数据服务器上的数据库...]", "events",
                                 "progress:[正在连接服务器...]"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "[网络不通，请检查网络设置！]");
}

}  // namespace
}  // namespace dovrel
