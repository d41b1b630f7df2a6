#pragma once
// The exchange's own texts; each passes through the host's localizer before use.
namespace dovrel::exchange::detail {

// A file column the table lacks: name + this + table name.
inline constexpr const char* kNotInTable = "在资料表里找不到 — ";
// A table column the file lacks: name + this + table name.
inline constexpr const char* kExtraInTable = "在资料表里多出 — ";
// The import refused because the columns differ.
inline constexpr const char* kFieldsMismatch = "数据表字段不匹配";
// A batch of rows the server refused.
inline constexpr const char* kUpdateFailed = "更新数据库存失败，请重新导入文件！";
// A dropped trigger that could not be created again: + its name.
inline constexpr const char* kTriggerNotRecreated = "无法重新建立触发器：";

}  // namespace dovrel::exchange::detail
