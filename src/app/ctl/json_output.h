#pragma once
// dovrelctl's --json: one JSON object on stdout with the facts the text
// output gives, for scripts and fleet tools.
#include <nlohmann/json.hpp>
#include <string>

#include "core/run_state.h"
#include "exchange/import_summary.h"

namespace dovrel::ctl {

// Whether this run's command answers in JSON.
bool jsonOutput();
void setJsonOutput(bool on);

// Writes `object` on stdout, one line.
void printJson(const nlohmann::json& object);

// The four settings; the password masked unless `reveal`.
nlohmann::json settingsJson(const ConnectionSettingsRecord& settings, bool reveal);

// What an import or a file check did; `report` is the failure report (empty on success).
nlohmann::json importJson(const ImportSummary& summary, const std::string& report);

}  // namespace dovrel::ctl
