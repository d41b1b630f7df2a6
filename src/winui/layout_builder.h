#pragma once
// Builds a window's controls from its layout table (core/window_layout.h)
// as Win32 controls: twips at 15 to the pixel, scaled by the window's DPI.
// A frame is drawn as a group box with its controls beside it, so that the
// focus order of the table can run in and out of it; a picture holds its
// labels as its own children.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/window_layout.h"
#include "winui/handles.h"

namespace dovrel::winui {

// Twips to pixels at `dpi` dots per inch, rounded (15 twips to the pixel at 96).
int twipsToPixels(int twips, UINT dpi);

// The DPI that the monitor of `window` has (96 where the system cannot say).
UINT windowDpi(HWND window);

// The design place of a control, in twips of the window's client area
// (or of the picture that holds it), whatever frame it sits in.
RECT designBox(const layout::Window& window, const layout::Control& control);

// Resizes a label that sizes itself to its text to its text, keeping its
// top-left corner (top-right when right-aligned).
void fitLabelToText(HWND label);

class BuiltWindow {
public:
    // Gives `host` the window's caption and creates its controls, named,
    // with their captions, fonts and pictures, in the focus order of the
    // table, and places them at the host's DPI.
    BuiltWindow(HWND host, const layout::Window& table);
    BuiltWindow(const BuiltWindow&) = delete;
    BuiltWindow& operator=(const BuiltWindow&) = delete;

    HWND control(std::string_view name) const;
    const layout::Window& table() const { return table_; }
    // Every control of the table, in its order.
    std::vector<std::pair<const layout::Control*, HWND>> controls() const;
    UINT dpi() const { return dpi_; }

    // Sizes the host's client area and every control, font and status
    // panel for `dpi`.
    void place(UINT dpi);
    // The font face of one control, or of the window itself (its controls
    // keep theirs); sizes stay.
    void setFace(HWND control, const std::string& face);
    void setWindowFace(const std::string& face);
    // A label's box after its text changed (see layout::Kind).
    void fitToText(HWND control);

private:
    struct Entry {
        const layout::Control* control;
        HWND window;
        std::string face;
        double points;
    };
    const Entry& entry(HWND window) const;
    HFONT font(const std::string& face, double points);
    HFONT fontOf(const Entry& entry);
    void placeControl(const Entry& entry);
    void placeStatusPanels(HWND bar) const;
    void fitResultBox(Entry& entry);

    HWND host_;
    const layout::Window& table_;
    std::vector<Entry> entries_;
    std::string windowFace_;
    double windowPoints_;
    UINT dpi_ = 96;
    std::map<std::pair<std::string, int>, FontHandle> fonts_;
};

// The face and size a table font gives, over the window's design font;
// a window without one takes the system's dialog face at 9 points.
std::string faceOf(const layout::Font& font, const layout::Font& design);
double pointsOf(const layout::Font& font, const layout::Font& design);

}  // namespace dovrel::winui
