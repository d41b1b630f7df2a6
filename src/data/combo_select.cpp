#include "data/combo_select.h"

#include <charconv>

#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel {
namespace {

// Lower-case form of one UTF-16 unit for the scripts that names are
// written in: Latin, Greek, Cyrillic and the full-width Latin letters.
char16_t foldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F) ||
        (c >= 0xFF21 && c <= 0xFF3A)) {
        return static_cast<char16_t>(c + 32);
    }
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    return c;
}

// UTF-8 to case-folded UTF-16; a malformed byte becomes U+FFFD.
std::u16string folded(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6 || (b >> 4) == 0xE || (b >> 3) == 0x1E) {
            len = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : 4;
            char32_t v = b & (0x7F >> len);
            bool ok = i + len <= utf8.size();
            for (std::size_t k = 1; ok && k < len; ++k) {
                const auto cont = static_cast<unsigned char>(utf8[i + k]);
                ok = (cont & 0xC0) == 0x80;
                v = (v << 6) | (cont & 0x3F);
            }
            if (ok) cp = v;
            else len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(foldCase(static_cast<char16_t>(cp)));
        }
    }
    return out;
}

std::string valueText(const ComboValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) return std::to_string(*number);
    return std::get<std::string>(value);
}

// The value as a data number; a text that is not one is a type mismatch.
int64_t valueNumber(const ComboValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) return *number;
    const std::string text = trimBlanks(std::get<std::string>(value));
    int64_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        throw RuntimeError(err::TypeMismatch);
    }
    return number;
}

bool itemMatches(const ComboItem& item, const ComboValue& value, int16_t mode, std::string_view separator) {
    switch (mode) {
    case combo_mode::TrimmedText:
        return equalsIgnoringCase(trimBlanks(item.text), trimBlanks(valueText(value)));
    case combo_mode::ItemData:
        return item.itemData == valueNumber(value);
    case combo_mode::TextPrefix: {
        const std::u16string want = folded(valueText(value));
        const std::u16string text = folded(item.text);
        return text.compare(0, want.size(), want) == 0 && text.size() >= want.size();
    }
    case combo_mode::BeforeSeparator: {
        const std::u16string text = folded(item.text);
        const std::size_t at = text.find(folded(separator));
        return at != std::u16string::npos && text.substr(0, at) == folded(valueText(value));
    }
    default:
        return false;
    }
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return folded(a) == folded(b);
}

std::string trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

int matchingComboIndex(const std::vector<ComboItem>& items, const ComboValue& value, int16_t mode,
                       std::string_view separator) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (itemMatches(items[i], value, mode, separator)) return static_cast<int>(i);
    }
    return -1;
}

std::string comboErrorText(int number, const std::string& description) {
    return "System Error on Model\" SetComboValue  \"" + std::to_string(number) + description;
}

int SetComboValueIndex(const std::vector<ComboItem>& items, const ComboValue& value, int16_t mode,
                       std::string_view separator) {
    try {
        return matchingComboIndex(items, value, mode, separator);
    } catch (const RuntimeError& e) {
        showMessage(comboErrorText(e.number(), e.description()));
    } catch (const std::exception&) {
        // Beyond the type mismatch only memory can run out here.
        showMessage(comboErrorText(err::OutOfMemory, errorDescription(err::OutOfMemory)));
    }
    return -1;
}

}  // namespace dovrel
