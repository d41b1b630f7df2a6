#include "exchange/detail/identifiers.h"

namespace dovrel::exchange::detail {
namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

std::size_t plainIdentifier(std::string_view text) {
    if (text.empty() || !(isLetter(text[0]) || text[0] == '_' || text[0] == '#')) return 0;
    std::size_t i = 1;
    while (i < text.size() && (isLetter(text[i]) || (text[i] >= '0' && text[i] <= '9') || text[i] == '_' ||
                               text[i] == '@' || text[i] == '#' || text[i] == '$'))
        ++i;
    return i;
}

std::size_t bracketedIdentifier(std::string_view text) {
    if (text.empty() || text[0] != '[') return 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '\'') return 0;
        if (c != ']') continue;
        if (i + 1 < text.size() && text[i + 1] == ']') {
            ++i;
            continue;
        }
        return i > 1 ? i + 1 : 0;
    }
    return 0;
}

// The length of the identifier that begins `text` (0 when none does).
std::size_t identifier(std::string_view text) {
    const std::size_t bracketed = bracketedIdentifier(text);
    return bracketed ? bracketed : plainIdentifier(text);
}

}  // namespace

bool isColumnName(std::string_view name) { return !name.empty() && identifier(name) == name.size(); }

bool isTableName(std::string_view name) {
    const std::size_t first = identifier(name);
    if (first == 0) return false;
    if (first == name.size()) return true;
    return name[first] == '.' && isColumnName(name.substr(first + 1));
}

std::string columnReference(std::string_view name) {
    if (isColumnName(name)) return std::string(name);
    std::string quoted = "[";
    for (char c : name) quoted.append(c == ']' ? "]]" : std::string_view(&c, 1));
    return quoted + "]";
}

}  // namespace dovrel::exchange::detail
