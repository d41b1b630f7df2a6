#include "ui/combo_box.h"

#include <QComboBox>

namespace dovrel::ui {

void SetComboValue(QComboBox& combo, const ComboValue& value, int16_t mode, std::string_view separator) {
    combo.setCurrentIndex(-1);
    if (combo.isEditable()) combo.clearEditText();
    std::vector<ComboItem> items;
    items.reserve(static_cast<std::size_t>(combo.count()));
    for (int i = 0; i < combo.count(); ++i) {
        items.push_back({combo.itemText(i).toStdString(), combo.itemData(i, Qt::UserRole).toInt()});
    }
    const int index = SetComboValueIndex(items, value, mode, separator);
    if (index >= 0) combo.setCurrentIndex(index);
}

}  // namespace dovrel::ui
