#include "exchange/detail/source_reader.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "exchange/detail/localized.h"
#include "exchange/detail/convert_text.h"
#include "exchange/detail/line_scan.h"
#include "exchange/detail/source_text.h"
#include "exchange/detail/texts.h"
#include "platform/codepage.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {

class SourceGridBuilder {
public:
    static SourceGrid read(const std::string& fileName, const SourceReadOptions& options);
    static SourceGrid failed(SourceError error) {
        SourceGrid grid;
        grid.error_ = std::move(error);
        return grid;
    }
};

namespace {

// The header's size in bytes of the ANSI code page (its UTF-8 size when the
// code page cannot hold it): only the row estimate depends on it.
std::size_t ansiSize(std::string_view line) {
    auto bytes = platform::utf8ToCodePage(line, platform::ansiCodePage());
    return bytes ? bytes->size() : line.size();
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Value `index` of a tab-separated line that has more than `index` values.
std::string_view nthValue(std::string_view line, std::size_t index) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index; ++i) begin = line.find('\t', begin) + 1;
    const std::size_t tab = line.find('\t', begin);
    return line.substr(begin, tab == std::string_view::npos ? std::string_view::npos : tab - begin);
}

// The key filter: which lines are kept by the value in the key column.
class KeyFilter {
public:
    KeyFilter(int16_t kind, std::string_view keyValue) : kind_(kind), keyValue_(keyValue) {
        list_.reserve(keyValue.size() + 2);
        list_.append(",").append(keyValue).append(",");
    }
    bool accepts(std::string_view value) const {
        switch (kind_) {
        case 3: return containsDelimited(list_, value, ',', ',');
        case 1: return containsDelimited(list_, value, '\'', '\'');
        default: return keyValue_.find(value) != std::string_view::npos;
        }
    }

private:
    int16_t kind_;
    std::string_view keyValue_;
    std::string list_;
};

}  // namespace

int32_t saturate32(double value) {
    if (!(value < static_cast<double>(std::numeric_limits<int32_t>::max()))) return std::numeric_limits<int32_t>::max();
    if (value < static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

bool containsDelimited(std::string_view list, std::string_view value, char open, char close) {
    for (std::size_t pos = list.find(value, 1); pos != std::string_view::npos; pos = list.find(value, pos + 1)) {
        if (pos + value.size() >= list.size()) return false;
        if (list[pos - 1] == open && list[pos + value.size()] == close) return true;
    }
    return false;
}

SourceGrid SourceGridBuilder::read(const std::string& fileName, const SourceReadOptions& options) {
    SourceGrid grid;
    SourceText source = loadSourceText(fileName, {options.encoding, options.strict});
    grid.storage_ = std::move(source.storage);
    grid.text_ = source.text;
    grid.lineEnd_ = source.lineEnd;
    grid.encoding_ = std::move(source.encoding);
    grid.replacedBytes_ = source.replaced;
    const std::string_view text = grid.text_;
    LineCursor cursor(text, source.begin, source.lineEnd);
    // Lines from here on are empty ones at the end of the file: no data lines.
    const std::size_t contentEnd = text.find_last_not_of("\r\n") + 1;

    std::size_t headerStart = cursor.position();
    std::string_view header = cursor.next();
    if (header.size() >= 2 && header.front() == '[' && header.back() == ']') {
        headerStart = cursor.position();
        header = cursor.next();
    }

    const std::size_t headerSize = ansiSize(header);
    if (headerSize == 0) throw RuntimeError(err::DivisionByZero);
    const double estimate = std::nearbyint(static_cast<double>(source.fileLength) / static_cast<double>(headerSize));
    const int32_t totalSize = saturate32(estimate);

    std::string_view names = trimBlanks(ConvertText(withoutTrailingTab(header), options.toBig5));
    if (names.empty()) throw RuntimeError(err::SubscriptOutOfRange);
    grid.headerBegin_ = headerStart + static_cast<std::size_t>(names.data() - header.data());
    grid.headerEnd_ = grid.headerBegin_ + names.size();
    grid.columns_ = 1;
    for (char c : names) grid.columns_ += c == '\t';
    const std::size_t lastColumn = grid.columns_ - 1;

    // Key filter: the first header name equal to the key field, exactly.
    std::size_t keyColumn = std::numeric_limits<std::size_t>::max();
    std::optional<KeyFilter> filter;
    if (!options.keyValue.empty() && !options.keyField.empty()) {
        for (std::size_t c = 0; c < grid.columns_; ++c) {
            if (grid.cell(c, 0) == options.keyField) {
                keyColumn = c;
                filter.emplace(options.keyKind ? options.keyKind() : int16_t{-1}, options.keyValue);
                break;
            }
        }
    }

    // Room for every line, the last one perhaps without its carriage return.
    grid.rowStarts_.reserve(countByte(text.substr(cursor.position()), source.lineEnd) + 1);
    std::size_t row = 1;
    while (!cursor.atEnd() && cursor.position() < contentEnd) {
        const std::size_t lineStart = cursor.position();
        std::size_t tabs = 0;
        const std::string_view read = cursor.next(tabs);
        if (options.events) options.events->AfterGetSourceDataARow(totalSize, saturate32(static_cast<double>(row)));
        const std::string_view untabbed = withoutTrailingTab(read);
        if (untabbed.size() != read.size()) --tabs;  // a trailing tab separates nothing
        const std::string_view line = ConvertText(untabbed, options.toBig5);
        const std::size_t values = line.empty() ? 0 : tabs + 1;
        ++grid.linesRead_;
        if (filter) {
            if (values <= keyColumn) throw RuntimeError(err::SubscriptOutOfRange);
            if (!filter->accepts(nthValue(line, keyColumn))) continue;
        }
        if (values > lastColumn + 1)
            throw RuntimeError(
                err::SubscriptOutOfRange,
                localized(formatText(kTooManyValues, {std::to_string(lineNumberAt(text, source.lineEnd, lineStart)),
                                                      std::to_string(values), std::to_string(lastColumn + 1)})));
        grid.rowStarts_.push_back(lineStart);
        ++row;
    }
    if (grid.rowStarts_.capacity() > 2 * grid.rowStarts_.size() + 16) grid.rowStarts_.shrink_to_fit();
    return grid;
}

SourceGrid failedGrid(SourceError error) { return SourceGridBuilder::failed(std::move(error)); }

SourceGrid readSourceData(const std::string& fileName, const std::string& tableName, const SourceReadOptions& options) {
    if (!normalFileExists(fileName) || tableName.empty()) return {};
    return SourceGridBuilder::read(fileName, options);
}

}  // namespace dovrel::exchange::detail
