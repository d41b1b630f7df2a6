// dovrelctl check against the stand-in server on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "run_process.h"
#include "support/closed_port.h"
#include "support/scoped_settings_file.h"
#include "support/standin_server.h"
#include "support/temp_files.h"

using namespace dovrel;
using test::runDovrelctl;

namespace {

// Simplified Chinese, so the words are the diagnosis's own.
const std::vector<std::string> kChinaLocale{"LC_ALL=zh_CN.UTF-8"};

void storeSettings(const std::string& server, const std::string& database) {
    const auto r =
        runDovrelctl({"set", "--server", server, "--database", database, "--user", "sa", "--password", "Secret#1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
}

}  // namespace

TEST(CtlCheck, ReportsServerAndDatabaseFoundAndChangesNoSetting) {
    test::StandinServer server;
    ASSERT_TRUE(server.start()) << server.lastError();
    ASSERT_TRUE(server.runSql("CREATE DATABASE TovixHR").ok());
    test::ScopedSettingsFile store;
    storeSettings(server.serverName(), "TovixHR");
    const std::string before = store.contents();

    const auto r = runDovrelctl({"check"}, kChinaLocale);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "连接数据服务器<" + server.serverName() + ">： 成功！\n连接数据库<TovixHR>： 成功！\n");
    EXPECT_EQ(store.contents(), before);
}

TEST(CtlCheck, ExplainsAMissingDatabaseAndFails) {
    test::StandinServer server;
    ASSERT_TRUE(server.start()) << server.lastError();
    test::ScopedSettingsFile store;
    storeSettings(server.serverName(), "Payroll");

    const auto r = runDovrelctl({"check"}, kChinaLocale);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "连接数据服务器<" + server.serverName() +
                         ">： 成功！\n"
                         "连接数据库<Payroll>： 失败！\n"
                         "\n"
                         "请检查以下可能的失败原因或重新设置：\n"
                         "    服务器上数据库：Payroll不存在，您可通过[创建数据库]按钮进行创建！\n");
}

TEST(CtlCheck, ListsTheCausesWhenNoServerAnswers) {
    test::ScopedSettingsFile store;
    const std::string server = "127.0.0.1," + std::to_string(test::closedLoopbackPort());
    storeSettings(server, "TovixHR");

    const auto r = runDovrelctl({"check"}, kChinaLocale);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "连接数据服务器<" + server +
                         ">： 失败！\n"
                         "连接数据库<TovixHR>： 失败！\n"
                         "\n"
                         "请检查以下可能的失败原因或重新设置：\n"
                         "    服务器是否在线；\n"
                         "    服务器上的SQL SERVER服务是否启动；\n"
                         "    用户和密码是否输入正确；\n");
}

TEST(CtlCheck, NoSettingOrConnectionStringLoadsALibrary) {
    // The library under a name without a dot, so that no server name below
    // gives an address to ping and every one goes on to connect.
    const test::TempFolder folder;
    const std::string library = folder.path("marker");
    std::filesystem::copy_file(MARKER_LIBRARY_PATH, library);
    const std::string marker = folder.path("loaded");
    const std::vector<std::string> env{"DOVREL_MARKER_FILE=" + marker};
    const std::string closed = "127.0.0.1," + std::to_string(test::closedLoopbackPort());

    for (const std::vector<std::string>& set :
         std::vector<std::vector<std::string>>{{"--server", "localhost;Driver=" + library},
                                               {"--server", closed, "--password", "x;Driver=" + library},
                                               {"--server", closed, "--user", "sa;Driver=" + library},
                                               {"--server", closed, "--database", "HR;FileDSN=" + library}}) {
        SCOPED_TRACE(set[1] + " " + set.back());
        test::ScopedSettingsFile store;
        std::vector<std::string> args{"set"};
        args.insert(args.end(), set.begin(), set.end());
        ASSERT_EQ(runDovrelctl(args).exitCode, 0);
        for (const char* command : {"check", "databases"}) EXPECT_NE(runDovrelctl({command}, env).exitCode, 0);
        EXPECT_FALSE(std::filesystem::exists(marker));
    }
    // Nor does a caller's own string that names a driver.
    test::ScopedSettingsFile store;
    const std::string source = folder.write("rows.txt", "Id\r\n1\r\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"import", source, "T", "--connect", "Driver=" + library + ";Server=127.0.0.1"},
             {"check-file", source, "T", "--connect", "data source=127.0.0.1;SaveFile=" + library}}) {
        SCOPED_TRACE(args[0]);
        runDovrelctl(args, env);
        EXPECT_FALSE(std::filesystem::exists(marker));
    }
}

TEST(CtlCheck, JsonAnswersCarryTheSameFacts) {
    test::StandinServer server;
    ASSERT_TRUE(server.start()) << server.lastError();
    ASSERT_TRUE(server.runSql("CREATE DATABASE TovixHR").ok());
    test::ScopedSettingsFile store;
    storeSettings(server.serverName(), "TovixHR");

    const auto check = runDovrelctl({"check", "--json"}, kChinaLocale);
    EXPECT_EQ(check.exitCode, 0) << check.err;
    const auto checked = nlohmann::json::parse(check.out);
    EXPECT_EQ(checked["server"], server.serverName());
    EXPECT_EQ(checked["reachable"], true);
    EXPECT_EQ(checked["database_exists"], true);
    EXPECT_EQ(checked["diagnosis"][1], "连接数据库<TovixHR>： 成功！");
    EXPECT_GE(checked["elapsed_ms"].get<double>(), 0.0);

    const auto shown = nlohmann::json::parse(runDovrelctl({"show", "--json"}).out);
    EXPECT_EQ(shown["user_password"], "********");
    EXPECT_EQ(nlohmann::json::parse(runDovrelctl({"show", "--json", "--reveal"}).out)["user_password"], "Secret#1");
    const auto listed = nlohmann::json::parse(runDovrelctl({"databases", "--json"}).out);
    EXPECT_NE(std::find(listed["databases"].begin(), listed["databases"].end(), "TovixHR"), listed["databases"].end());

    // A failure answers in JSON as well, with its exit code.
    storeSettings("127.0.0.1," + std::to_string(test::closedLoopbackPort()), "TovixHR");
    const auto failed = runDovrelctl({"databases", "--json"});
    EXPECT_EQ(failed.exitCode, 3);
    EXPECT_EQ(nlohmann::json::parse(failed.out)["exit_code"], 3);
}
