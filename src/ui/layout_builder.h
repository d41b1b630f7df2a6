#pragma once
// Builds a window's controls from its layout table (core/window_layout.h).
#include <QRect>
#include <QString>
#include <map>
#include <string>

#include "core/window_layout.h"

class QFont;
class QWidget;

namespace dovrel::ui {

// Twips to pixels at 96 dots per inch, rounded.
constexpr int twipsToPixels(int twips) { return (twips * 2 + layout::kTwipsPerPixel) / (2 * layout::kTwipsPerPixel); }
constexpr QRect twips(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The controls of one window, by their names.
class BuiltControls {
public:
    void add(std::string_view name, QWidget* widget) { widgets_[std::string(name)] = widget; }
    QWidget* widget(std::string_view name) const { return widgets_.at(std::string(name)); }
    template <class Widget>
    Widget* as(std::string_view name) const {
        return static_cast<Widget*>(widget(name));
    }

private:
    std::map<std::string, QWidget*> widgets_;
};

// A font as the table gives it, over `base` for what it leaves open.
QFont fontOf(const layout::Font& font, const QFont& base);

// Gives `host` the window's name, caption, design font and fixed client
// size, then creates every control under it: named, placed, with its
// caption, alignment, font and picture, labels bound to their buddies, and
// the focus order of the table.
BuiltControls buildWindow(QWidget& host, const layout::Window& window);

// Gives a label that sizes itself to its text the size of its text, keeping
// its top-left corner (top-right when right-aligned); a wrapping label grows
// downwards where the font in use needs more lines.
void fitToText(QWidget& label, layout::Kind kind);

}  // namespace dovrel::ui
