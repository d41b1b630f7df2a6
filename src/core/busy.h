#pragma once
// The busy indicator of the settings window's long commands: hourglass
// pointer and a status text in panel 1 of its status bar.
#include <string>

namespace dovrel {

// Hourglass on; panel 1 shows `statusText`, or the default "processing"
// text when it is empty.
void BeginBusy(const std::string& statusText = {});
// Default pointer and "ready" in panel 1. Not counted: one call ends any
// number of BeginBusy calls.
void EndBusy();

}  // namespace dovrel
