#pragma once
// Windows that a taskbar should not list (the progress window of the
// start-up, which belongs with the settings window).
class QWidget;

namespace dovrel::ui {

// Asks the window manager to keep `window` out of the taskbar and the
// pager. Call before the window is first shown; does nothing where the
// window system has no such request.
void keepOutOfTaskbar(QWidget& window);

}  // namespace dovrel::ui
