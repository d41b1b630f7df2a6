#include "core/check_server.h"

#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "net/ping.h"
#include "net/server_address.h"
#include "platform/messages.h"
#include "platform/ui_host.h"

namespace dovrel {
namespace {

// True when the existence query lists the database. A query that cannot
// be opened (the server may have gone in the meantime) finds nothing.
bool databaseListed(const std::string& databaseName) {
    try {
        const auto result = OpenRecordset(BuildConnectionString(true), databaseExistsQuery(databaseName));
        return result != nullptr && result->RecordCount() > 0;
    } catch (const ado::DatabaseError&) {
        return false;
    }
}

}  // namespace

std::string databaseExistsQuery(const std::string& databaseName) {
    std::string quoted;
    for (char c : databaseName) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return "SELECT Name FROM SysDatabases WHERE Name = N'" + quoted + "'";
}

void CheckServerConnection(bool updateProgress) {
    RunState& state = runState();
    if (updateProgress) uiHost().setProgressText(LocalizeText("正在连接服务器..."));

    // An empty address: the name gives none to ping, so the connection
    // attempt itself will tell.
    const std::string address = ResolveServerAddress(state.ConnectionSettings.ServerName);
    if (!address.empty() && !PingHost(address)) {
        // The flags of an earlier check must not read as this one's success.
        state.ServerReachable = false;
        state.DatabaseExists = false;
        showMessage(LocalizeText("网络不通，请检查网络设置！"), MessageIcon::Information);
        return;
    }

    if (TryConnect(BuildConnectionString(true), kProbeSql)) {
        state.ServerReachable = true;
        if (updateProgress) uiHost().setProgressText(LocalizeText("正在检查数据服务器上的数据库..."));
        state.DatabaseExists = databaseListed(state.ConnectionSettings.DatabaseName);
    } else {
        state.ServerReachable = false;
        state.DatabaseExists = false;
    }
    uiHost().processPendingEvents();
}

}  // namespace dovrel
