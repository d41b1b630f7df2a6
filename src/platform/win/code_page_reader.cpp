#include "platform/win/code_page_reader.h"

#include <windows.h>

#include <cctype>
#include <climits>
#include <cstdlib>

#include "platform/utf8_check.h"
#include "platform/win/wide_text.h"

namespace dovrel::platform::win {
namespace {

// Upper case without "-", "_" and blanks: "utf-16le" and "UTF16LE" alike.
std::string normalized(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != '-' && c != '_' && c != ' ') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The number after `prefix` in `name`, or 0.
unsigned numberAfter(const std::string& name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 5) return 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    return static_cast<unsigned>(std::atoi(name.c_str() + prefix.size()));
}

unsigned codePageNamed(const std::string& name) {
    struct Alias {
        const char* name;
        unsigned codePage;
    };
    static constexpr Alias aliases[] = {
        {"GBK", 936},       {"GB2312", 936},         {"EUCCN", 936},      {"MS936", 936},
        {"GB18030", 54936}, {"BIG5", 950},           {"BIGFIVE", 950},    {"SHIFTJIS", 932},
        {"SJIS", 932},      {"MSKANJI", 932},        {"WINDOWS31J", 932}, {"EUCKR", 949},
        {"UHC", 949},       {"ASCII", 20127},        {"USASCII", 20127},  {"LATIN1", 28591},
        {"L1", 28591},      {"ANSIX3.41968", 20127},
    };
    for (const Alias& alias : aliases)
        if (name == alias.name) return alias.codePage;
    for (std::string_view prefix : {"CP", "WINDOWS", "IBM", "MS"})
        if (unsigned number = numberAfter(name, prefix)) return number;
    if (unsigned part = numberAfter(name, "ISO8859")) return 28590 + part;
    return 0;
}

// Windows' reading of `bytes`, nullopt when any of them is no character.
std::optional<std::wstring> strictlyDecoded(unsigned codePage, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    if (bytes.size() > INT_MAX) return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::optional<CodePageReader> CodePageReader::open(std::string_view name) {
    const std::string key = normalized(name);
    const struct {
        std::string_view prefix;
        Kind kind;
    } unitEncodings[] = {{"UTF16", Kind::Utf16}, {"UCS2", Kind::Utf16}, {"UTF32", Kind::Utf32}, {"UCS4", Kind::Utf32}};
    for (const auto& [prefix, kind] : unitEncodings) {
        if (!key.starts_with(prefix)) continue;
        const std::string order = key.substr(prefix.size());
        if (order != "" && order != "LE" && order != "BE") return std::nullopt;
        CodePageReader reader(kind, 0);
        reader.bigEndian_ = order != "LE";  // without an order, big-endian unless a mark says otherwise
        reader.markPending_ = order.empty();
        return reader;
    }
    const unsigned codePage = key == "UTF8" ? CP_UTF8 : codePageNamed(key);
    if (codePage == CP_UTF8) return CodePageReader(Kind::Utf8, CP_UTF8);
    CPINFOEXW info{};
    // Stateful and seven-bit encodings (ISO-2022, UTF-7) have no sequences to step through.
    if (codePage == 0 || codePage == CP_UTF7 || (codePage >= 50220 && codePage <= 50229) ||
        !IsValidCodePage(codePage) || !GetCPInfoExW(codePage, 0, &info) || (info.MaxCharSize > 2 && codePage != 54936))
        return std::nullopt;
    CodePageReader reader(Kind::CodePage, codePage);
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) reader.lead_[byte] = true;
    return reader;
}

std::size_t CodePageReader::unit() const {
    switch (kind_) {
    case Kind::Utf16: return 2;
    case Kind::Utf32: return 4;
    default: return 1;
    }
}

CodePageReader::Read CodePageReader::read(std::string_view bytes, std::string& out) {
    switch (kind_) {
    case Kind::CodePage: return readCodePage(bytes, out);
    case Kind::Utf8: {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const std::size_t length = utf8::sequenceLength(bytes, at);
            if (length == 0) {
                // A sequence cut by the end of the bytes may go on in the next piece.
                const auto lead = static_cast<unsigned char>(bytes[at]);
                const std::size_t wanted = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                std::string probe(bytes.substr(at));
                probe.append(wanted - std::min(wanted, probe.size()), '\x80');
                const bool cut = bytes.size() - at < wanted && utf8::sequenceLength(probe, 0) == wanted;
                out.append(bytes.substr(0, at));
                return {at, cut ? Stop::Cut : Stop::Unreadable};
            }
            at += length;
        }
        out.append(bytes);
        return {bytes.size(), Stop::End};
    }
    default: return readUnits(bytes, out);
    }
}

// How long the sequence at `at` is by its lead byte (GB18030 also by the
// next: a digit makes four bytes).
std::size_t CodePageReader::sequenceLength(std::string_view bytes, std::size_t at) const {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (codePage_ == 54936) {
        if (byte < 0x81 || byte == 0xFF) return 1;
        if (at + 1 < bytes.size() && bytes[at + 1] >= '0' && bytes[at + 1] <= '9') return 4;
        return 2;
    }
    return lead_[byte] ? 2 : 1;
}

CodePageReader::Read CodePageReader::readCodePage(std::string_view bytes, std::string& out) const {
    // Whole sequences go to Windows a block at a time; a block it refuses
    // is read again one sequence at a time, to stop at the first it cannot
    // read (so a file with many such costs no more than blocks of them).
    constexpr std::size_t kBlock = 512;
    std::wstring text;
    std::size_t done = 0;
    Stop stop = Stop::End;
    while (done < bytes.size()) {
        std::size_t end = done;
        while (end < bytes.size() && end - done < kBlock) {
            const std::size_t length = sequenceLength(bytes, end);
            if (end + length > bytes.size()) {
                stop = Stop::Cut;
                break;
            }
            end += length;
        }
        if (end == done) break;
        if (const auto block = strictlyDecoded(codePage_, bytes.substr(done, end - done))) {
            text += *block;
            done = end;
            continue;
        }
        for (std::size_t length = 0; done < end; done += length) {
            length = sequenceLength(bytes, done);
            const auto sequence = strictlyDecoded(codePage_, bytes.substr(done, length));
            if (!sequence) {
                out += toUtf8(text);
                return {done, Stop::Unreadable};
            }
            text += *sequence;
        }
    }
    out += toUtf8(text);
    return {done, stop};
}

CodePageReader::Read CodePageReader::readUnits(std::string_view bytes, std::string& out) {
    const std::size_t size = unit();
    const auto unitAt = [&](std::size_t at) {
        char32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[at + (bigEndian_ ? i : size - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    };
    std::size_t at = 0;
    if (markPending_ && bytes.size() >= size) {
        markPending_ = false;
        const char32_t mark = unitAt(0);
        if (mark == 0xFEFF) {
            at = size;
        } else if ((size == 2 && mark == 0xFFFE) || (size == 4 && mark == 0xFFFE0000)) {
            bigEndian_ = false;
            at = size;
        }
    }
    while (at < bytes.size()) {
        if (bytes.size() - at < size) return {at, Stop::Cut};
        char32_t c = unitAt(at);
        std::size_t length = size;
        if (size == 2 && c >= 0xD800 && c <= 0xDBFF) {
            if (bytes.size() - at < 4) return {at, Stop::Cut};
            const char32_t low = unitAt(at + 2);
            if (low < 0xDC00 || low > 0xDFFF) return {at, Stop::Unreadable};
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            length = 4;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            return {at, Stop::Unreadable};
        }
        utf8::append(out, c);
        at += length;
    }
    return {at, Stop::End};
}

}  // namespace dovrel::platform::win
