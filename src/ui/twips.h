#pragma once
// The windows are laid out in twips, 15 to the pixel at 96 dots per inch.
#include <QRect>
#include <QSize>

namespace dovrel::ui {

constexpr int twipsToPixels(int twips) { return (twips * 2 + 15) / 30; }   // rounded

constexpr QRect twips(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The settings window's client area, 7485 x 5730 twips.
inline constexpr QSize kClientSize{twipsToPixels(7485), twipsToPixels(5730)};

}  // namespace dovrel::ui
