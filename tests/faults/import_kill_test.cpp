// The database server dies in the middle of an import: killed with SIGKILL
// at a random moment of a 10,000-row load, twenty times. Every time the
// import must report a failure, and after the server comes back the table
// must hold exactly what it held before.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <random>
#include <thread>

#include "exchange/exchange.h"
#include "platform/messages.h"
#include "support/standin_database.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using namespace std::chrono_literals;

constexpr int kRows = 10000;
constexpr int kRounds = 20;
const char* const kContents = "Select Id, Name, Amount, Born From Target Order By Id";

// Stops the import at the chosen batch event until the server has been
// killed. The events come on the import's own thread, before the batch they
// announce is sent; every later event waits for the kill too, so that the
// kill always lands before the commit, which follows the last batch.
class KillSwitch : public ExchangeEvents {
public:
    explicit KillSwitch(int32_t killAt) : killAt_(killAt) {}

    void AfterImportARow(int32_t, int32_t CurrentRow) override {
        std::unique_lock lock(mutex_);
        if (CurrentRow == killAt_) {
            reached_ = true;
            changed_.notify_all();
        } else if (CurrentRow > killAt_) {
            changed_.wait_for(lock, 30s, [this] { return killed_; });
        }
    }
    // True when the import reached the chosen event within `limit`.
    bool waitUntilReached(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return reached_; });
    }
    void markKilled() {
        std::lock_guard lock(mutex_);
        killed_ = true;
        changed_.notify_all();
    }

private:
    const int32_t killAt_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false;
    bool killed_ = false;
};

std::string sourceFile(const test::TempFolder& folder) {
    std::string text = "Id\tName\tAmount\tBorn\r\n";
    text.reserve(kRows * 48);
    for (int i = 1; i <= kRows; ++i)
        text += std::to_string(1000 + i) + "\tImported " + std::to_string(i) + "\t" + std::to_string(i % 997) +
                ".25\t2001-02-" + std::to_string(1 + i % 28) + " 08:30\r\n";
    return folder.write("load.txt", text);
}

TEST(ImportKill, AServerKilledMidImportKeepsTheTableAsItWas) {
    test::StandinDatabase db("Faults");
    ASSERT_TRUE(db.start()) << db.error();
    std::string setup =
        "Create Table Target (Id int primary key, Name nvarchar(40) not null, "
        "Amount decimal(10,2) null, Born datetime null)";
    for (int i = 1; i <= 50; ++i)
        setup += "\ngo\nInsert Into Target Values (" + std::to_string(i) + ", N'Kept " + std::to_string(i) + "', " +
                 (i % 5 ? std::to_string(i) + ".5" : "null") + ", '1999-12-" + std::to_string(1 + i % 28) + "')";
    ASSERT_TRUE(db.sql(setup)) << db.error();
    const std::string before = db.rows(kContents);
    ASSERT_EQ(std::count(before.begin(), before.end(), '\n'), 50) << before;

    test::TempFolder folder;
    const std::string file = sourceFile(folder);
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages(messages);
    std::mt19937 random(20260314);

    for (int round = 0; round < kRounds; ++round) {
        const int32_t killAt = static_cast<int32_t>(100 * (1 + random() % 99));  // 100 .. 9,900
        // Up to a little more than one batch takes (about 10 ms here): the
        // kill falls before, while or after the announced batch is run.
        const auto delay = std::chrono::microseconds(random() % 12000);
        SCOPED_TRACE("round " + std::to_string(round) + ", kill after row " + std::to_string(killAt) + " + " +
                     std::to_string(delay.count()) + " us");

        KillSwitch killSwitch(killAt);
        Exchange exchange;
        exchange.SetEvents(&killSwitch);
        const std::string connectStr = db.connectStr();
        auto import = std::async(std::launch::async, [&] {
            return exchange.ImportTable(file, "Target", ImportOptions{.ConnectStr = connectStr});
        });
        // Until the chosen event, or the import's end should it fail before.
        bool reached = false;
        for (int waited = 0; !reached && waited < 1200; ++waited) {
            reached = killSwitch.waitUntilReached(100ms);
            if (!reached && import.wait_for(0s) == std::future_status::ready) break;
        }
        if (reached) std::this_thread::sleep_for(delay);
        db.server().kill();
        killSwitch.markKilled();

        // A killed server closes its sockets: the driver's calls fail at
        // once instead of waiting for the 30-second command time-out.
        if (import.wait_for(25s) != std::future_status::ready) {
            ADD_FAILURE() << "the import did not return after the server was killed";
            std::abort();  // the import thread cannot be taken back; do not hang the run
        }
        const std::string result = import.get();
        EXPECT_TRUE(reached) << "the import ended before the chosen batch: " << result;
        EXPECT_FALSE(result.empty()) << "a load cut short by a dead server was reported as success";

        ASSERT_TRUE(db.server().restart()) << db.server().lastError();
        EXPECT_EQ(db.rows(kContents), before);
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace dovrel
