#include "standin_database.h"

#include "db/ado.h"
#include "support/query_rows.h"

namespace dovrel::test {

bool StandinDatabase::start() {
    if (!server_.start()) {
        error_ = server_.lastError();
        return false;
    }
    const SqlRun run = server_.runSql("Create Database " + database_);
    if (!run.ok()) error_ = run.errors;
    return run.ok();
}

std::string StandinDatabase::connectStr() const {
    return "provider = sqloledb;data source=" + server_.serverName() + ";initial catalog=" + database_ +
           ";user id =sa;Password= Secret#1;";
}

bool StandinDatabase::sql(const std::string& text) {
    const SqlRun run = server_.runSql(text, database_);
    if (!run.ok()) error_ = text + "\n" + run.errors;
    return run.ok();
}

std::string StandinDatabase::rows(const std::string& query) const {
    try {
        return queryRows(connectStr(), query);
    } catch (const ado::DatabaseError& e) {
        return "failed: " + e.description();
    }
}

}  // namespace dovrel::test
