#pragma once
// SetComboValue for the window's Win32 combo boxes.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/combo_select.h"

namespace dovrel::winui {

// Clears the selection and the edit text of `combo`, then selects the first
// item that matches `value` by the rule of `mode` (see matchingComboIndex);
// a failure shows the "System Error on Model" message and leaves the combo
// box without a selection. An item's data number is its item data.
void SetComboValue(HWND combo, const ComboValue& value, int16_t mode, std::string_view separator);

// The texts of the combo box's list, in order.
std::vector<std::string> comboItems(HWND combo);

}  // namespace dovrel::winui
