#pragma once
// The two windows as data: each control's name, kind, container, place and
// size in twips (15 to the pixel at 96 dots per inch), position in the focus
// order, design caption (an "&" marks its mnemonic) and font. The Qt windows
// and the Windows front end build themselves from these tables, so that both
// show the same windows.
#include <span>
#include <string_view>

namespace dovrel::layout {

inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

enum class Kind {
    Frame,        // a frame without caption that holds other controls
    ComboBox,     // with an editable text part
    TextBox,      // one line
    PasswordBox,  // one line, "*" for every character
    ResultBox,    // several lines, with a vertical scroll bar
    Button,
    Label,          // keeps its box
    AutoSizeLabel,  // sizes itself to its text, keeping the corner its alignment names
    WrappingLabel,  // keeps its width, wraps its text (and grows where a font needs more lines)
    Picture,        // a bitmap
    StatusBar,      // docked at the bottom, in panels
};

enum class Align { Left, Right };

struct Font {
    std::string_view face;   // empty: the window's design font
    double points = 0;       // 0: the window's design size
    bool highlight = false;  // text in the system highlight colour
};

struct Control {
    std::string_view name;  // the object name, as tests and handlers find it
    Kind kind;
    std::string_view container;    // empty: the window itself
    int left, top, width, height;  // twips, in the container
    int tabIndex;                  // place in the focus order; -1 takes no focus
    std::string_view caption = {};
    Align align = Align::Left;
    std::string_view buddy = {};    // the control a label's mnemonic moves to
    std::string_view picture = {};  // the bitmap's name
    Font font = {};
};

struct Window {
    std::string_view name;
    std::string_view caption;       // passes through LocalizeText at load when `localizeCaption`
    int clientWidth, clientHeight;  // twips
    Font designFont;                // of the window and every control without its own
    bool localizeCaption;
    std::span<const Control> controls;
    std::span<const int> statusPanels;  // twips, panel 1 first
};

// frmDovrel, the connection settings window.
const Window& settingsWindow();
// frmSetupType, the progress window of the start-up.
const Window& progressWindow();

// The control named `name`; a name the table lacks is a programming error.
const Control& controlNamed(const Window& window, std::string_view name);

// Labels and buttons take the run's display font and localized captions at
// load; the other controls keep their design fonts.
bool takesDisplayFont(Kind kind);

// True for the kinds that can hold the focus (labels, frames and status bars cannot).
bool takesFocus(Kind kind);

}  // namespace dovrel::layout
