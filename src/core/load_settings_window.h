#pragma once
// The settings window's load procedure (Form_Load), whatever the window
// system: the hosts supply their controls, the order is kept here.
#include <string>

#include "core/connection_fields.h"

namespace dovrel {

struct ConnectionSettingsRecord;

// What the load procedure asks of the settings window.
class SettingsWindowControls {
public:
    virtual ~SettingsWindowControls() = default;
    // One more entry in the server box's list.
    virtual void addServerEntry(const std::string& server) = 0;
    // The server, database, login and password boxes set from `settings`.
    virtual void showConnectionSettings(const ConnectionSettingsRecord& settings) = 0;
    // The four boxes as they stand.
    virtual ConnectionFields fields() const = 0;
    // The window's own procedures.
    virtual void ShowDiagnosis() = 0;
    virtual void LocalizeControls() = 0;
};

// Under the busy pointer: the server history into the server box's list,
// the run state's settings into the boxes (after a start that could not
// reach the server, taken back from the boxes as they stand and shown
// again), the diagnosis, the captions localized. An error is shown as a
// command's error is. Returns true when every step was done.
bool LoadSettingsWindow(SettingsWindowControls& window);

}  // namespace dovrel
