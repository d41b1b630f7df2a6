#pragma once
// The run state: the four connection settings of the run and the run
// flags. One instance for the process, reached directly by one thread at a
// time: the windows hand a command to their worker thread and wait for it.
#include <cstdint>
#include <string>

namespace dovrel {

struct ConnectionSettingsRecord {
    std::string ServerName;
    std::string DatabaseName;
    std::string UserName;      // held in clear
    std::string UserPassword;  // held in clear
};

struct RunState {
    ConnectionSettingsRecord ConnectionSettings;
    bool ServerReachable = false;
    bool DatabaseExists = false;
    int32_t UseBig5Conversion = 0;
    std::string UiFontName;
};

RunState& runState();
// Back to the initial values (tests).
void resetRunState();

}  // namespace dovrel
