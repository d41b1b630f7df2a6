#include "app/ctl/json_output.h"

#include <iostream>

namespace dovrel::ctl {
namespace {

bool answerInJson = false;

const char* outcomeName(ImportOutcome outcome) {
    switch (outcome) {
    case ImportOutcome::Success: return "success";
    case ImportOutcome::Refused: return "refused";
    case ImportOutcome::BatchFailed: return "batch_failed";
    case ImportOutcome::FileUnreadable: return "file_unreadable";
    case ImportOutcome::ConnectionFailed: return "connection_failed";
    case ImportOutcome::BadArgument: return "bad_argument";
    case ImportOutcome::Failed: break;
    }
    return "failed";
}

}  // namespace

bool jsonOutput() { return answerInJson; }
void setJsonOutput(bool on) { answerInJson = on; }

void printJson(const nlohmann::json& object) {
    // Texts that are not valid UTF-8 are shown with U+FFFD rather than refused.
    std::cout << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

nlohmann::json settingsJson(const ConnectionSettingsRecord& settings, bool reveal) {
    const bool masked = !reveal && !settings.UserPassword.empty();
    return {{"server_name", settings.ServerName},
            {"database_name", settings.DatabaseName},
            {"user_name", settings.UserName},
            {"user_password", masked ? "********" : settings.UserPassword},
            {"password_masked", masked}};
}

nlohmann::json importJson(const ImportSummary& summary, const std::string& report) {
    nlohmann::json cells = nlohmann::json::array();
    for (const CellNote& note : summary.firstChangedCells)
        cells.push_back(
            {{"line", note.line}, {"column", note.column}, {"value", note.value}, {"written_as", note.writtenAs}});
    const double rate = summary.seconds > 0 ? static_cast<double>(summary.rowsInserted) / summary.seconds : 0;
    nlohmann::json object = {
        {"outcome", outcomeName(summary.outcome)},
        {"encoding", summary.encoding},
        {"rows_read", summary.linesRead},
        {"rows_inserted", summary.rowsInserted},
        {"rows_deleted", summary.rowsDeleted < 0 ? nlohmann::json(nullptr) : nlohmann::json(summary.rowsDeleted)},
        {"rows_skipped_by_key_filter", summary.linesSkipped},
        {"changed_cells", summary.changedCells},
        {"first_changed_cells", cells},
        {"replaced_bytes", summary.replacedBytes},
        {"warnings", summary.warnings},
        {"seconds", summary.seconds},
        {"rows_per_second", rate}};
    if (!summary.columnMismatch.empty()) object["column_mismatch"] = summary.columnMismatch;
    if (!report.empty()) object["report"] = report;
    return object;
}

}  // namespace dovrel::ctl
