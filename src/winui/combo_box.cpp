#include "winui/combo_box.h"

#include "winui/win_text.h"

namespace dovrel::winui {
namespace {

std::wstring itemText(HWND combo, WPARAM index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) items.push_back(utf8(itemText(combo, static_cast<WPARAM>(i))));
    return items;
}

void SetComboValue(HWND combo, const ComboValue& value, int16_t mode, std::string_view separator) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(combo, L"");
    std::vector<ComboItem> items;
    const std::vector<std::string> texts = comboItems(combo);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto data = static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, i, 0));
        items.push_back({texts[i], data});
    }
    const int index = SetComboValueIndex(items, value, mode, separator);
    if (index >= 0) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace dovrel::winui
