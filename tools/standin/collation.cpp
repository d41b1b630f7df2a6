#include "collation.h"

#include "text_codec.h"

namespace standin {
namespace {

// Comparison flags of the wire's collation word, above the 20-bit LCID.
constexpr uint32_t IgnoreCase = 1u << 20, IgnoreKana = 1u << 22, IgnoreWidth = 1u << 23, Binary = 1u << 24;
// Windows collations without _KS and _WS ignore kana and width.
constexpr uint32_t CaseInsensitive = IgnoreCase | IgnoreKana | IgnoreWidth;
constexpr uint32_t CaseSensitive = IgnoreKana | IgnoreWidth;

const Collation Collations[] = {
    {"Chinese_PRC_CI_AS", 0x0804 | CaseInsensitive, 0, 936, true, false},
    {"Chinese_PRC_CS_AS", 0x0804 | CaseSensitive, 0, 936, false, false},
    {"Chinese_PRC_BIN", 0x0804 | Binary, 0, 936, false, true},
    {"Chinese_Taiwan_Stroke_CI_AS", 0x0404 | CaseInsensitive, 0, 950, true, false},
    {"Latin1_General_CI_AS", 0x0409 | CaseInsensitive, 0, 1252, true, false},
    {"Latin1_General_CS_AS", 0x0409 | CaseSensitive, 0, 1252, false, false},
    {"SQL_Latin1_General_CP1_CI_AS", 0x0409 | CaseInsensitive, 52, 1252, true, false},
    {"SQL_Latin1_General_CP1_CS_AS", 0x0409 | CaseSensitive, 51, 1252, false, false},
};

char32_t decode(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : 0;
    char32_t cp = extra == 1 ? b0 & 0x1Fu : extra == 2 ? b0 & 0x0Fu : b0 & 0x07u;
    for (; extra > 0 && i < s.size(); --extra) cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3Fu);
    return cp;
}

// Full-width ASCII forms as their ordinary forms: the collations here
// ignore width.
char32_t narrow(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFF01 + U'!';
    if (c == 0x3000) return U' ';
    return c;
}

// Simple lower-case mapping of the letters a case-insensitive comparison
// meets in practice: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char32_t lower(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) return U'i';
        if (c == 0x178) return 0xFF;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 1 ? c + 1 : c;
        if (c != 0x138 && c != 0x149 && c != 0x17F) return c % 2 == 0 ? c + 1 : c;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 63;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

char32_t fold(const Collation& c, char32_t cp) {
    if (c.binary) return cp;
    cp = narrow(cp);
    return c.ignoreCase ? lower(cp) : cp;
}

std::string_view withoutTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::string Collation::wireBytes() const {
    std::string b(5, '\0');
    for (int k = 0; k < 4; ++k) b[static_cast<size_t>(k)] = static_cast<char>((info >> (8 * k)) & 0xFF);
    b[4] = static_cast<char>(sortId);
    return b;
}

const Collation& defaultCollation() { return Collations[0]; }

std::span<const Collation> knownCollations() { return Collations; }

const Collation* findCollation(std::string_view name) {
    for (const auto& c : Collations) {
        if (equalsIgnoreCase(name, c.name)) return &c;
    }
    return nullptr;
}

std::u32string foldForComparison(const Collation& c, std::string_view utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = decode(utf8, i);
        out.push_back(fold(c, cp));
    }
    return out;
}

int compareText(const Collation& c, std::string_view a, std::string_view b) {
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = fold(c, decode(a, i)), y = fold(c, decode(b, j));
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace standin
