// dovrelctl databases and connection-string with stored settings, against
// the stand-in server.
#include <gtest/gtest.h>

#include "support/closed_port.h"
#include "run_process.h"
#include "support/scoped_settings_file.h"
#include "support/standin_server.h"

namespace dovrel {
namespace {

using test::runDovrelctl;

void store(const std::string& server, const std::string& password) {
    const auto r =
        runDovrelctl({"set", "--server", server, "--database", "Zeta", "--user", "sa", "--password", password});
    ASSERT_EQ(r.exitCode, 0) << r.err;
}

TEST(CtlDatabases, ListsInNameOrderOrFailsClearly) {
    test::StandinServer server;
    ASSERT_TRUE(server.start()) << server.lastError();
    for (const char* name : {"Zeta", "alpha", "Mid"})
        ASSERT_TRUE(server.runSql(std::string("create database ") + name).ok());
    test::ScopedSettingsFile settings;

    store(server.serverName(), "Secret#1");
    auto r = runDovrelctl({"databases"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The server lists its system databases too, as SQL Server does.
    EXPECT_EQ(r.out, "alpha\nmaster\nMid\nmodel\nmsdb\ntempdb\nZeta\n");

    store(server.serverName(), "wrong");
    r = runDovrelctl({"databases"});
    EXPECT_EQ(r.exitCode, 3) << "a refused login";
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("SQLSTATE"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("18456"), std::string::npos) << r.err;

    store("127.0.0.1," + std::to_string(test::closedLoopbackPort()), "Secret#1");
    r = runDovrelctl({"databases"});
    EXPECT_EQ(r.exitCode, 3) << "no server";
    EXPECT_NE(r.err.find("SQLSTATE 08"), std::string::npos) << r.err;
}

TEST(CtlConnectionString, MasksThePasswordUnlessRevealed) {
    test::ScopedSettingsFile settings;
    store("10.1.2.3", "p;w");
    auto r = runDovrelctl({"connection-string"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "provider = sqloledb;data source=10.1.2.3;initial catalog= Master;user id =sa;Password= ********;\n");
    r = runDovrelctl({"connection-string", "--database", "--reveal"});
    EXPECT_EQ(r.out, "provider = sqloledb;data source=10.1.2.3;initial catalog=Zeta;user id =sa;Password= \"p;w\";\n");
}

}  // namespace
}  // namespace dovrel
