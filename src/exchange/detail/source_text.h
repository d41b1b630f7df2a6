#pragma once
// The text of a source file: found, read and decoded to UTF-8, and walked
// line by line.
//
// Decoding: a file that begins with the UTF-8 byte-order mark, or whose
// bytes are valid UTF-8 throughout, is read as UTF-8 (the mark itself is not
// text, and bytes after it that are no UTF-8 become U+FFFD); any other file
// is read in the machine's ANSI code page, a byte sequence that code page
// cannot read becoming U+FFFD.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dovrel::exchange::detail {

// True when a normal file exists at `path`: not a directory, not a hidden
// file (a name beginning with a dot), as a directory lookup for normal files
// would find it.
bool normalFileExists(const std::string& path);

struct SourceText {
    std::shared_ptr<const void> storage;   // owns the bytes `text` refers to
    std::string_view text;                 // UTF-8
    std::size_t begin = 0;                 // where the lines begin (after a byte-order mark)
    std::uint64_t fileLength = 0;          // the file's size in bytes
};

// Reads and decodes the whole file. Throws RuntimeError 75 when it cannot be
// opened or read, 7 when it does not fit in memory.
SourceText loadSourceText(const std::string& path);

// The first `count` lines of the file (fewer when it ends first), decoded as
// loadSourceText would decode them, without holding the rest of the file.
// Throws as loadSourceText.
std::vector<std::string> readLeadingLines(const std::string& path, std::size_t count);

// Bytes of the ANSI code page `codePage` as UTF-8.
std::string decodeAnsi(std::string_view bytes, int codePage);

// Walks lines as the source format defines them: a line ends at a carriage
// return, and a line feed right after it belongs to the terminator; a lone
// line feed is part of the line.
class LineCursor {
public:
    LineCursor(std::string_view text, std::size_t begin) : text_(text), pos_(begin) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    // Where the next line begins.
    std::size_t position() const { return pos_; }
    // The next line without its terminator. Throws RuntimeError 62 (input
    // past end of file) at the end.
    std::string_view next();
    // The same, and the number of tabs in the line.
    std::string_view next(std::size_t& tabs);

private:
    // The line from pos_ to `end`, stepping over its terminator.
    std::string_view take(std::size_t end);

    std::string_view text_;
    std::size_t pos_;
};

// The line with one trailing tab removed, if it has one.
inline std::string_view withoutTrailingTab(std::string_view line) {
    return !line.empty() && line.back() == '\t' ? line.substr(0, line.size() - 1) : line;
}

}  // namespace dovrel::exchange::detail
