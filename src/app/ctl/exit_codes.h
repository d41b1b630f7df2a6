#pragma once
// dovrelctl's exit codes, the same in --help and the README, so that scripts
// can tell a refused file from a missing server or a damaged settings store.
#include "exchange/import_summary.h"

namespace dovrel::ctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitDataRefused = 1;        // columns differ, bad cells or bytes, a batch refused
inline constexpr int kExitUsage = 2;              // the command line, a table name, an encoding name
inline constexpr int kExitServerUnreachable = 3;  // no server, or the login or database refused
inline constexpr int kExitFileUnreadable = 4;     // a source file or the settings store that cannot be read

inline constexpr const char* kExitCodesHelp =
    "Exit codes: 0 success; 1 data refused (columns that differ, a missing table, cells that would become NULL, "
    "'' or 0, bytes that cannot be decoded, a batch the server refused); 2 usage (the command line, a table name, "
    "an encoding); 3 server unreachable or login refused; 4 a file that cannot be read (a source file that is "
    "missing, a folder, unreadable or empty; a settings store that is damaged or unreadable).";

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
