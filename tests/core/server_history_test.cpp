// The server history after a listing, and its round trip through the
// settings store.
#include <gtest/gtest.h>

#include "core/server_history.h"
#include "support/scoped_settings_file.h"

namespace dovrel {
namespace {

TEST(ServerHistory, PreviousServerMovesBehindTheCurrentOne) {
    EXPECT_EQ(nextServerHistory("B", "C", {"A", "B", "C", "D"}), (ServerHistory{"C", "B", "A", "D"}));
    // The candidates stop at four even when the list is longer.
    EXPECT_EQ(nextServerHistory("B", "C", {"A", "B", "C", "D", "E"}), (ServerHistory{"C", "B", "A", "D"}));
}

TEST(ServerHistory, SameServerTakesTheFirstOtherEntries) {
    EXPECT_EQ(nextServerHistory("C", "C", {"A", "B", "C", "D", "E"}), (ServerHistory{"C", "A", "B", "D"}));
    EXPECT_EQ(nextServerHistory("srv", "SRV", {"a", "SRV", "b"}), (ServerHistory{"SRV", "a", "b", ""}));
    EXPECT_EQ(nextServerHistory("X", "X", {}), (ServerHistory{"X", "", "", ""}));
}

TEST(ServerHistory, FirstRunAndCaseRules) {
    EXPECT_EQ(nextServerHistory("PC1", "SRV", {}), (ServerHistory{"SRV", "PC1", "", ""}));
    // Entries that differ from a taken one only in case are skipped.
    EXPECT_EQ(nextServerHistory("pc1", "SRV", {"srv", "PC1", "a", "A", "b"}), (ServerHistory{"SRV", "pc1", "a", "b"}));
    // Duplicates in the list are taken once.
    EXPECT_EQ(nextServerHistory("S", "S", {"a", "a", "b", "b", "c"}), (ServerHistory{"S", "a", "b", "c"}));
    // An empty previous server leaves the second slot to the list.
    EXPECT_EQ(nextServerHistory("", "S", {"a"}), (ServerHistory{"S", "a", "", ""}));
}

TEST(ServerHistory, WrittenAndReadInOrder) {
    test::ScopedSettingsFile store;
    EXPECT_EQ(ReadServerHistory(), (ServerHistory{"", "", "", ""}));
    EXPECT_EQ(WriteServerHistory({"C", "B", "", "D"}), 0);
    EXPECT_EQ(ReadServerHistory(), (ServerHistory{"C", "B", "", "D"}));
}

}  // namespace
}  // namespace dovrel
