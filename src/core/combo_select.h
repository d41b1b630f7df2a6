#pragma once
// The matching rule of SetComboValue, over plain list items, so that it
// holds without a window system. The window's combo boxes hand their items
// in and select the index that comes back.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dovrel {

// One list entry of a combo box: its text and its associated data number.
struct ComboItem {
    std::string text;
    int32_t itemData = 0;
};

// What SetComboValue looks for: a text or a number.
using ComboValue = std::variant<std::string, int64_t>;

// The modes of SetComboValue.
namespace combo_mode {
inline constexpr int16_t TrimmedText = 1;      // trimmed item text equals trimmed value
inline constexpr int16_t ItemData = 2;         // item data number equals value
inline constexpr int16_t TextPrefix = 3;       // item text begins with value
inline constexpr int16_t BeforeSeparator = 4;  // item text before the separator equals value
}  // namespace combo_mode

// Index of the first item that matches `value` by the rule of `mode`, -1
// when none does (or the mode is unknown). Texts compare without regard to
// letter case; lengths count UTF-16 units, as the window's texts do. In the
// separator mode an item without the separator does not match. Throws
// RuntimeError (type mismatch) when the data-number mode is given a text
// that is not a number.
int matchingComboIndex(const std::vector<ComboItem>& items, const ComboValue& value, int16_t mode,
                       std::string_view separator);

// The index that SetComboValue selects: matchingComboIndex, except that a
// failure is shown as the "System Error on Model" message and gives -1.
// Never throws.
int SetComboValueIndex(const std::vector<ComboItem>& items, const ComboValue& value, int16_t mode,
                       std::string_view separator);

// The message text of a failure inside SetComboValue.
std::string comboErrorText(int number, const std::string& description);

}  // namespace dovrel
