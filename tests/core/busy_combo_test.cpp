// The busy indicator over the UI host, and the matching rule of
// SetComboValue with its failure message.
#include <gtest/gtest.h>

#include "core/busy.h"
#include "core/combo_select.h"
#include "core/run_state.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/text_converter.h"
#include "platform/ui_host.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

// Marks every converted text so that a test sees which texts passed
// through the display-text conversion.
class MarkingConverter : public platform::TextConverter {
public:
    std::optional<std::string> convert(const std::string& text) override { return "[" + text + "]"; }
};

class BusyTest : public ::testing::Test {
protected:
    void SetUp() override { resetRunState(); }
    void TearDown() override { resetRunState(); }
    RecordingUiHost host;
    platform::ScopedOverride<UiHost> scoped{host};
};

TEST_F(BusyTest, BeginAndEndSetPointerAndPanelText) {
    BeginBusy();
    BeginBusy("导入中");
    EXPECT_TRUE(host.busyPointer);
    EndBusy();
    EXPECT_FALSE(host.busyPointer);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"busy:1", "status:正在处理数据,请等候...", "busy:1",
                                                    "status:导入中", "busy:0", "status:就绪..."}));
}

TEST_F(BusyTest, EndWithoutBeginStillSetsReady) {
    EndBusy();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"busy:0", "status:就绪..."}));
}

TEST_F(BusyTest, StatusTextsPassThroughLocalizeText) {
    MarkingConverter converter;
    platform::seam<platform::TextConverter>().install(&converter);
    runState().UseBig5Conversion = 1;
    BeginBusy();
    EndBusy();
    platform::seam<platform::TextConverter>().install(nullptr);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"busy:1", "status:[正在处理数据,请等候...]", "busy:0", "status:[就绪...]"}));
}

std::vector<ComboItem> items(std::initializer_list<ComboItem> list) { return list; }

TEST(ComboSelect, TrimmedTextMode) {
    const auto list = items({{"PC1", 0}, {"Srv-A", 0}, {"srv-a", 0}});
    EXPECT_EQ(matchingComboIndex(list, std::string("  SRV-A "), combo_mode::TrimmedText, "-"), 1);
    EXPECT_EQ(matchingComboIndex(items({{" Alpha  ", 0}}), std::string("alpha"), combo_mode::TrimmedText, ""), 0);
    EXPECT_EQ(matchingComboIndex(list, std::string("srv"), combo_mode::TrimmedText, "-"), -1);
    EXPECT_EQ(matchingComboIndex({}, std::string("x"), combo_mode::TrimmedText, "-"), -1);
    // Case is ignored beyond ASCII too.
    EXPECT_EQ(matchingComboIndex(items({{"ÄRGER", 0}, {"ΣΩ", 0}}), std::string("σω"), combo_mode::TrimmedText, ""), 1);
    // A number value compares as its decimal text.
    EXPECT_EQ(matchingComboIndex(items({{"10", 0}, {"12", 0}}), int64_t{12}, combo_mode::TrimmedText, ""), 1);
}

TEST(ComboSelect, ItemDataMode) {
    const auto list = items({{"a", 7}, {"b", -3}, {"c", -3}});
    EXPECT_EQ(matchingComboIndex(list, int64_t{-3}, combo_mode::ItemData, ""), 1);
    EXPECT_EQ(matchingComboIndex(list, std::string(" 7 "), combo_mode::ItemData, ""), 0);
    EXPECT_EQ(matchingComboIndex(list, int64_t{8}, combo_mode::ItemData, ""), -1);
    EXPECT_THROW(matchingComboIndex(list, std::string("seven"), combo_mode::ItemData, ""), RuntimeError);
}

TEST(ComboSelect, PrefixMode) {
    const auto list = items({{"Tovix", 0}, {"TovixHR", 0}, {"人事库", 0}});
    EXPECT_EQ(matchingComboIndex(list, std::string("tovixh"), combo_mode::TextPrefix, ""), 1);
    EXPECT_EQ(matchingComboIndex(list, std::string("TOVIX"), combo_mode::TextPrefix, ""), 0);
    EXPECT_EQ(matchingComboIndex(list, std::string(""), combo_mode::TextPrefix, ""), 0);
    EXPECT_EQ(matchingComboIndex(list, std::string("人事"), combo_mode::TextPrefix, ""), 2);
    // The prefix is not trimmed, and an item shorter than the value fails.
    EXPECT_EQ(matchingComboIndex(list, std::string(" Tovix"), combo_mode::TextPrefix, ""), -1);
    EXPECT_EQ(matchingComboIndex(list, std::string("TovixHRX"), combo_mode::TextPrefix, ""), -1);
}

TEST(ComboSelect, SeparatorModeSkipsItemsWithoutSeparator) {
    const auto list = items({{"plain", 0}, {"01-Head office", 0}, {"02-Branch-East", 0}});
    EXPECT_EQ(matchingComboIndex(list, std::string("02"), combo_mode::BeforeSeparator, "-"), 2);
    EXPECT_EQ(matchingComboIndex(list, std::string("plain"), combo_mode::BeforeSeparator, "-"), -1);
    EXPECT_EQ(matchingComboIndex(list, std::string("02-Branch"), combo_mode::BeforeSeparator, "-"), -1);
    EXPECT_EQ(matchingComboIndex(list, std::string("01 "), combo_mode::BeforeSeparator, "-"), -1);
}

TEST(ComboSelect, UnknownModeMatchesNothing) {
    const auto list = items({{"a", 1}});
    EXPECT_EQ(matchingComboIndex(list, std::string("a"), 0, ""), -1);
    EXPECT_EQ(matchingComboIndex(list, std::string("a"), 5, ""), -1);
}

TEST(ComboSelect, FailureShowsSystemErrorMessage) {
    RecordingMessageSink sink;
    platform::ScopedOverride<MessageSink> scoped(sink);
    EXPECT_EQ(SetComboValueIndex(items({{"x", 1}}), std::string("x"), combo_mode::ItemData, ""), -1);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "System Error on Model\" SetComboValue  \"13" + errorDescription(13));
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(sink.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(sink.shown[0].title, "Dovrel");
    // A mode-4 item without the separator is no failure.
    EXPECT_EQ(SetComboValueIndex(items({{"x", 1}, {"y-z", 2}}), std::string("y"), combo_mode::BeforeSeparator, "-"), 1);
    EXPECT_EQ(sink.shown.size(), 1u);
}

TEST(ComboSelect, TextHelpers) {
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_TRUE(equalsIgnoreCase("Srv\\Inst", "SRV\\inst"));
    EXPECT_TRUE(equalsIgnoreCase("ＡＢ", "ａｂ"));
    EXPECT_FALSE(equalsIgnoreCase("ab", "abc"));
}

}  // namespace
}  // namespace dovrel
