// dovrelctl check against the stand-in server on loopback.
#include <gtest/gtest.h>

#include "run_process.h"
#include "support/closed_port.h"
#include "support/scoped_settings_file.h"
#include "support/standin_server.h"

using namespace dovrel;
using test::runDovrelctl;

namespace {

// Simplified Chinese, so the words are the diagnosis's own.
const std::vector<std::string> kChinaLocale{"LC_ALL=zh_CN.UTF-8"};

void storeSettings(const std::string& server, const std::string& database) {
    const auto r = runDovrelctl({"set", "--server", server, "--database", database, "--user", "sa", "--password",
                                 "Secret#1"});
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
    EXPECT_EQ(r.out, "连接数据服务器<" + server.serverName() + ">： 成功！\n"
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
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "连接数据服务器<" + server + ">： 失败！\n"
                     "连接数据库<TovixHR>： 失败！\n"
                     "\n"
                     "请检查以下可能的失败原因或重新设置：\n"
                     "    服务器是否在线；\n"
                     "    服务器上的SQL SERVER服务是否启动；\n"
                     "    用户和密码是否输入正确；\n");
}
