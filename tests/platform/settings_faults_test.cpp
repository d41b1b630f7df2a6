// The settings store under stress: many writers at once, writers killed
// mid-write, damaged files. Loops are bounded and stop by themselves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "platform/settings_document.h"
#include "platform/settings_file.h"
#include "support/child_processes.h"
#include "support/scoped_settings_file.h"

using namespace dovrel;

namespace {

const char* const kKey = "SoftWare\\Tovix\\HR";

// Value text number i of a writer: long enough that a write takes a while,
// with characters that need escaping.
std::string textFor(int writer, int i) {
    return "w" + std::to_string(writer) + " #" + std::to_string(i) + " \"中文\"\n" +
           std::string(static_cast<std::size_t>(200 + i % 50), 'x');
}

int numberIn(const std::string& text) {
    const auto hash = text.find('#');
    return hash == std::string::npos ? -1 : std::stoi(text.substr(hash + 1));
}

}  // namespace

TEST(SettingsFaults, EightWritersOfFiveHundredWritesLoseNothing) {
    test::ScopedSettingsFile store;
    constexpr int kWriters = 8;
    constexpr int kWrites = 500;
    EXPECT_TRUE(test::runInChildren(kWriters, [&](int w) {
        platform::FileSettingsBackend backend(store.path());
        int failures = 0;
        for (int i = 0; i < kWrites; ++i) {
            failures += backend.setValue(kKey, "Writer" + std::to_string(w), textFor(w, i)) != 0;
            if (i % 10 == 9) failures += backend.setValue(kKey, "Shared", textFor(w, i)) != 0;
        }
        return failures ? 1 : 0;
    }));
    for (int w = 0; w < kWriters; ++w) EXPECT_EQ(store.value("Writer" + std::to_string(w)), textFor(w, kWrites - 1));
    const auto shared = store.value("Shared");
    ASSERT_TRUE(shared);
    EXPECT_EQ(numberIn(*shared), kWrites - 1) << "the last write of some writer";
}

TEST(SettingsFaults, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    test::ScopedSettingsFile store;
    std::mt19937 random(20261207);
    int last = -1;
    for (int round = 0; round < 20; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t pid = fork();
        if (pid == 0) {
            platform::FileSettingsBackend backend(store.path());
            for (int i = last + 1;; ++i) {
                backend.setValue(kKey, "Value", textFor(0, i));
                if (i == last + 1 && write(ready[1], "1", 1) != 1) _exit(1);
            }
        }
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the writer made its first write";
        close(ready[0]);
        close(ready[1]);
        // From here the writer is somewhere in its next writes.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        auto doc = platform::SettingsDocument::parse(store.contents());
        ASSERT_TRUE(doc) << "round " << round << ": the file must always parse";
        const auto value = store.value("Value");
        ASSERT_TRUE(value) << "round " << round;
        const int n = numberIn(*value);
        EXPECT_EQ(*value, textFor(0, n)) << "a value is one whole text, never a torn one";
        EXPECT_GT(n, last) << "the first write of the round landed";
        last = n;
    }
    // A later writer tidies up what killed writers left behind.
    ASSERT_EQ(platform::FileSettingsBackend(store.path()).setValue(kKey, "After", "x"), 0);
    for (const auto& entry : std::filesystem::directory_iterator(store.folder()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos) << entry.path();
}

TEST(SettingsFaults, TruncatedOrGarbageFilesAreReportedAndKept) {
    test::ScopedSettingsFile store;
    platform::FileSettingsBackend backend(store.path());
    ASSERT_EQ(backend.setValue(kKey, "ServerName", "PC1 \"quoted\""), 0);
    const std::string good = store.contents();
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string damaged = good.substr(0, random() % good.size());
        if (round % 2) {
            for (int i = 0; i < 8; ++i) damaged += static_cast<char>(random() % 256);
        }
        store.setContents(damaged);
        std::optional<std::string> value;
        const int32_t read = backend.queryValue(kKey, "ServerName", value);
        if (!platform::SettingsDocument::parse(damaged)) {
            EXPECT_EQ(read, platform::code::BadDatabase);
            EXPECT_EQ(backend.setValue(kKey, "ServerName", "PC2"), platform::code::BadDatabase);
            EXPECT_EQ(backend.createKey(kKey), platform::code::BadDatabase);
            EXPECT_EQ(store.contents(), damaged) << "never rewritten";
        }
    }
}
