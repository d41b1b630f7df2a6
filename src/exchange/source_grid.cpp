#include "exchange/source_grid.h"

#include <cstring>

#include "exchange/detail/line_scan.h"

namespace dovrel {

// A data line runs to the next line end; its one trailing tab is not part
// of its values.
std::string_view SourceGrid::line(std::size_t row) const {
    if (row == 0) return text_.substr(headerBegin_, headerEnd_ - headerBegin_);
    std::size_t begin = rowStarts_[row - 1];
    const char* start = text_.data() + begin;
    const void* cr = std::memchr(start, lineEnd_, text_.size() - begin);
    std::size_t length = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - start) : text_.size() - begin;
    if (length > 0 && start[length - 1] == '\t') --length;
    return {start, length};
}

std::size_t SourceGrid::lineNumber(std::size_t row) const {
    if (empty() || row >= rows()) return 0;
    const std::size_t offset = row == 0 ? headerBegin_ : rowStarts_[row - 1];
    if (offset < countedTo_) countedTo_ = 0, countedLines_ = 1;
    countedLines_ += exchange::detail::countByte(text_.substr(countedTo_, offset - countedTo_), lineEnd_);
    countedTo_ = offset;
    return countedLines_;
}

std::string_view SourceGrid::cell(std::size_t column, std::size_t row) const {
    if (column >= columns_ || row >= rows()) return {};
    std::string_view text = line(row);
    if (text.empty()) return {};
    std::size_t begin = 0;
    for (std::size_t c = 0; c < column; ++c) {
        std::size_t tab = text.find('\t', begin);
        if (tab == std::string_view::npos) return {};
        begin = tab + 1;
    }
    return text.substr(begin, text.find('\t', begin) - begin);
}

void SourceGrid::rowCells(std::size_t row, std::vector<std::string_view>& cells) const {
    cells.assign(columns_, std::string_view{});
    if (row >= rows()) return;
    std::string_view text = line(row);
    if (text.empty()) return;
    std::size_t begin = 0;
    for (std::size_t c = 0; c < columns_; ++c) {
        std::size_t tab = text.find('\t', begin);
        cells[c] = text.substr(begin, tab == std::string_view::npos ? std::string_view::npos : tab - begin);
        if (tab == std::string_view::npos) break;
        begin = tab + 1;
    }
}

}  // namespace dovrel
