#include "db/odbc_text.h"

#include "platform/utf8_check.h"

namespace dovrel::ado::odbc {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

}  // namespace

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    // Each byte that begins no well-formed sequence becomes one U+FFFD.
    for (std::size_t i = 0; i < utf8.size();) {
        const auto decoded = platform::utf8::decodeAt(utf8, i);
        appendUtf16(out, decoded ? decoded->codePoint : kReplacement);
        i += decoded ? decoded->length : 1;
    }
    return out;
}

std::string toUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        platform::utf8::append(out, c);
    }
    return out;
}

}  // namespace dovrel::ado::odbc
