// The written diagnosis of a connection check, byte for byte.
#include "core/diagnosis.h"

#include <gtest/gtest.h>

#include "core/run_state.h"
#include "platform/text_converter.h"

namespace dovrel {
namespace {

class Diagnosis : public ::testing::Test {
protected:
    void TearDown() override { resetRunState(); }

    static DiagnosisInput input(bool reachable, bool exists) {
        return DiagnosisInput{" 10.1.2.3\\INST ", "TovixHR", "tovixhr2", reachable, exists};
    }
};

TEST_F(Diagnosis, ServerAndDatabaseFoundGiveTwoLines) {
    EXPECT_EQ(BuildDiagnosisText(input(true, true)),
              "连接数据服务器< 10.1.2.3\\INST >： 成功！\r\n"
              "连接数据库<TovixHR>： 成功！");
}

TEST_F(Diagnosis, AMissingDatabaseNamesTheBoxTextAfterTheListing) {
    EXPECT_EQ(BuildDiagnosisText(input(true, false)),
              "连接数据服务器< 10.1.2.3\\INST >： 成功！\r\n"
              "连接数据库<TovixHR>： 失败！\r\n"
              "\r\n"
              "请检查以下可能的失败原因或重新设置：\r\n"
              "    服务器上数据库：tovixhr2不存在，您可通过[创建数据库]按钮进行创建！");
}

TEST_F(Diagnosis, AnUnreachableServerListsTheThreeCauses) {
    const std::string causes =
        "\r\n"
        "\r\n"
        "请检查以下可能的失败原因或重新设置：\r\n"
        "    服务器是否在线；\r\n"
        "    服务器上的SQL SERVER服务是否启动；\r\n"
        "    用户和密码是否输入正确；";
    EXPECT_EQ(BuildDiagnosisText(input(false, true)),
              "连接数据服务器< 10.1.2.3\\INST >： 失败！\r\n"
              "连接数据库<TovixHR>： 成功！" +
                  causes);
    EXPECT_EQ(BuildDiagnosisText(input(false, false)),
              "连接数据服务器< 10.1.2.3\\INST >： 失败！\r\n"
              "连接数据库<TovixHR>： 失败！" +
                  causes);
}

TEST_F(Diagnosis, EmptyBoxesGiveEmptyBrackets) {
    EXPECT_EQ(BuildDiagnosisText(DiagnosisInput{"", "", "", true, false}),
              "连接数据服务器<>： 成功！\r\n"
              "连接数据库<>： 失败！\r\n"
              "\r\n"
              "请检查以下可能的失败原因或重新设置：\r\n"
              "    服务器上数据库：不存在，您可通过[创建数据库]按钮进行创建！");
}

// Marks every text it converts, to show which parts were converted and
// that each fragment went through on its own.
struct MarkingConverter : platform::TextConverter {
    std::optional<std::string> convert(const std::string& text) override { return "[" + text + "]"; }
};

TEST_F(Diagnosis, ConvertsEachChineseFragmentButNotTheBoxTexts) {
    MarkingConverter converter;
    auto* previous = platform::seam<platform::TextConverter>().install(&converter);
    runState().UseBig5Conversion = 1;
    const std::string reachableMissing = BuildDiagnosisText(DiagnosisInput{"SRV", "数据库", "库", true, false});
    const std::string unreachable = BuildDiagnosisText(DiagnosisInput{"SRV", "数据库", "库", false, false});
    platform::seam<platform::TextConverter>().install(previous);

    EXPECT_EQ(reachableMissing,
              "[连接数据服务器]<SRV>[： 成功！]\r\n"
              "[连接数据库]<数据库>[： 失败！]\r\n"
              "\r\n"
              "[请检查以下可能的失败原因或重新设置：]\r\n"
              "    [服务器上数据库：]库[不存在，您可通过[创建数据库]按钮进行创建！]");
    EXPECT_EQ(unreachable,
              "[连接数据服务器]<SRV>[： 失败！]\r\n"
              "[连接数据库]<数据库>[： 失败！]\r\n"
              "\r\n"
              "[请检查以下可能的失败原因或重新设置：]\r\n"
              "    [服务器是否在线；]\r\n"
              "    [服务器上的SQL SERVER服务是否启动；]\r\n"
              "    [用户和密码是否输入正确；]");
}

}  // namespace
}  // namespace dovrel
