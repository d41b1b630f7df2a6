#pragma once
// The exchange's own texts; each passes through the host's localizer before use.
// "{1}", "{2}", ... stand for the values formatText puts in.
#include <initializer_list>
#include <string>
#include <string_view>

namespace dovrel::exchange::detail {

// A file column the table lacks: name + this + table name.
inline constexpr const char* kNotInTable = "在资料表里找不到 — ";
// A table column the file lacks: name + this + table name.
inline constexpr const char* kExtraInTable = "在资料表里多出 — ";
// The import refused because the columns differ.
inline constexpr const char* kFieldsMismatch = "数据表字段不匹配";
// A batch of rows the server refused.
inline constexpr const char* kUpdateFailed = "更新数据库存失败，请重新导入文件！";
// After the refused batch: why, and where the batch begins in the file.
inline constexpr const char* kServerSaid = "服务器的消息：";
inline constexpr const char* kBatchBeginsAt = "这一批从文件的第 {1} 行开始。";
// A dropped trigger that could not be created again: + its name.
inline constexpr const char* kTriggerNotRecreated = "无法重新建立触发器：";

// Reading the file.
inline constexpr const char* kTooManyValues = "第 {1} 行有 {2} 个值，比标题行的 {3} 个列名多";
inline constexpr const char* kUndecodableBytes = "第 {1} 行有无法按 {2} 编码读取的字节（全文件共 {3} 处）";
inline constexpr const char* kUncertainEncoding = "无法确定文件是 UTF-8 还是 {1} 编码，请指明文件的编码（--encoding）";
inline constexpr const char* kUnknownEncoding = "不认识的编码：";
inline constexpr const char* kNoSuchFile = "文件不存在";
inline constexpr const char* kIsAFolder = "这是一个文件夹，不是文件";
inline constexpr const char* kNotAFile = "这不是一个普通文件";
inline constexpr const char* kHiddenFile = "这是一个隐藏文件";
inline constexpr const char* kCannotOpen = "无法打开：";
inline constexpr const char* kEmptyFile = "文件是空的";
inline constexpr const char* kCannotRead = "无法读取文件“{1}”：{2}";
inline constexpr const char* kCannotConnect = "无法连接数据库服务器：";
inline constexpr const char* kCannotQueryTable = "无法查询数据表 {1}：";

// Names and cells the import refuses or would change.
inline constexpr const char* kBadTableName = "表名不合规（只接受标识符、[方括号名] 或 架构.表名）：";
inline constexpr const char* kChangedCells = "有 {1} 个单元格不是空的，却会被写成 NULL、''、N''、0 或根本不写入：";
inline constexpr const char* kChangedCell = "第 {1} 行，列 {2}：“{3}” → {4}";
inline constexpr const char* kNoValue = "不写入值（服务器会拒绝这一行）";
inline constexpr const char* kMoreCells = "……另有 {1} 个";
inline constexpr const char* kEmptyFilter =
    "键值筛选没有选中任何一行，导入会删除数据表中的行而不插入任何行；已停止（确需如此请用 --allow-empty）";
inline constexpr const char* kCommitWarning = "数据已提交，但之后恢复连接的自动提交失败：";

// `pattern` with "{1}", "{2}", ... replaced by `values` in order.
inline std::string formatText(std::string_view pattern, std::initializer_list<std::string> values) {
    std::string out(pattern);
    std::size_t n = 0;
    for (const std::string& value : values) {
        const std::string mark = "{" + std::to_string(++n) + "}";
        if (const std::size_t at = out.find(mark); at != std::string::npos) out.replace(at, mark.size(), value);
    }
    return out;
}

}  // namespace dovrel::exchange::detail
