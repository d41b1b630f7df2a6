#include "exchange/detail/source_text.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "exchange/detail/line_scan.h"
#include "exchange/detail/utf8_repair.h"
#include "exchange/large_block.h"
#include "platform/codepage.h"
#include "platform/file_path.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kChunk = 1 << 20;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool startsWithMark(std::string_view bytes) { return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark; }

bool isAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::ifstream openForReading(const std::string& path) {
    std::ifstream file(platform::filePath(path), std::ios::binary);
    if (!file) throw RuntimeError(err::PathFileAccess);
    return file;
}

// True when `bytes` is valid UTF-8. Most files are plain ASCII, which is
// passed over eight bytes at a time.
bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= bytes.size(); i += 8) {
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u) break;
    }
    return platform::isValidUtf8(bytes.substr(i));
}

// How many bytes at the end of `bytes` begin a UTF-8 sequence that goes on
// past it (0 when the last sequence is complete).
std::size_t unfinishedSequence(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// True when the rest of `file` is valid UTF-8, read a chunk at a time.
bool restIsUtf8(std::istream& file) {
    std::string chunk;
    std::string carry;
    std::vector<char> buffer(kChunk);
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::size_t got = static_cast<std::size_t>(file.gcount());
        if (got == 0) break;
        chunk.assign(carry);
        chunk.append(buffer.data(), got);
        std::size_t keep = unfinishedSequence(chunk);
        if (!isUtf8(std::string_view(chunk).substr(0, chunk.size() - keep))) return false;
        carry.assign(chunk, chunk.size() - keep, keep);
    }
    if (file.bad()) throw RuntimeError(err::PathFileAccess);
    return carry.empty();
}

// One line that the code page rejects as a whole: the readable characters
// kept, every unreadable byte replaced.
void decodeBytewise(std::string_view bytes, int codePage, std::string& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            out += bytes[i++];
            continue;
        }
        bool done = false;
        for (std::size_t width : {std::size_t{2}, std::size_t{1}}) {
            if (i + width > bytes.size()) continue;
            if (auto text = platform::codePageToUtf8(bytes.substr(i, width), codePage)) {
                out += *text;
                i += width;
                done = true;
                break;
            }
        }
        if (!done) {
            out += kReplacement;
            ++i;
        }
    }
}

// The end of the piece that starts at `begin`: after the first line break at
// or past begin + kChunk (line breaks never occur inside a double-byte
// character, so pieces cut there decode on their own).
std::size_t pieceEnd(std::string_view bytes, std::size_t begin) {
    if (bytes.size() - begin <= kChunk) return bytes.size();
    std::size_t cut = bytes.find_first_of("\r\n", begin + kChunk);
    return cut == std::string_view::npos ? bytes.size() : cut + 1;
}

void decodePiece(std::string_view piece, int codePage, std::string& out) {
    if (auto text = platform::codePageToUtf8(piece, codePage)) {
        out += *text;
        return;
    }
    std::size_t begin = 0;
    while (begin < piece.size()) {
        std::size_t end = piece.find_first_of("\r\n", begin);
        end = end == std::string_view::npos ? piece.size() : end + 1;
        std::string_view line = piece.substr(begin, end - begin);
        if (auto text = platform::codePageToUtf8(line, codePage))
            out += *text;
        else
            decodeBytewise(line, codePage, out);
        begin = end;
    }
}

}  // namespace

bool normalFileExists(const std::string& path) {
    std::error_code error;
    const std::filesystem::path p = platform::filePath(path);
    if (path.empty() || !std::filesystem::is_regular_file(p, error)) return false;
    const auto name = p.filename().native();
    return !name.empty() && name.front() != '.';
}

std::string decodeAnsi(std::string_view bytes, int codePage) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (std::size_t begin = 0; begin < bytes.size();) {
        std::size_t end = pieceEnd(bytes, begin);
        std::string_view piece = bytes.substr(begin, end - begin);
        if (isAscii(piece))
            out += piece;
        else
            decodePiece(piece, codePage, out);
        begin = end;
    }
    return out;
}

SourceText loadSourceText(const std::string& path) {
    try {
        std::ifstream file = openForReading(path);
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        file.seekg(0, std::ios::beg);
        if (size < 0) throw RuntimeError(err::PathFileAccess);
        std::shared_ptr<char> bytes(static_cast<char*>(allocateLargeBlock(static_cast<std::size_t>(size))), std::free);
        file.read(bytes.get(), size);
        if (file.gcount() != size) throw RuntimeError(err::PathFileAccess);

        SourceText source;
        source.fileLength = static_cast<std::uint64_t>(size);
        const std::string_view raw(bytes.get(), static_cast<std::size_t>(size));
        if (startsWithMark(raw) || isUtf8(raw)) {
            source.begin = startsWithMark(raw) ? kByteOrderMark.size() : 0;
            source.text = raw;
            source.storage = std::move(bytes);
            // A mark does not make the rest UTF-8: its stray bytes must not reach names and values.
            if (source.begin > 0 && !isUtf8(raw)) {
                auto repaired = std::make_shared<const std::string>(repairUtf8(raw));
                source.text = *repaired;
                source.storage = std::move(repaired);
            }
        } else {
            auto decoded = std::make_shared<const std::string>(decodeAnsi(raw, platform::ansiCodePage()));
            source.text = *decoded;
            source.storage = std::move(decoded);
        }
        return source;
    } catch (const std::bad_alloc&) {
        throw RuntimeError(err::OutOfMemory);
    } catch (const std::length_error&) {
        throw RuntimeError(err::OutOfMemory);
    }
}

std::vector<std::string> readLeadingLines(const std::string& path, std::size_t count) {
    std::ifstream file = openForReading(path);
    // Read until the wanted lines have all ended (or the file has).
    std::string head;
    std::size_t lineBreaks = 0;
    std::vector<char> buffer(64 * 1024);
    while (lineBreaks < count && file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::string_view got(buffer.data(), static_cast<std::size_t>(file.gcount()));
        for (char c : got) lineBreaks += c == '\r';
        head += got;
    }
    if (file.bad()) throw RuntimeError(err::PathFileAccess);

    const bool marked = startsWithMark(head);
    LineCursor cursor(head, marked ? kByteOrderMark.size() : 0);
    std::vector<std::string> lines;
    while (lines.size() < count && !cursor.atEnd()) lines.emplace_back(cursor.next());

    bool ascii = true;
    for (const std::string& line : lines) ascii = ascii && isAscii(line);
    if (ascii) return lines;
    if (marked) {
        for (std::string& line : lines)
            if (!platform::isValidUtf8(line)) line = repairUtf8(line);
        return lines;
    }
    // The lines read as UTF-8 only when the whole file does.
    std::size_t read = head.size();
    bool utf8 = isUtf8(std::string_view(head).substr(0, read - unfinishedSequence(head)));
    if (utf8) {
        file.clear();
        file.seekg(static_cast<std::streamoff>(read - unfinishedSequence(head)));
        utf8 = restIsUtf8(file);
    }
    if (!utf8)
        for (std::string& line : lines) line = decodeAnsi(line, platform::ansiCodePage());
    return lines;
}

std::string_view LineCursor::next() {
    if (atEnd()) throw RuntimeError(err::InputPastEnd);
    const void* cr = std::memchr(text_.data() + pos_, '\r', text_.size() - pos_);
    return take(cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text_.data()) : text_.size());
}

std::string_view LineCursor::next(std::size_t& tabs) {
    if (atEnd()) throw RuntimeError(err::InputPastEnd);
    const LineExtent line = scanLine(text_, pos_);
    tabs = line.tabs;
    return take(line.end);
}

std::string_view LineCursor::take(std::size_t end) {
    const std::size_t begin = pos_;
    pos_ = end;
    if (pos_ < text_.size()) {  // the carriage return, and a line feed right after it
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return text_.substr(begin, end - begin);
}

}  // namespace dovrel::exchange::detail
