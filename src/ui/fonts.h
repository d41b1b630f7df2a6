#pragma once
// The windows name Windows fonts ("宋体", "新細明體", "MS Serif"); where
// those are missing a CJK font stands in for them, so that the Chinese
// captions show.

namespace dovrel::ui {

// Call once the QApplication exists, before any window is made.
void substituteWindowsFonts();

}  // namespace dovrel::ui
