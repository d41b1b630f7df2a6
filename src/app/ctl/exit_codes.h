#pragma once
// dovrelctl's exit codes for the table exchange, the same in --help and the
// README, so that scripts can tell a refused file from a missing server.
#include "exchange/import_summary.h"

namespace dovrel::ctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitDataRefused = 1;       // columns differ, bad cells or bytes, a batch refused
inline constexpr int kExitUsage = 2;             // the command line, a table name, an encoding name
inline constexpr int kExitServerUnreachable = 3; // no server, or the login or database refused
inline constexpr int kExitFileUnreadable = 4;    // missing, a folder, unreadable, empty

inline constexpr const char* kExitCodesHelp =
    "Exit codes: 0 success; 1 data refused (columns that differ, a missing table, cells that would become NULL, "
    "'' or 0, bytes that cannot be decoded, a batch the server refused); 2 usage (the command line, a table name, "
    "an encoding); 3 server unreachable or login refused; 4 file unreadable (missing, a folder, unreadable, empty).";

inline int exitCodeFor(ImportOutcome outcome) {
    switch (outcome) {
    case ImportOutcome::Success: return kExitSuccess;
    case ImportOutcome::BadArgument: return kExitUsage;
    case ImportOutcome::ConnectionFailed: return kExitServerUnreachable;
    case ImportOutcome::FileUnreadable: return kExitFileUnreadable;
    default: return kExitDataRefused;
    }
}

}  // namespace dovrel::ctl
