#include "standin_database.h"

#include "data/ado.h"

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
        ado::Recordset recordset;
        recordset.Open(query, connectStr());
        std::string out;
        for (; !recordset.EOF_(); recordset.MoveNext()) {
            for (std::size_t f = 0; f < recordset.FieldCount(); ++f)
                out += (f ? "|" : "") + recordset.Fields(f).Value().value_or("NULL");
            out += "\n";
        }
        return out;
    } catch (const ado::DatabaseError& e) {
        return "failed: " + e.description();
    }
}

}  // namespace dovrel::test
