#include "exchange/detail/row_statement.h"

#include "exchange/detail/column_utilities.h"
#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

constexpr std::string_view kEllipsis = "…";

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
    out += "'";
}

// Appends the value of one cell; false when the cell writes nothing.
bool appendValue(std::string& out, const ColumnDescription& column, std::string_view value) {
    switch (column.kind) {
    case kKindText:
        if (value == "#Null")
            out += column.nullableByName ? "Null" : "N''";
        else if (value.empty())
            out += "N''";
        else
            appendQuoted(out, value);
        return true;
    case kKindDate:
        if (auto date = formatDateTime(value))
            out.append("N'").append(date->view()).append("'");
        else
            out += column.nullableAtPosition ? "Null" : "''";
        return true;
    case kKindNumeric:
        if (isStrictNumber(value))
            out.append(value);
        else if (column.isBit)
            out += value == "True" ? "1" : "0";
        else if (value.empty())
            out += column.nullableAtPosition ? "Null" : "0";
        else
            return false;  // a text that is no number writes nothing: the server refuses the row
        return true;
    default: return false;
    }
}

// Cuts the value that begins at `start` of `out` to `limit` bytes, on a
// character boundary and outside a doubled quote, marked with "…".
void capValue(std::string& out, std::size_t start, std::size_t limit) {
    const bool quoted = out.compare(start, 2, "N'") == 0;
    const std::size_t content = start + (quoted ? 2 : 0);
    const std::size_t end = out.size() - (quoted ? 1 : 0);
    if (end - content <= limit) return;
    std::size_t cut = content + limit;
    while (cut > content && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    std::size_t quotes = 0;
    while (cut - quotes > content && out[cut - quotes - 1] == '\'') ++quotes;
    if (quotes % 2) --cut;
    out.resize(cut);
    out += kEllipsis;
    if (quoted) out += '\'';
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
    for (std::string_view name : names) {
        prefix += '[';
        for (char c : name) prefix.append(c == ']' ? "]]" : std::string_view(&c, 1));
        prefix += "],";
    }
    if (prefix.back() == ',') prefix.pop_back();
    prefix += ") Values (";
    return prefix;
}

void appendRowStatement(std::string& out, std::string_view prefix, std::span<const ColumnDescription> columns,
                        std::span<const std::string_view> cells, std::size_t echoLimit) {
    out += prefix;
    bool first = true;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const std::size_t start = out.size() + (first ? 0 : 1);
        if (!first) out += ',';
        if (appendValue(out, columns[c], c < cells.size() ? cells[c] : std::string_view())) {
            first = false;
            if (echoLimit != kNoEchoLimit) capValue(out, start, echoLimit);
        } else if (!first) {
            out.pop_back();  // the comma waited for a value that did not come
        }
    }
    out += ")\r\n";
}

CellChange cellChange(const ColumnDescription& column, std::string_view value) {
    if (value.empty()) return CellChange::None;
    switch (column.kind) {
    case kKindText: return value == "#Null" && !column.nullableByName ? CellChange::ToEmptyText : CellChange::None;
    case kKindDate:
        if (formatDateTime(value)) return CellChange::None;
        if (column.nullableAtPosition) return value == "#Null" ? CellChange::None : CellChange::ToNull;
        return CellChange::ToEmptyDate;
    case kKindNumeric:
        if (isStrictNumber(value)) return CellChange::None;
        if (column.isBit) return value == "True" || value == "False" ? CellChange::None : CellChange::ToZero;
        return CellChange::Omitted;
    default: return CellChange::None;
    }
}

}  // namespace dovrel::exchange::detail
