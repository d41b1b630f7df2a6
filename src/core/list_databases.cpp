#include "core/list_databases.h"

#include "core/build_connection_string.h"
#include "core/busy.h"
#include "core/check_server.h"
#include "core/command_errors.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "core/server_history.h"
#include "db/connection_string.h"
#include "net/ping.h"
#include "net/server_address.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace dovrel {
namespace {

// The error of reading the record count of a listing that gave no result.
constexpr int kObjectNotSet = 91;

// Fills `listing` as it goes, so that an error leaves what was done so far.
void listBetweenBusyBrackets(const ConnectionFields& fields, const std::vector<std::string>& serverList,
                             DatabaseListing& listing) {
    RunState& state = runState();
    const std::string previous = state.ConnectionSettings.ServerName;
    const std::string savedDb = trimSpaces(fields.database);
    std::string server = trimSpaces(fields.server);
    const std::string address = ResolveServerAddress(server);
    if (!address.empty() && !PingHost(address)) {
        showMessage(LocalizeText("网络不通，请检查网络设置！"), MessageIcon::Information);
        return;
    }
    listing.pinged = true;
    // The database box is emptied before the settings are taken from the window.
    listing.databaseText.clear();
    CopyControlsToSettings({fields.server, std::string(), fields.user, fields.password});
    if (!TryConnect(BuildConnectionString(true), kProbeSql)) {
        listing.failureLine = LocalizeText("连接数据库") + "<" + std::string() + ">失败";
        // The name the user typed is no casualty of a refused login.
        listing.databaseText = savedDb;
        return;
    }
    listing.connected = true;
    state.ServerReachable = true;
    const auto result = OpenRecordset(BuildConnectionString(true), kDatabaseListSql);
    if (!result) throw RuntimeError(kObjectNotSet, "Object variable or With block variable not set");
    if (result->RecordCount() <= 0) {
        state.DatabaseExists = false;
    } else {
        for (; !result->EOF_(); result->MoveNext()) listing.databases.push_back(result->Fields(0).Value().value_or(""));
        listing.databaseText = savedDb;
    }
    WriteServerHistory(nextServerHistory(previous, trimSpaces(fields.server), serverList));
}

}  // namespace

DatabaseListing ListDatabases(const ConnectionFields& fields, const std::vector<std::string>& serverList) {
    BeginBusy();
    DatabaseListing listing;
    listing.databaseText = fields.database;
    try {
        listBetweenBusyBrackets(fields, serverList, listing);
    } catch (...) {
        reportCommandError();
    }
    EndBusy();
    return listing;
}

std::vector<std::string> QueryDatabaseNames() {
    ado::Recordset result;
    result.Open(kDatabaseListSql, BuildConnectionString(true));
    std::vector<std::string> names;
    for (; !result.EOF_(); result.MoveNext()) names.push_back(result.Fields(0).Value().value_or(""));
    return names;
}

}  // namespace dovrel
