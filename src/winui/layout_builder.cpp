#include "winui/layout_builder.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "winui/picture_control.h"
#include "winui/win_text.h"

namespace dovrel::winui {
namespace {

using layout::Kind;

// The longest diagnosis: two result lines, an empty one, the advice heading
// and three causes.
constexpr int kLongestDiagnosisLines = 7;
// The result box's text keeps this far off its left edge (pixels at 96 DPI).
constexpr int kResultMargin = 2;
// Lines that an open combo box list shows.
constexpr int kComboListLines = 8;

DWORD styleOf(const layout::Control& control) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (control.tabIndex >= 0 && layout::takesFocus(control.kind)) style |= WS_TABSTOP;
    const bool right = control.align == layout::Align::Right;
    switch (control.kind) {
    case Kind::Frame: return style | BS_GROUPBOX;
    case Kind::ComboBox: return style | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
    case Kind::TextBox: return style | ES_AUTOHSCROLL;
    case Kind::PasswordBox: return style | ES_AUTOHSCROLL | ES_PASSWORD;
    case Kind::ResultBox: return style | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
    case Kind::Button: return style | BS_PUSHBUTTON;
    case Kind::Label:
    case Kind::AutoSizeLabel: return style | (right ? SS_RIGHT : SS_LEFTNOWORDWRAP);
    case Kind::WrappingLabel: return style | (right ? SS_RIGHT : SS_LEFT);
    case Kind::Picture: return style;
    case Kind::StatusBar: return style | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    }
    return style;
}

const wchar_t* classOf(Kind kind) {
    switch (kind) {
    case Kind::Frame:
    case Kind::Button: return WC_BUTTONW;
    case Kind::ComboBox: return WC_COMBOBOXW;
    case Kind::TextBox:
    case Kind::PasswordBox:
    case Kind::ResultBox: return WC_EDITW;
    case Kind::Label:
    case Kind::AutoSizeLabel:
    case Kind::WrappingLabel: return WC_STATICW;
    case Kind::Picture: return kPictureClass;
    case Kind::StatusBar: return STATUSCLASSNAMEW;
    }
    return WC_STATICW;
}

bool isLabel(Kind kind) { return kind == Kind::Label || kind == Kind::AutoSizeLabel || kind == Kind::WrappingLabel; }

// The text's size in `label`'s font; `width` > 0 wraps it at that width.
SIZE textSize(HWND label, const std::wstring& text, int width) {
    const HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT box{0, 0, width > 0 ? width : 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return {box.right - box.left, box.bottom - box.top};
}

RECT placeInParent(HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <class Function>
Function user32Function(const char* name) {
    // Windows 10's DPI functions, looked up so that older systems still run the program.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int twipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

UINT windowDpi(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    const HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

RECT designBox(const layout::Window& window, const layout::Control& control) {
    RECT box{control.left, control.top, control.left + control.width, control.top + control.height};
    if (!control.container.empty()) {
        const layout::Control& container = layout::controlNamed(window, control.container);
        if (container.kind == Kind::Frame) OffsetRect(&box, container.left, container.top);
    }
    return box;
}

std::string faceOf(const layout::Font& font, const layout::Font& design) {
    if (!font.face.empty()) return std::string(font.face);
    if (!design.face.empty()) return std::string(design.face);
    return "MS Shell Dlg";
}

double pointsOf(const layout::Font& font, const layout::Font& design) {
    if (font.points > 0) return font.points;
    return design.points > 0 ? design.points : 9;
}

void fitLabelToText(HWND label) {
    const SIZE size = textSize(label, windowText(label), 0);
    const RECT box = placeInParent(label);
    const bool right = (GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT;
    const int left = right ? box.right - size.cx : box.left;
    MoveWindow(label, left, box.top, size.cx, size.cy, TRUE);
}

BuiltWindow::BuiltWindow(HWND host, const layout::Window& table)
    : host_(host),
      table_(table),
      windowFace_(faceOf({}, table.designFont)),
      windowPoints_(pointsOf({}, table.designFont)) {
    registerPictureClass();
    setWindowText(host, table.caption);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const layout::Control& control : table.controls) {
        HWND parent = host;
        if (!control.container.empty()) {
            const layout::Control& container = layout::controlNamed(table, control.container);
            if (container.kind == Kind::Picture) parent = this->control(control.container);
        }
        const std::wstring picture = wide(control.picture);
        const DWORD exStyle =
            (control.kind == Kind::TextBox || control.kind == Kind::PasswordBox || control.kind == Kind::ResultBox)
                ? WS_EX_CLIENTEDGE
                : 0;
        const HWND window = CreateWindowExW(
            exStyle, classOf(control.kind), wide(control.caption).c_str(), styleOf(control), 0, 0, 0, 0, parent,
            nullptr, instance, control.kind == Kind::Picture ? const_cast<wchar_t*>(picture.c_str()) : nullptr);
        if (window == nullptr) throw std::runtime_error("cannot create the control " + std::string(control.name));
        if (control.font.highlight) SetPropW(window, kHighlightProperty, reinterpret_cast<HANDLE>(1));
        // The password box shows "*" for every character, whatever the theme's own mark.
        if (control.kind == Kind::PasswordBox) SendMessageW(window, EM_SETPASSWORDCHAR, L'*', 0);
        entries_.push_back(
            {&control, window, faceOf(control.font, table.designFont), pointsOf(control.font, table.designFont)});
    }

    // The focus order is the order of the siblings: the controls that take
    // the focus by their tab index, each label with a mnemonic just before
    // the control it moves to, then everything else, the frame last so
    // that it draws beneath the controls it surrounds.
    std::vector<const Entry*> focusable, others;
    for (const Entry& entry : entries_) {
        if (GetParent(entry.window) != host_) continue;
        const bool takesFocus = entry.control->tabIndex >= 0 && layout::takesFocus(entry.control->kind);
        if (takesFocus)
            focusable.push_back(&entry);
        else if (entry.control->buddy.empty())
            others.push_back(&entry);
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const Entry* a, const Entry* b) { return a->control->tabIndex < b->control->tabIndex; });
    std::stable_partition(others.begin(), others.end(), [](const Entry* e) { return e->control->kind != Kind::Frame; });
    std::vector<HWND> order;
    for (const Entry* entry : focusable) {
        for (const Entry& label : entries_) {
            if (label.control->buddy == entry->control->name) order.push_back(label.window);
        }
        order.push_back(entry->window);
    }
    for (const Entry* entry : others) order.push_back(entry->window);
    HWND after = HWND_TOP;
    for (HWND window : order) {
        SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = window;
    }
    place(windowDpi(host));
}

HWND BuiltWindow::control(std::string_view name) const {
    for (const Entry& entry : entries_) {
        if (entry.control->name == name) return entry.window;
    }
    throw std::logic_error("the window " + std::string(table_.name) + " has no control " + std::string(name));
}

std::vector<std::pair<const layout::Control*, HWND>> BuiltWindow::controls() const {
    std::vector<std::pair<const layout::Control*, HWND>> all;
    for (const Entry& entry : entries_) all.emplace_back(entry.control, entry.window);
    return all;
}

const BuiltWindow::Entry& BuiltWindow::entry(HWND window) const {
    for (const Entry& candidate : entries_) {
        if (candidate.window == window) return candidate;
    }
    throw std::logic_error("the control is not one of the window " + std::string(table_.name));
}

HFONT BuiltWindow::font(const std::string& face, double points) {
    const int height = -static_cast<int>(std::lround(points * dpi_ / 72.0));
    auto& slot = fonts_[{face, height}];
    if (!slot) {
        // DEFAULT_CHARSET: a Chinese character set would let the font
        // mapper pick a face without Latin letters.
        slot.reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wide(face).c_str()));
    }
    return slot.get();
}

HFONT BuiltWindow::fontOf(const Entry& entry) { return font(entry.face, entry.points); }

void BuiltWindow::place(UINT dpi) {
    dpi_ = dpi;
    const auto style = static_cast<DWORD>(GetWindowLongW(host_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(host_, GWL_EXSTYLE));
    RECT frame{0, 0, twipsToPixels(table_.clientWidth, dpi), twipsToPixels(table_.clientHeight, dpi)};
    static const auto adjustForDpi = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr)
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(host_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(host_, WM_SETFONT, reinterpret_cast<WPARAM>(font(windowFace_, windowPoints_)), FALSE);
    for (Entry& entry : entries_) {
        placeControl(entry);
        if (entry.control->kind == Kind::ResultBox) fitResultBox(entry);
    }
    InvalidateRect(host_, nullptr, TRUE);
}

void BuiltWindow::placeControl(const Entry& entry) {
    const layout::Control& control = *entry.control;
    const RECT design = designBox(table_, control);
    // The edges are scaled, not the sizes, so that neighbours stay flush at any DPI.
    const int left = twipsToPixels(design.left, dpi_), top = twipsToPixels(design.top, dpi_);
    const int width = twipsToPixels(design.right, dpi_) - left, height = twipsToPixels(design.bottom, dpi_) - top;
    SendMessageW(entry.window, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(entry)), FALSE);
    if (control.kind == Kind::ComboBox) {
        // The height given is the open list's; the box itself is as tall as
        // its selection field, which is set to the table's height.
        const auto item = static_cast<int>(SendMessageW(entry.window, CB_GETITEMHEIGHT, 0, 0));
        MoveWindow(entry.window, left, top, width, height + kComboListLines * item, FALSE);
        // The field's height follows its item height by a margin that the
        // system decides; it never gets shorter than its font needs.
        RECT box;
        GetWindowRect(entry.window, &box);
        const auto field = static_cast<int>(SendMessageW(entry.window, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
        SendMessageW(entry.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     std::max(1, field + height - static_cast<int>(box.bottom - box.top)));
    } else {
        MoveWindow(entry.window, left, top, width, height, FALSE);
    }
    if (control.kind == Kind::Picture) setPictureDpi(entry.window, dpi_);
    if (control.kind == Kind::StatusBar) placeStatusPanels(entry.window);
    if (isLabel(control.kind)) fitToText(entry.window);
}

// Panels 2 onwards keep their widths at the right end; panel 1 takes what is
// left of its own width (the panels of the settings window would not fit
// side by side).
void BuiltWindow::placeStatusPanels(HWND bar) const {
    const auto count = table_.statusPanels.size();
    if (count == 0) return;
    RECT client;
    GetClientRect(bar, &client);
    std::vector<int> rightEdges(count);
    int right = client.right;
    for (std::size_t i = count; i-- > 1;) {
        rightEdges[i] = right;
        right -= twipsToPixels(table_.statusPanels[i], dpi_);
    }
    rightEdges[0] = std::min(twipsToPixels(table_.statusPanels[0], dpi_), right);
    SendMessageW(bar, SB_SETPARTS, count, reinterpret_cast<LPARAM>(rightEdges.data()));
}

// The longest diagnosis fits without scrolling: the text gets the whole
// height of the box, and the font shrinks a little where the font in use is
// taller than the design font.
void BuiltWindow::fitResultBox(Entry& entry) {
    RECT client;
    GetClientRect(entry.window, &client);
    const std::string& face = entry.face;
    const double design = pointsOf(entry.control->font, table_.designFont);
    const HDC dc = GetDC(entry.window);
    double points = design;
    for (; points > 7; points -= 0.25) {
        const HGDIOBJ previous = SelectObject(dc, font(face, points));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        // The box keeps a pixel above and below the text inside its edge.
        if (kLongestDiagnosisLines * metrics.tmHeight <= client.bottom - 2) break;
    }
    ReleaseDC(entry.window, dc);
    entry.points = points;
    SendMessageW(entry.window, WM_SETFONT, reinterpret_cast<WPARAM>(font(face, points)), FALSE);
    RECT text{MulDiv(kResultMargin, static_cast<int>(dpi_), 96), 0, client.right, client.bottom};
    SendMessageW(entry.window, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

void BuiltWindow::setFace(HWND control, const std::string& face) {
    for (Entry& candidate : entries_) {
        if (candidate.window != control) continue;
        candidate.face = face;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(candidate)), TRUE);
        return;
    }
}

void BuiltWindow::setWindowFace(const std::string& face) {
    windowFace_ = face;
    SendMessageW(host_, WM_SETFONT, reinterpret_cast<WPARAM>(font(windowFace_, windowPoints_)), FALSE);
}

void BuiltWindow::fitToText(HWND window) {
    const Entry& found = entry(window);
    const layout::Control& control = *found.control;
    if (control.kind == Kind::AutoSizeLabel) {
        // Measured from the design box, so that a right-aligned label keeps its right edge.
        const RECT design = designBox(table_, control);
        const SIZE size = textSize(window, windowText(window), 0);
        const int right = twipsToPixels(design.right, dpi_);
        const int left = control.align == layout::Align::Right ? right - size.cx : twipsToPixels(design.left, dpi_);
        MoveWindow(window, left, twipsToPixels(design.top, dpi_), size.cx, size.cy, TRUE);
    } else if (control.kind == Kind::WrappingLabel) {
        const RECT box = placeInParent(window);
        const int width = box.right - box.left;
        const SIZE size = textSize(window, windowText(window), width);
        const int designHeight = twipsToPixels(designBox(table_, control).bottom, dpi_) - box.top;
        const int height = std::max(designHeight, static_cast<int>(size.cy));
        MoveWindow(window, box.left, box.top, width, height, TRUE);
    }
    // A label on a picture shows through: the picture repaints beneath it.
    if (isLabel(control.kind) && GetParent(window) != host_) {
        RECT box = placeInParent(window);
        InvalidateRect(GetParent(window), &box, TRUE);
    }
}

}  // namespace dovrel::winui
