#pragma once
// SetComboValue for the window's combo boxes.
#include <cstdint>
#include <string_view>

#include "core/combo_select.h"

class QComboBox;

namespace dovrel::ui {

// Clears the selection of `combo` (and, for an editable one, its text),
// then selects the first item that matches `value` by the rule of `mode`
// (see matchingComboIndex); a failure shows the "System Error on Model"
// message and leaves the combo box without a selection. The item's data
// number is its Qt::UserRole data.
void SetComboValue(QComboBox& combo, const ComboValue& value, int16_t mode, std::string_view separator);

}  // namespace dovrel::ui
