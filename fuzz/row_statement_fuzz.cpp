// The row statement on fuzzed column descriptions and cells. Input: one byte
// for the number of columns, one byte per column for its description, then
// the cells separated by 0x1F. Whatever the cells hold, the statement keeps
// its shape: the prefix, then values separated by commas, then ")" CR LF;
// every text cell is one literal that reads back as the cell; every bare
// value is a number (blanks around it allowed), Null, 0 or 1 and never
// carries a quote or a bracket; no column gives more than one value; the
// cell's CellChange says what became of it; the same row built for a report
// (long values cut) keeps the shape and the count of values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/detail/row_statement.h"

namespace {

using dovrel::exchange::detail::CellChange;
using dovrel::exchange::detail::cellChange;
using dovrel::exchange::detail::ColumnDescription;

void require(bool condition) {
    if (!condition) std::abort();
}

// One value of the list: a quoted literal (with its N prefix, if any, and
// its text read back), or a bare word.
struct Value {
    bool quoted = false;
    bool unicode = false;
    std::string text;
};

// Splits the value list at its top-level commas; aborts on anything that is
// neither a closed literal nor a bare word ended by a comma or the end.
std::vector<Value> parseValues(std::string_view list) {
    std::vector<Value> values;
    size_t i = 0;
    while (i < list.size()) {
        Value value;
        if (list[i] == 'N' && i + 1 < list.size() && list[i + 1] == '\'') {
            value.unicode = true;
            ++i;
        }
        if (list[i] == '\'') {
            value.quoted = true;
            for (++i;; ++i) {
                require(i < list.size());  // an unclosed literal
                if (list[i] == '\'') {
                    if (i + 1 < list.size() && list[i + 1] == '\'') {
                        value.text += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.text += list[i];
            }
        } else {
            const size_t comma = list.find(',', i);
            value.text = std::string(list.substr(i, comma == std::string_view::npos ? comma : comma - i));
            i = comma == std::string_view::npos ? list.size() : comma;
        }
        values.push_back(std::move(value));
        if (i == list.size()) break;
        require(list[i] == ',' && i + 1 < list.size());  // a comma, and a value after it
        ++i;
    }
    return values;
}

bool numberCharacters(std::string_view text) {
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return false;
    text = text.substr(begin, text.find_last_not_of(' ') - begin + 1);
    return text.find_first_not_of("0123456789+-.eE") == std::string_view::npos;
}

// YYYY-MM-DD hh:mm:ss, or with .fff.
bool dateText(std::string_view text) {
    if (text.size() != 19 && text.size() != 23) return false;
    for (size_t k = 0; k < text.size(); ++k) {
        const char expected = k == 4 || k == 7 ? '-' : k == 10 ? ' ' : k == 13 || k == 16 ? ':' : k == 19 ? '.' : '9';
        if (expected == '9' ? !(text[k] >= '0' && text[k] <= '9') : text[k] != expected) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t count = 1 + data[0] % 8;
    if (size < 1 + count) return 0;
    static const int16_t kinds[] = {1, 2, 3, 4, 0, -1, 1, 3};
    std::vector<ColumnDescription> columns(count);
    std::vector<std::string_view> names;
    static const std::string_view allNames[] = {"A", "B", "C", "D", "E", "F", "G", "H"};
    for (size_t c = 0; c < count; ++c) {
        const uint8_t d = data[1 + c];
        columns[c].kind = kinds[d % 8];
        columns[c].nullableByName = d & 0x08;
        columns[c].nullableAtPosition = d & 0x10;
        columns[c].isBit = d & 0x20;
        names.push_back(allNames[c]);
    }
    // The cells (fewer than the columns leaves the rest empty, as a short line does).
    const std::string_view rest(reinterpret_cast<const char*>(data + 1 + count), size - 1 - count);
    std::vector<std::string_view> cells;
    for (size_t begin = 0; cells.size() < count;) {
        const size_t end = rest.find('\x1F', begin);
        cells.push_back(rest.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
        if (end == std::string_view::npos) break;
        begin = end + 1;
    }

    const std::string prefix = dovrel::exchange::detail::statementPrefix("T", names);
    std::string statement = "kept";
    dovrel::exchange::detail::appendRowStatement(statement, prefix, columns, cells);
    require(statement.starts_with("kept" + prefix) && statement.ends_with(")\r\n"));
    const std::string_view list =
        std::string_view(statement).substr(4 + prefix.size(), statement.size() - 4 - prefix.size() - 3);
    const std::vector<Value> values = parseValues(list);

    // Each column in turn takes at most one value, of the form its kind allows.
    size_t next = 0;
    for (size_t c = 0; c < count; ++c) {
        const std::string_view cell = c < cells.size() ? cells[c] : std::string_view();
        const Value* value = next < values.size() ? &values[next] : nullptr;
        const CellChange change = cellChange(columns[c], cell);
        switch (columns[c].kind) {
        case 1:
            require(value != nullptr);
            if (value->quoted) {
                require(value->unicode);
                require(value->text == cell || (value->text.empty() && (cell.empty() || cell == "#Null")));
                require((change == CellChange::ToEmptyText) == (cell == "#Null"));
            } else {
                require(value->text == "Null" && cell == "#Null" && columns[c].nullableByName);
                require(change == CellChange::None);
            }
            ++next;
            break;
        case 2:
            require(value != nullptr);
            if (value->quoted) {
                require((value->unicode && dateText(value->text)) || (!value->unicode && value->text.empty()));
                require(change == (value->unicode || cell.empty() ? CellChange::None : CellChange::ToEmptyDate));
            } else {
                require(value->text == "Null" && columns[c].nullableAtPosition);
                require(change == (cell.empty() || cell == "#Null" ? CellChange::None : CellChange::ToNull));
            }
            ++next;
            break;
        case 3:
            // A number copied as it stands, a bit, Null or 0 for an empty
            // cell, or nothing for a text that is no number.
            if (value && !value->quoted && value->text == cell && numberCharacters(cell)) {
                require(change == CellChange::None);
                ++next;
            } else if (value && !value->quoted && (columns[c].isBit || cell.empty()) &&
                       (value->text == "1" || value->text == "0" || value->text == "Null")) {
                const bool kept = cell.empty() || cell == "True" || cell == "False";
                require(change == (kept ? CellChange::None : CellChange::ToZero));
                ++next;
            } else {
                require(!cell.empty() && !columns[c].isBit && change == CellChange::Omitted);
            }
            break;
        default: require(change == CellChange::None); break;  // never written
        }
    }
    require(next == values.size());

    // Built for a report, long values cut: the same shape and count.
    std::string echoed;
    dovrel::exchange::detail::appendRowStatement(echoed, prefix, columns, cells, 16);
    require(echoed.starts_with(prefix) && echoed.ends_with(")\r\n"));
    require(parseValues(std::string_view(echoed).substr(prefix.size(), echoed.size() - prefix.size() - 3)).size() ==
            values.size());
    return 0;
}
