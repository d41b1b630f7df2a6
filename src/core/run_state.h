#pragma once
// The run state: the four connection settings of the run and the run
// flags. One instance for the process, reached directly from the one user
// interface thread, as every procedure of the program expects.
#include <cstdint>
#include <string>

namespace dovrel {

struct ConnectionSettingsRecord {
    std::string ServerName;
    std::string DatabaseName;
    std::string UserName;       // held in clear
    std::string UserPassword;   // held in clear
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

// The registry key path under which every setting of the program lives.
inline constexpr const char* kSettingsKey = "SoftWare\\Tovix\\HR";
// The key text of the credential cipher, passed by every caller.
inline constexpr const char* kCipherKey = "Harbor kq,Greetings to Unseal!";

}  // namespace dovrel
