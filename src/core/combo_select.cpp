#include "core/combo_select.h"

#include <charconv>

#include "platform/messages.h"
#include "platform/text.h"
#include "platform/runtime_error.h"

namespace dovrel {
namespace {

std::string valueText(const ComboValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) return std::to_string(*number);
    return std::get<std::string>(value);
}

// The value as a data number; a text that is not one is a type mismatch.
int64_t valueNumber(const ComboValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) return *number;
    const std::string text = trimSpaces(std::get<std::string>(value));
    int64_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        throw RuntimeError(err::TypeMismatch);
    }
    return number;
}

bool itemMatches(const ComboItem& item, const ComboValue& value, int16_t mode, std::string_view separator) {
    switch (mode) {
    case combo_mode::TrimmedText: return equalsIgnoreCase(trimSpaces(item.text), trimSpaces(valueText(value)));
    case combo_mode::ItemData: return item.itemData == valueNumber(value);
    case combo_mode::TextPrefix: {
        const std::u16string want = caseFolded(valueText(value));
        const std::u16string text = caseFolded(item.text);
        return text.compare(0, want.size(), want) == 0 && text.size() >= want.size();
    }
    case combo_mode::BeforeSeparator: {
        const std::u16string text = caseFolded(item.text);
        const std::size_t at = text.find(caseFolded(separator));
        return at != std::u16string::npos && text.substr(0, at) == caseFolded(valueText(value));
    }
    default: return false;
    }
}

}  // namespace

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
    } catch (...) {
        const ErrorReport error = describeCurrentException();
        showMessage(comboErrorText(error.number, error.description));
    }
    return -1;
}

}  // namespace dovrel
