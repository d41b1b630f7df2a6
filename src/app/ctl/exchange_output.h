#pragma once
// What import and check-file print: texts in the words of the window
// program (Simplified Chinese, Traditional where the window shows it), lines
// ended by LF.
#include <string>

#include "exchange/import_summary.h"

namespace dovrel::ctl {

// `text` with CR LF and lone CRs as LF, ending in one LF (nothing when empty).
std::string terminalLines(const std::string& text);

// The one line a successful import prints: rows read, inserted, deleted,
// skipped by the key filter, cells changed, bytes replaced, seconds, rows/s.
std::string summaryLine(const ImportSummary& summary);

// Why a source file cannot be read, naming it.
std::string unreadableFileText(const std::string& file, const std::string& reason);

// The cells that would be changed, when the report does not list them already.
std::string changedCellsText(const ImportSummary& summary);

}  // namespace dovrel::ctl
