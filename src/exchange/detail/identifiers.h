#pragma once
// Names that the exchange puts into its statements as they stand: only
// names that cannot end a statement and begin another are let through.
#include <string>
#include <string_view>

namespace dovrel::exchange::detail {

// A plain identifier (a letter, "_" or "#" first, any character beyond
// ASCII counting as a letter, then letters, digits, "_", "@", "#", "$") or a
// bracketed one ([any text without control characters or quotes, "]"
// doubled]).
bool isColumnName(std::string_view name);
// A column name, or two joined by a point (schema.table).
bool isTableName(std::string_view name);
// `name` as it stands when it is a column name, else in brackets with "]"
// doubled: a column looked up by a name the file gave ("Emp No") is found
// and cannot change the statement around it.
std::string columnReference(std::string_view name);

}  // namespace dovrel::exchange::detail
