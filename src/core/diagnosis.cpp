#include "core/diagnosis.h"

#include "core/localize.h"

namespace dovrel {
namespace {

constexpr const char* kLineBreak = "\r\n";
constexpr const char* kIndent = "    ";

}  // namespace

std::string BuildDiagnosisText(const DiagnosisInput& input) {
    const std::string server = LocalizeText("连接数据服务器") + "<" + input.serverText + ">";
    const std::string database = LocalizeText("连接数据库") + "<" + input.databaseTextBefore + ">";
    const std::string ok = LocalizeText("： 成功！");
    const std::string fail = LocalizeText("： 失败！");

    std::string text = server + (input.serverReachable ? ok : fail);
    text += kLineBreak + database + (input.databaseExists ? ok : fail);
    if (!input.serverReachable || !input.databaseExists) {
        text += std::string(kLineBreak) + kLineBreak + LocalizeText("请检查以下可能的失败原因或重新设置：");
    }
    if (!input.serverReachable) {
        for (const char* cause :
             {"服务器是否在线；", "服务器上的SQL SERVER服务是否启动；", "用户和密码是否输入正确；"}) {
            text += kLineBreak + std::string(kIndent) + LocalizeText(cause);
        }
    } else if (!input.databaseExists) {
        text += kLineBreak + std::string(kIndent) + LocalizeText("服务器上数据库：") + input.databaseTextAfter +
                LocalizeText("不存在，您可通过[创建数据库]按钮进行创建！");
    }
    return text;
}

}  // namespace dovrel
