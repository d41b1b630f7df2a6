// Font choice and display-text conversion by the OEM code page.
#include <gtest/gtest.h>

#include "core/localize.h"
#include "core/run_state.h"
#include "platform/codepage.h"
#include "platform/text_converter.h"
#include "core/ui_font.h"

using namespace dovrel;

namespace {

struct FailingConverter : platform::TextConverter {
    std::optional<std::string> convert(const std::string&) override {
        ++calls;
        return std::nullopt;
    }
    int calls = 0;
};

class Localize : public ::testing::Test {
protected:
    void TearDown() override {
        platform::overrideCodePages(std::nullopt);
        resetRunState();
    }
};

}  // namespace

TEST_F(Localize, CodePage936KeepsSimplifiedTextAndNeverCallsTheConverter) {
    platform::overrideCodePages(platform::CodePages{936, 936});
    SelectUiFont();
    EXPECT_EQ(runState().UseBig5Conversion, 0);
    EXPECT_EQ(runState().UiFontName, "宋体");
    FailingConverter converter;
    auto* previous = platform::seam<platform::TextConverter>().install(&converter);
    EXPECT_EQ(LocalizeText("数据库连接设置"), "数据库连接设置");
    EXPECT_EQ(converter.calls, 0);
    platform::seam<platform::TextConverter>().install(previous);
}

TEST_F(Localize, OtherCodePagesConvertToTraditional) {
    for (int oem : {950, 437}) {
        platform::overrideCodePages(platform::CodePages{oem == 950 ? 950 : 1252, oem});
        SelectUiFont();
        EXPECT_EQ(runState().UseBig5Conversion, 1);
        EXPECT_EQ(runState().UiFontName, "新細明體");
        EXPECT_EQ(LocalizeText("数据库连接设置"), "數據庫連接設置");
        EXPECT_EQ(LocalizeText("网络不通，请检查网络设置！"), "網絡不通，請檢查網絡設置！");
        EXPECT_EQ(LocalizeText("System Error!(5)"), "System Error!(5)");
        EXPECT_EQ(LocalizeText(""), "");
        // The forms that Big5 machines use, where the general Traditional forms differ.
        EXPECT_EQ(LocalizeText("为启动"), "為啟動");
        // Bytes that are no UTF-8 never reach the converter.
        EXPECT_EQ(LocalizeText("abc\xE4"), "abc\xE4");
    }
}

TEST_F(Localize, AFailingConverterLeavesTheTextUnchanged) {
    runState().UseBig5Conversion = 1;
    FailingConverter converter;
    auto* previous = platform::seam<platform::TextConverter>().install(&converter);
    EXPECT_EQ(LocalizeText("正在连接服务器..."), "正在连接服务器...");
    EXPECT_EQ(converter.calls, 1);
    platform::seam<platform::TextConverter>().install(previous);
}
