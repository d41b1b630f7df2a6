#include "core/test_connection.h"

#include "core/busy.h"
#include "core/check_server.h"
#include "core/diagnosis.h"
#include "core/run_state.h"

namespace dovrel {

Diagnosis ShowDiagnosis(const ConnectionFields& fields, const std::vector<std::string>& serverList) {
    const RunState& state = runState();
    Diagnosis diagnosis;
    DiagnosisInput input;
    input.serverText = fields.server;
    input.databaseTextBefore = fields.database;
    input.databaseTextAfter = fields.database;
    input.serverReachable = state.ServerReachable;
    if (state.ServerReachable) {
        diagnosis.listing = ListDatabases(fields, serverList);
        input.databaseTextAfter = diagnosis.listing->databaseText;
    }
    input.databaseExists = state.DatabaseExists;
    diagnosis.text = BuildDiagnosisText(input);
    return diagnosis;
}

Diagnosis TestConnection(const ConnectionFields& fields, const std::vector<std::string>& serverList) {
    BeginBusy();
    CopyControlsToSettings(fields);
    CheckServerConnection(true);
    Diagnosis diagnosis = ShowDiagnosis(fields, serverList);
    EndBusy();
    return diagnosis;
}

}  // namespace dovrel
