#pragma once
// The machine-wide settings of the program: where they live, what their
// values are called and what a missing value becomes. Other installations
// of the client application read the same values.
#include <array>

namespace dovrel {

// The key under HKEY_LOCAL_MACHINE that holds every value.
inline constexpr const char* kSettingsKey = "SoftWare\\Tovix\\HR";

namespace value_name {
inline constexpr const char* ServerName = "ServerName";
// Read at start as "DataBase", saved as "Database": value names ignore case.
inline constexpr const char* DataBase = "DataBase";
inline constexpr const char* Database = "Database";
inline constexpr const char* User = "User";          // cipher text
inline constexpr const char* Password = "Password";  // cipher text
// The server history of the settings window, most recent first.
inline constexpr std::array<const char*, 4> ServerHistory = {"FirstServer", "SecondServer", "ThirdServer",
                                                             "FourthServer"};
}  // namespace value_name

// What a missing or empty value becomes on reading (the server's default
// is the computer name).
namespace default_value {
inline constexpr const char* Database = "TovixHR";
inline constexpr const char* User = "sa";
inline constexpr const char* Password = "";
inline constexpr const char* HistoryEntry = "";
}  // namespace default_value

// The key text of the credential cipher, passed by every caller.
inline constexpr const char* kCipherKey = "Harbor kq,Greetings to Unseal!";

}  // namespace dovrel
