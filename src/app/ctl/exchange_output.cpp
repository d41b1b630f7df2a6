#include "app/ctl/exchange_output.h"

#include <cstdio>

#include "core/localize.h"

namespace dovrel::ctl {
namespace {

std::string number(double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// `pattern` with "{1}", "{2}", ... replaced by `values` in order.
std::string format(std::string pattern, std::initializer_list<std::string> values) {
    std::size_t n = 0;
    for (const std::string& value : values) {
        const std::string mark = "{" + std::to_string(++n) + "}";
        if (const std::size_t at = pattern.find(mark); at != std::string::npos) pattern.replace(at, mark.size(), value);
    }
    return pattern;
}

}  // namespace

std::string terminalLines(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

std::string summaryLine(const ImportSummary& summary) {
    const double rate = summary.seconds > 0 ? static_cast<double>(summary.rowsInserted) / summary.seconds : 0;
    return LocalizeText(
               format("读取 {1} 行，插入 {2} 行，删除 {3} 行，键值筛选跳过 {4} 行，"
                      "被写成 NULL、''、N''、0 或未写入的单元格 {5} 个，无法解码的字节 {6} 处，"
                      "用时 {7} 秒，每秒 {8} 行",
                      {std::to_string(summary.linesRead), std::to_string(summary.rowsInserted),
                       std::to_string(summary.rowsDeleted < 0 ? 0 : summary.rowsDeleted),
                       std::to_string(summary.linesSkipped), std::to_string(summary.changedCells),
                       std::to_string(summary.replacedBytes), number(summary.seconds, "%.2f"), number(rate, "%.0f")})) +
           "\n";
}

std::string unreadableFileText(const std::string& file, const std::string& reason) {
    return LocalizeText(format("无法读取文件“{1}”：{2}", {file, reason})) + "\n";
}

std::string changedCellsText(const ImportSummary& summary) {
    std::string text;
    for (const CellNote& note : summary.firstChangedCells)
        text += LocalizeText(format("第 {1} 行，列 {2}：“{3}” → {4}",
                                    {std::to_string(note.line), note.column, note.value,
                                     note.writtenAs.empty() ? "不写入值（服务器会拒绝这一行）" : note.writtenAs})) +
                "\n";
    if (summary.changedCells > summary.firstChangedCells.size())
        text += LocalizeText(format("……另有 {1} 个",
                                    {std::to_string(summary.changedCells - summary.firstChangedCells.size())})) +
                "\n";
    return text;
}

}  // namespace dovrel::ctl
