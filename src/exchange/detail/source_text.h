#pragma once
// The text of a source file: found, read and decoded to UTF-8, and walked
// line by line.
//
// Decoding, in order: an encoding the caller names (an iconv name); a
// byte-order mark (UTF-8, UTF-16 little or big endian); a file of plain
// ASCII; a file that is valid UTF-8 throughout, unless its characters say
// it is the ANSI code page's (encoding_guess.h); any other file in the
// machine's ANSI code page. Byte sequences the encoding cannot read become
// U+FFFD and are counted.
//
// Line ends: a file that holds a carriage return anywhere has its lines end
// at carriage returns (a line feed right after one belongs to it, a lone line
// feed is part of the line); a file without any ends its lines at line feeds.
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

// Why `path` cannot serve as a source file (no such file, a folder, hidden,
// unreadable, empty), in words for the user; empty when it can.
std::string problemWithSourceFile(const std::string& path);

struct SourceTextOptions {
    std::string encoding;  // an iconv name; empty to decide from the file
    // Refuse (Refusal) bytes the encoding cannot read, naming their line, and
    // a file that could be UTF-8 or the ANSI code page alike.
    bool strict = false;
};

struct SourceText {
    std::shared_ptr<const void> storage;  // owns the bytes `text` refers to
    std::string_view text;                // UTF-8
    std::size_t begin = 0;                // where the lines begin (after a byte-order mark)
    std::uint64_t fileLength = 0;         // the file's size in bytes
    char lineEnd = '\r';                  // '\r', or '\n' for a file without carriage returns
    std::string encoding;                 // what the bytes were read as
    std::size_t replaced = 0;             // sequences read as U+FFFD
};

// Reads and decodes the whole file. Throws RuntimeError 75 when it cannot be
// opened or read, 7 when it does not fit in memory, Refusal for an unknown
// encoding and, when strict, as SourceTextOptions says.
SourceText loadSourceText(const std::string& path, const SourceTextOptions& options = {});

// The first `count` lines of the file (fewer when it ends first), decoded as
// loadSourceText decodes them. Throws as loadSourceText.
std::vector<std::string> readLeadingLines(const std::string& path, std::size_t count,
                                          const SourceTextOptions& options = {});

// The number, counted from 1, of the line of `text` that holds `offset`.
std::size_t lineNumberAt(std::string_view text, char lineEnd, std::size_t offset);

// Walks lines as the source format defines them (see above).
class LineCursor {
public:
    LineCursor(std::string_view text, std::size_t begin, char lineEnd = '\r')
        : text_(text), pos_(begin), lineEnd_(lineEnd) {}
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
    char lineEnd_;
};

// The line with one trailing tab removed, if it has one.
inline std::string_view withoutTrailingTab(std::string_view line) {
    return !line.empty() && line.back() == '\t' ? line.substr(0, line.size() - 1) : line;
}

}  // namespace dovrel::exchange::detail
