#include "exchange/detail/source_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "exchange/detail/localized.h"
#include "exchange/detail/encoding_guess.h"
#include "exchange/detail/line_scan.h"
#include "exchange/detail/refusal.h"
#include "exchange/detail/text_decoder.h"
#include "exchange/detail/texts.h"
#include "exchange/detail/utf8_repair.h"
#include "exchange/large_block.h"
#include "platform/codepage.h"
#include "platform/file_path.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kChunk = 1 << 20;

struct Mark {
    std::size_t length = 0;
    const char* encoding = nullptr;  // nullptr for UTF-8
};

// The byte-order mark the file begins with (length 0 when none).
Mark markOf(std::string_view head) {
    if (head.starts_with(kUtf8Mark)) return {3, nullptr};
    if (head.starts_with("\xFF\xFE")) return {2, "UTF-16LE"};
    if (head.starts_with("\xFE\xFF")) return {2, "UTF-16BE"};
    return {};
}

bool isAscii(std::string_view bytes) {
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= bytes.size(); i += 8) {
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u) return false;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    return true;
}

bool isUtf8Name(std::string_view name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "utf-8" || lower == "utf8";
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

std::ifstream openForReading(const std::string& path) {
    std::ifstream file(platform::filePath(path), std::ios::binary);
    if (!file) throw RuntimeError(err::PathFileAccess);
    return file;
}

std::uint64_t sizeOf(std::ifstream& file) {
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0) throw RuntimeError(err::PathFileAccess);
    return static_cast<std::uint64_t>(size);
}

// The whole file in one large block.
std::shared_ptr<char> readAll(std::ifstream& file, std::uint64_t size) {
    std::shared_ptr<char> bytes(static_cast<char*>(allocateLargeBlock(static_cast<std::size_t>(size))), std::free);
    file.read(bytes.get(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(file.gcount()) != size) throw RuntimeError(err::PathFileAccess);
    return bytes;
}

// The rest of the file from `offset`, decoded a piece at a time, so that the
// file's bytes and their text are never held together.
std::string decodeFile(std::ifstream& file, std::uint64_t size, std::uint64_t offset, TextDecoder& decoder) {
    std::string out;
    out.reserve(static_cast<std::size_t>(size + size / 2 + 16));
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    std::vector<char> buffer(kChunk);
    for (std::uint64_t left = size - offset; left > 0;) {
        file.read(buffer.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(left, buffer.size())));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got == 0) throw RuntimeError(err::PathFileAccess);
        left -= got;
        decoder.decode(std::string_view(buffer.data(), got), left == 0, out);
    }
    if (size == offset) decoder.decode({}, true, out);
    return out;
}

TextDecoder openDecoder(const std::string& name) {
    std::optional<TextDecoder> decoder = TextDecoder::open(name);
    if (!decoder)
        throw Refusal(ImportOutcome::BadArgument, err::InvalidArgument, localized(kUnknownEncoding) + echo(name));
    return std::move(*decoder);
}

void setText(SourceText& source, std::shared_ptr<const std::string> text) {
    source.text = *text;
    source.storage = std::move(text);
}

// Refuses replaced bytes when strict, naming the line of the first.
void checkReplacements(const SourceText& source, std::size_t firstReplaced, const SourceTextOptions& options) {
    if (!options.strict || source.replaced == 0) return;
    const std::size_t line =
        lineNumberAt(source.text.substr(source.begin), source.lineEnd, firstReplaced - source.begin);
    throw Refusal(ImportOutcome::Refused, err::InvalidArgument,
                  localized(formatText(kUndecodableBytes,
                                       {std::to_string(line), source.encoding, std::to_string(source.replaced)})));
}

SourceText load(const std::string& path, const SourceTextOptions& options) {
    std::ifstream file = openForReading(path);
    SourceText source;
    source.fileLength = sizeOf(file);
    const std::uint64_t size = source.fileLength;
    std::size_t firstReplaced = std::string::npos;

    char head[4] = {};
    file.read(head, static_cast<std::streamsize>(std::min<std::uint64_t>(size, sizeof head)));
    file.clear();
    file.seekg(0);
    const Mark mark = markOf(std::string_view(head, static_cast<std::size_t>(std::min<std::uint64_t>(size, 4))));

    std::string decodeAs = options.encoding;
    if (decodeAs.empty() && mark.encoding) decodeAs = mark.encoding;
    if (!decodeAs.empty() && !isUtf8Name(decodeAs)) {
        TextDecoder decoder = openDecoder(decodeAs);
        const std::uint64_t skip = options.encoding.empty() ? mark.length : 0;
        auto text = std::make_shared<std::string>(decodeFile(file, size, skip, decoder));
        // A named encoding can still begin with its mark: it is not text.
        if (text->starts_with(kUtf8Mark)) source.begin = kUtf8Mark.size();
        source.replaced = decoder.replaced();
        firstReplaced = decoder.firstReplaced();
        source.encoding = decodeAs;
        setText(source, std::move(text));
    } else {
        std::shared_ptr<char> bytes = readAll(file, size);
        const std::string_view raw(bytes.get(), static_cast<std::size_t>(size));
        const bool utf8Named = !decodeAs.empty() || mark.length > 0;
        source.begin = raw.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
        const std::string_view body = raw.substr(source.begin);
        EncodingGuess guess = EncodingGuess::Utf8;
        if (!utf8Named && !isAscii(body))
            guess = isUtf8(body) ? guessUtf8OrAnsi(body, platform::ansiCodePage()) : EncodingGuess::Ansi;
        if (guess == EncodingGuess::Uncertain && options.strict)
            throw Refusal(ImportOutcome::Refused, err::InvalidArgument,
                          localized(formatText(kUncertainEncoding, {"CP" + std::to_string(platform::ansiCodePage())})));
        if (guess == EncodingGuess::Ansi) {
            bytes.reset();  // read again a piece at a time: never the bytes and the text together
            TextDecoder decoder = openDecoder("CP" + std::to_string(platform::ansiCodePage()));
            setText(source, std::make_shared<std::string>(decodeFile(file, size, 0, decoder)));
            source.replaced = decoder.replaced();
            firstReplaced = decoder.firstReplaced();
            source.encoding = "CP" + std::to_string(platform::ansiCodePage());
        } else {
            source.encoding = "UTF-8";
            source.text = raw;
            source.storage = std::move(bytes);
            // A mark or a name does not make the rest UTF-8: stray bytes must not reach names and values.
            if (utf8Named && !isUtf8(body)) {
                auto repaired = std::make_shared<std::string>(std::string(raw.substr(0, source.begin)) +
                                                              repairUtf8(body, source.replaced, firstReplaced));
                firstReplaced += source.begin;
                setText(source, std::move(repaired));
            }
        }
    }
    const std::string_view lines = source.text.substr(source.begin);
    source.lineEnd = std::memchr(lines.data(), '\r', lines.size()) ? '\r' : '\n';
    checkReplacements(source, firstReplaced, options);
    return source;
}

}  // namespace

bool normalFileExists(const std::string& path) {
    std::error_code error;
    const std::filesystem::path p = platform::filePath(path);
    if (path.empty() || !std::filesystem::is_regular_file(p, error)) return false;
    const auto name = p.filename().native();
    return !name.empty() && name.front() != '.';
}

std::string problemWithSourceFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path p = platform::filePath(path);
    const auto status = std::filesystem::status(p, error);
    if (path.empty() || !std::filesystem::exists(status)) return localized(kNoSuchFile);
    if (std::filesystem::is_directory(status)) return localized(kIsAFolder);
    if (!std::filesystem::is_regular_file(status)) return localized(kNotAFile);
    const auto name = p.filename().native();
    if (name.empty() || name.front() == '.') return localized(kHiddenFile);
    std::ifstream file(p, std::ios::binary);
    if (!file) return localized(kCannotOpen) + std::strerror(errno);
    if (std::filesystem::file_size(p, error) == 0 && !error) return localized(kEmptyFile);
    return {};
}

SourceText loadSourceText(const std::string& path, const SourceTextOptions& options) {
    try {
        return load(path, options);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(err::OutOfMemory);
    } catch (const std::length_error&) {
        throw RuntimeError(err::OutOfMemory);
    }
}

std::vector<std::string> readLeadingLines(const std::string& path, std::size_t count,
                                          const SourceTextOptions& options) {
    const SourceText source = loadSourceText(path, options);
    LineCursor cursor(source.text, source.begin, source.lineEnd);
    std::vector<std::string> lines;
    while (lines.size() < count && !cursor.atEnd()) lines.emplace_back(cursor.next());
    return lines;
}

std::size_t lineNumberAt(std::string_view text, char lineEnd, std::size_t offset) {
    return countByte(text.substr(0, std::min(offset, text.size())), lineEnd) + 1;
}

std::string_view LineCursor::next() {
    if (atEnd()) throw RuntimeError(err::InputPastEnd);
    const void* end = std::memchr(text_.data() + pos_, lineEnd_, text_.size() - pos_);
    return take(end ? static_cast<std::size_t>(static_cast<const char*>(end) - text_.data()) : text_.size());
}

std::string_view LineCursor::next(std::size_t& tabs) {
    if (atEnd()) throw RuntimeError(err::InputPastEnd);
    const LineExtent line = scanLine(text_, pos_, lineEnd_);
    tabs = line.tabs;
    return take(line.end);
}

std::string_view LineCursor::take(std::size_t end) {
    const std::size_t begin = pos_;
    pos_ = end;
    if (pos_ < text_.size()) {  // the terminator, and for a carriage return a line feed right after it
        ++pos_;
        if (lineEnd_ == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return text_.substr(begin, end - begin);
}

}  // namespace dovrel::exchange::detail
