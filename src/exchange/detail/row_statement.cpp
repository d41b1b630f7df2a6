#include "exchange/detail/row_statement.h"

#include "exchange/detail/column_utilities.h"
#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

void appendQuoted(std::string& out, std::string_view value) {
    out += "N'";
    for (std::size_t begin = 0;;) {
        std::size_t quote = value.find('\'', begin);
        if (quote == std::string_view::npos) {
            out += value.substr(begin);
            break;
        }
        out += value.substr(begin, quote + 1 - begin);
        out += '\'';
        begin = quote + 1;
    }
    out += "',";
}

void appendValue(std::string& out, const ColumnDescription& column, std::string_view value) {
    switch (column.kind) {
    case kKindText:
        if (value == "#Null")
            out += column.nullableByName ? "Null," : "N'',";
        else if (value.empty())
            out += "N'',";
        else
            appendQuoted(out, value);
        break;
    case kKindDate:
        if (auto date = formatDateTime(value))
            out.append("N'").append(date->view()).append("',");
        else
            out += column.nullableAtPosition ? "Null," : "'',";
        break;
    case kKindNumeric:
        if (isStrictNumber(value))
            out.append(value).append(",");
        else if (column.isBit)
            out += value == "True" ? "1," : "0,";
        else if (value.empty())
            out += column.nullableAtPosition ? "Null," : "0,";
        // A text that is no number writes nothing: the server refuses the row.
        break;
    default:
        break;
    }
}

}  // namespace

std::vector<ColumnDescription> describeColumns(ado::Recordset& probe, std::span<const std::string_view> names) {
    std::vector<ColumnDescription> columns;
    columns.reserve(names.size());
    for (std::size_t c = 0; c < names.size(); ++c) {
        const ado::Field& named = probe.Fields(std::string(names[c]));
        ColumnDescription column;
        column.kind = FieldKind(named);
        column.nullableByName = named.IsNullable();
        column.isBit = named.Type() == ado::adBoolean;
        // The field at the same position; a file cannot list more columns
        // than the table has, but should it, the named field answers.
        column.nullableAtPosition = c < probe.FieldCount() ? probe.Fields(c).IsNullable() : named.IsNullable();
        columns.push_back(column);
    }
    return columns;
}

std::string statementPrefix(std::string_view table, std::span<const std::string_view> names) {
    std::string prefix = "Insert Into ";
    prefix.append(table).append(" (");
    for (std::string_view name : names) prefix.append("[").append(name).append("],");
    if (prefix.back() == ',') prefix.pop_back();
    prefix += ") Values (";
    return prefix;
}

void appendRowStatement(std::string& out, std::string_view prefix, std::span<const ColumnDescription> columns,
                        std::span<const std::string_view> cells) {
    out += prefix;
    const std::size_t valuesStart = out.size();
    for (std::size_t c = 0; c < columns.size(); ++c) appendValue(out, columns[c], c < cells.size() ? cells[c] : "");
    if (out.size() > valuesStart && out.back() == ',') out.pop_back();
    out += ")\r\n";
}

}  // namespace dovrel::exchange::detail
