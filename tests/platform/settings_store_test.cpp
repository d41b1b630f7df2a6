// The machine-wide store through ReadSetting / WriteSetting: result codes,
// default write-back, and the file's guarantees (case, any text, atomic
// concurrent writes, a damaged file left alone, access denied).
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/run_state.h"
#include "core/settings.h"
#include "platform/settings_file.h"
#include "core/read_setting.h"
#include "support/child_processes.h"
#include "support/scoped_settings_file.h"

using namespace dovrel;

namespace {
const std::string kKey = kSettingsKey;
}

TEST(SettingsStore, ReadWritesTheDefaultBackWhenMissingOrEmpty) {
    test::ScopedSettingsFile store;
    std::string out = "junk";
    EXPECT_EQ(ReadSetting(kKey, "DataBase", out, "TovixHR"), 0);
    EXPECT_EQ(out, "TovixHR");
    EXPECT_EQ(store.value("DataBase"), "TovixHR") << "default written back";

    EXPECT_EQ(WriteSetting(kKey, "Database", ""), 0);
    EXPECT_EQ(store.value("DATABASE"), "") << "empty value stored, same value by case";
    EXPECT_EQ(ReadSetting(kKey, "DataBase", out, "TovixHR"), 0);
    EXPECT_EQ(out, "TovixHR") << "an empty value behaves as a missing one";

    EXPECT_EQ(WriteSetting(kKey, "User", "x"), 0);
    EXPECT_EQ(ReadSetting(kKey, "User", out, "sa"), 0);
    EXPECT_EQ(out, "x") << "one character is not missing";

    EXPECT_EQ(ReadSetting(kKey, "FirstServer", out, ""), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(store.value("FirstServer"), "") << "an empty default is written as an empty value";

    EXPECT_EQ(WriteSetting(kKey, "Password", std::string("ab\0cd", 5)), 0);
    EXPECT_EQ(ReadSetting(kKey, "Password", out, "d"), 0);
    EXPECT_EQ(out, "ab") << "the text ends at its first NUL";
}

TEST(SettingsStore, EmptyKeyOrNameIs1010AndTouchesNothing) {
    test::ScopedSettingsFile store;
    std::string out = "junk";
    EXPECT_EQ(ReadSetting("", "User", out, "sa"), 1010);
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadSetting(kKey, "", out, "sa"), 1010);
    EXPECT_EQ(WriteSetting("", "User", "sa"), 1010);
    EXPECT_EQ(WriteSetting(kKey, "", "sa"), 1010);
    EXPECT_FALSE(std::filesystem::exists(store.path()));
}

TEST(SettingsStore, AnyTextReadsBackUnchanged) {
    test::ScopedSettingsFile store;
    for (const std::string text : {"数据库 TovixHR", "  both ends  ", "a=b;c", "\"quoted\" 'single'",
                                   "two\r\nlines", "tab\there", "back\\slash", "[x]", "; y"}) {
        ASSERT_EQ(WriteSetting(kKey, "ServerName", text), 0);
        std::string out;
        ASSERT_EQ(ReadSetting(kKey, "servername", out, "default"), 0);
        EXPECT_EQ(out, text);
    }
}

TEST(SettingsStore, DamagedFileIsReportedAndNeverRewritten) {
    test::ScopedSettingsFile store;
    for (const std::string& damaged : {std::string("[SoftWare\\Tovix\\HR]\n\"User\"=\"unterminated\n"),
                                      std::string("\x00\x01\x02 garbage \xFF", 12),
                                      std::string("[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"P")}) {
        store.setContents(damaged);
        std::string out = "junk";
        EXPECT_EQ(ReadSetting(kKey, "ServerName", out, "PC1"), 1009);
        EXPECT_EQ(out, "");
        EXPECT_EQ(WriteSetting(kKey, "ServerName", "PC2"), 1009);
        EXPECT_EQ(store.contents(), damaged) << "left byte for byte as it was";
    }
}

TEST(SettingsStore, WritesKeepTheSpellingFirstWrittenAndOtherKeys) {
    test::ScopedSettingsFile store;
    store.setContents("; kept as data\n[Other\\Key]\n\"Keep\"=\"me\"\n[SoftWare\\Tovix\\HR]\n\"DataBase\"=\"A\"\n");
    ASSERT_EQ(WriteSetting(kKey, "Database", "B"), 0);
    const std::string text = store.contents();
    EXPECT_NE(text.find("\"DataBase\"=\"B\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"Keep\"=\"me\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"Database\""), std::string::npos) << text;
}

namespace {

// Runs `body` in a child process and returns its exit status.
template <typename F>
int inChild(F body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SettingsStore, ConcurrentWritersLoseNoUpdate) {
    test::ScopedSettingsFile store;
    constexpr int kProcesses = 8;
    constexpr int kWrites = 60;
    EXPECT_TRUE(test::runInChildren(kProcesses, [&](int p) {
        platform::FileSettingsBackend backend(store.path());
        platform::setMachineSettings(&backend);
        int failures = 0;
        for (int i = 0; i < kWrites; ++i)
            failures += WriteSetting(kKey, "Writer" + std::to_string(p), "value " + std::to_string(i)) != 0;
        return failures ? 1 : 0;
    }));
    for (int p = 0; p < kProcesses; ++p)
        EXPECT_EQ(store.value("Writer" + std::to_string(p)), "value " + std::to_string(kWrites - 1));
}

TEST(SettingsStore, NoPermissionIsAccessDenied) {
    test::ScopedSettingsFile store;
    ASSERT_EQ(WriteSetting(kKey, "ServerName", "PC1"), 0);
    const std::string before = store.contents();
    chmod(store.folder().c_str(), 0555);
    chmod(store.path().c_str(), 0444);
    // As root the permission bits are not enforced: write as an ordinary user.
    int code = inChild([&] {
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) return 99;
        }
        return static_cast<int>(WriteSetting(kKey, "ServerName", "PC2"));
    });
    chmod(store.folder().c_str(), 0755);
    ASSERT_NE(code, 99) << "could not become an ordinary user";
    EXPECT_EQ(code, 5);
    EXPECT_EQ(store.contents(), before);
}
