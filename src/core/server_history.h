#pragma once
// The server history: four remembered server names, most recent first,
// kept in the settings as FirstServer to FourthServer. The settings window
// lists them at load; the database listing rewrites them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dovrel {

using ServerHistory = std::array<std::string, 4>;

// The history after the server `current` (trimmed) has been listed:
// `current` first, then `previous` (the server of the last check) when it
// differs, then further entries of the server list `listEntries` in their
// order, skipping any equal to one already taken. Names compare without
// regard to letter case; free entries are empty.
ServerHistory nextServerHistory(const std::string& previous, const std::string& current,
                                const std::vector<std::string>& listEntries);

// Writes the four entries in order; returns the first code that is not 0
// (0 when every write succeeded).
int32_t WriteServerHistory(const ServerHistory& history);

// Reads the four entries in order, creating missing ones empty.
ServerHistory ReadServerHistory();

}  // namespace dovrel
