// dovrelctl's settings commands on a sandbox store.
#include <gtest/gtest.h>

#include "cipher/cipher_text.h"
#include "core/run_state.h"
#include "run_process.h"
#include "support/scoped_settings_file.h"
#include "core/settings_schema.h"

using namespace dovrel;
using test::runDovrelctl;

TEST(CtlSettings, ShowOnAFirstRunReportsTheDefaultsWithEmptyCredentials) {
    test::ScopedSettingsFile store;
    auto r = runDovrelctl({"show"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("DatabaseName: TovixHR\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("UserName: \n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("UserPassword: \n"), std::string::npos) << r.out;
    EXPECT_EQ(store.value("User"), "sa");
    EXPECT_EQ(store.value("DataBase"), "TovixHR");
}

TEST(CtlSettings, SetStoresTrimmedEncryptedCredentialsThatShowDecrypts) {
    test::ScopedSettingsFile store;
    auto r = runDovrelctl(
        {"set", "--server", " 127.0.0.1,1433 ", "--database", " HR ", "--user", " hr ", "--password", " pw; 1 "});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(store.value("ServerName"), "127.0.0.1,1433");
    EXPECT_EQ(store.value("Database"), "HR");
    EXPECT_EQ(CipherText("D", kCipherKey, store.value("User").value_or("")), "hr");
    EXPECT_EQ(CipherText("D", kCipherKey, store.value("Password").value_or("")), " pw; 1 ")
        << "the password is stored as given";

    r = runDovrelctl({"show"});
    EXPECT_NE(r.out.find("UserPassword: ********\n"), std::string::npos) << r.out;
    r = runDovrelctl({"show", "--reveal"});
    EXPECT_NE(r.out.find("UserName: hr\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("UserPassword:  pw; 1 \n"), std::string::npos) << r.out;

    r = runDovrelctl({"set", "--user", "plain", "--plain"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(store.value("User"), "plain");
}

TEST(CtlSettings, SetRefusesACredentialTheCipherCannotRestore) {
    test::ScopedSettingsFile store;
    auto r = runDovrelctl({"set", "--password", "密码"}, {"LC_ALL=zh_CN.UTF-8"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot be stored encrypted"), std::string::npos) << r.err;
    EXPECT_FALSE(store.value("Password")) << "nothing written";
}

TEST(CtlSettings, ADamagedStoreIsNamedAndNothingGoesOnAsIfItWereEmpty) {
    test::ScopedSettingsFile store;
    const std::string damaged = "[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"PC1\"\ngarbage\n";
    store.setContents(damaged);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"show"}, {"connection-string"}, {"check"}, {"databases"}}) {
        SCOPED_TRACE(args[0]);
        const auto r = runDovrelctl(args);
        EXPECT_EQ(r.exitCode, 4);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(store.path()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    }
    const auto r = runDovrelctl({"set", "--server", "PC2"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("ServerName failed (code 1009"), std::string::npos) << r.err;
    EXPECT_EQ(store.contents(), damaged) << "never rewritten";
    // A store that begins with a byte-order mark is no damage.
    store.setContents("\xEF\xBB\xBF[SoftWare\\Tovix\\HR]\r\n\"ServerName\"=\"PC1\"\r\n");
    EXPECT_NE(runDovrelctl({"show"}).out.find("ServerName: PC1\n"), std::string::npos);
}

TEST(CtlSettings, ValuesThatBeginWithADashAndLocaleEncodings) {
    test::ScopedSettingsFile store;
    EXPECT_EQ(runDovrelctl({"set", "--password=-x9", "--user", "sa"}).exitCode, 0);
    EXPECT_EQ(CipherText("D", kCipherKey, store.value("Password").value_or("")), "-x9");
    const auto e = runDovrelctl({"encrypt", "--", "-x9"});
    EXPECT_EQ(runDovrelctl({"decrypt", "--", e.out.substr(0, e.out.size() - 1)}).out, "-x9\n");
    EXPECT_NE(runDovrelctl({"--help"}).out.find("--password=-x9"), std::string::npos);

    // Under a GBK locale arguments come in and text goes out in GBK.
    if (!test::localeInstalled("zh_CN.GBK")) GTEST_SKIP() << "the zh_CN.GBK locale is not generated here";
    const std::vector<std::string> gbk{"LC_ALL=zh_CN.GBK"};
    const std::string name = "\xC8\xCB\xCA\xC2";  // 人事 in GBK
    EXPECT_EQ(runDovrelctl({"set", "--database", name}, gbk).exitCode, 0);
    EXPECT_EQ(store.value("Database"), "人事");
    EXPECT_NE(runDovrelctl({"show"}, gbk).out.find("DatabaseName: " + name + "\n"), std::string::npos);
    EXPECT_EQ(runDovrelctl({"localize", "\xCA\xFD\xBE\xDD"}, gbk).out, "\xCA\xFD\xBE\xDD\n");  // 数据
    // Bytes that are no text of the locale are refused, not passed on.
    const auto bad = runDovrelctl({"localize", "abc\xE4"}, {"LC_ALL=zh_CN.UTF-8"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
}

TEST(CtlSettings, EncryptDecryptAndRawSettings) {
    test::ScopedSettingsFile store;
    auto e = runDovrelctl({"encrypt", "sa"});
    ASSERT_EQ(e.exitCode, 0);
    ASSERT_EQ(e.out.size(), 2u + 4u + 1u) << e.out;
    auto d = runDovrelctl({"decrypt", e.out.substr(0, 6)});
    EXPECT_EQ(d.out, "sa\n");

    EXPECT_EQ(runDovrelctl({"setting", "put", "FirstServer", "SRV1"}).exitCode, 0);
    EXPECT_EQ(runDovrelctl({"setting", "get", "firstserver"}).out, "SRV1\n");
    EXPECT_EQ(runDovrelctl({"setting", "get", "SecondServer"}).out, "\n");
    EXPECT_EQ(store.value("SecondServer"), "") << "a missing value is created empty";
    store.setContents("[broken");
    auto bad = runDovrelctl({"setting", "get", "FirstServer"});
    EXPECT_EQ(bad.exitCode, 4);
    EXPECT_NE(bad.err.find("1009"), std::string::npos);
}

TEST(CtlSettings, LocalizeFollowsTheLocale) {
    auto tw = runDovrelctl({"localize", "数据库连接设置"}, {"LC_ALL=zh_TW.UTF-8"});
    EXPECT_EQ(tw.out, "數據庫連接設置\n");
    auto cn = runDovrelctl({"localize", "数据库连接设置"}, {"LC_ALL=zh_CN.UTF-8"});
    EXPECT_EQ(cn.out, "数据库连接设置\n");
}
