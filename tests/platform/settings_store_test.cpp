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
#include "core/settings_schema.h"

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
    for (const std::string text : {"数据库 TovixHR", "  both ends  ", "a=b;c", "\"quoted\" 'single'", "two\r\nlines",
                                   "tab\there", "back\\slash", "[x]", "; y"}) {
        ASSERT_EQ(WriteSetting(kKey, "ServerName", text), 0);
        std::string out;
        ASSERT_EQ(ReadSetting(kKey, "servername", out, "default"), 0);
        EXPECT_EQ(out, text);
    }
}

TEST(SettingsStore, DamagedFileIsReportedAndNeverRewritten) {
    test::ScopedSettingsFile store;
    EXPECT_EQ(platform::machineSettings().problem(), std::nullopt) << "a store not written yet is no problem";
    for (const std::string& damaged :
         {std::string("[SoftWare\\Tovix\\HR]\n\"User\"=\"unterminated\n"), std::string("\x00\x01\x02 garbage \xFF", 12),
          std::string("[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"P")}) {
        store.setContents(damaged);
        std::string out = "junk";
        EXPECT_EQ(ReadSetting(kKey, "ServerName", out, "PC1"), 1009);
        EXPECT_EQ(out, "");
        EXPECT_EQ(WriteSetting(kKey, "ServerName", "PC2"), 1009);
        EXPECT_EQ(store.contents(), damaged) << "left byte for byte as it was";
        const auto problem = platform::machineSettings().problem();
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(store.path()), std::string::npos) << *problem;
        EXPECT_NE(problem->find(" line "), std::string::npos) << *problem;
    }
    // Bytes that are no text are refused, not stored changed.
    store.setContents("");
    EXPECT_EQ(WriteSetting(kKey, "ServerName", "PC\xE4"), 87);
    EXPECT_EQ(store.contents(), "");
}

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

}  // namespace

TEST(SettingsStore, AWriteKeepsTheFilesProtection) {
    test::ScopedSettingsFile store;
    const mode_t oldMask = ::umask(022);
    // A new store is its owner's alone; in the administrators' folder (set-group-ID) the group may read it.
    ASSERT_EQ(WriteSetting(kKey, "ServerName", "PC1"), 0);
    EXPECT_EQ(modeOf(store.path()), 0600u);
    for (const mode_t mode : {0600u, 0640u, 0660u, 0644u}) {
        SCOPED_TRACE(mode);
        ::chmod(store.path().c_str(), mode);
        ASSERT_EQ(WriteSetting(kKey, "ServerName", "PC" + std::to_string(mode)), 0);
        EXPECT_EQ(modeOf(store.path()), mode);
    }
    if (geteuid() == 0) {  // owner and group: only root may hand them to the new file
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(store.path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(WriteSetting(kKey, "ServerName", "PC2"), 0);
        struct stat st {};
        ASSERT_EQ(::stat(store.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, nobody->pw_uid);
        EXPECT_EQ(st.st_gid, nobody->pw_gid);
    }
    const std::string admins = store.folder() + "/admins";
    std::filesystem::create_directory(admins);
    ::chmod(admins.c_str(), 02770);
    platform::FileSettingsBackend shared(admins + "/registry");
    ASSERT_EQ(shared.setValue(kKey, "ServerName", "PC1"), 0);
    EXPECT_EQ(modeOf(admins + "/registry"), 0640u);
    ::umask(oldMask);
}

TEST(SettingsStore, ALinkedStoreIsWrittenThroughItsTarget) {
    test::ScopedSettingsFile store;
    const std::string managed = store.folder() + "/managed";
    std::filesystem::create_directory(managed);
    const std::string target = managed + "/registry";
    std::filesystem::create_symlink("managed/registry", store.path());  // relative, as administrators make them
    ASSERT_EQ(WriteSetting(kKey, "ServerName", "PC1"), 0);
    ASSERT_EQ(WriteSetting(kKey, "Database", "HR"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(store.path()));
    std::optional<std::string> atTarget;
    EXPECT_EQ(platform::FileSettingsBackend(target).queryValue(kKey, "Database", atTarget), 0);
    EXPECT_EQ(atTarget, "HR");
    EXPECT_EQ(store.value("ServerName"), "PC1");
    std::size_t inStoreFolder = 0;
    for (const auto& entry : std::filesystem::directory_iterator(store.folder()))
        inStoreFolder += entry.is_regular_file() && !entry.is_symlink();
    EXPECT_EQ(inStoreFolder, 0u) << "temporary and lock files belong beside the target";
    // A loop of links is an error, not a hang or a file written elsewhere.
    std::filesystem::remove(store.path());
    std::filesystem::create_symlink("loop", store.path());
    std::filesystem::create_symlink("registry", store.folder() + "/loop");
    EXPECT_NE(WriteSetting(kKey, "ServerName", "PC2"), 0);
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
        platform::seam<platform::SettingsBackend>().install(&backend);
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
