// CREATE DATABASE and DROP DATABASE: one SQLite file each in the data folder,
// which also keeps the database's collation.
#include "executor.h"
#include "text_codec.h"

#include <mutex>

namespace standin {

void Executor::runCreateDatabase(const StatementText& s, StatementOutcome&) {
    if (!s.has(2) || !s.at(2).isName()) syntaxErrorAt(s, 2);
    // COLLATE names the database's collation; file options (ON ...) are ignored.
    const std::string name = s.at(2).text;
    const Collation* collation = &defaultCollation();
    if (const size_t k = findTopLevel(s, 3, s.size(), "collate"); k < s.size()) {
        if (!s.has(k + 1) || !s.at(k + 1).isName()) syntaxErrorAt(s, k + 1);
        collation = findCollation(s.at(k + 1).text);
        if (!collation) fail(448, "Invalid collation '" + s.at(k + 1).text + "'.");
    }
    if (tranCount_ > 0) fail(226, "CREATE DATABASE statement not allowed within multi-statement transaction.");
    if (!DatabaseDirectory::validName(name)) fail(50000, "The stand-in cannot use '" + name + "' as a database name.");
    std::lock_guard lock(directory_.ddlMutex());
    directory_.create(name, *collation);
}

void Executor::runDropDatabase(const StatementText& s, StatementOutcome&) {
    bool ifExists = false;
    const size_t k = skipIfExists(s, 2, ifExists);
    if (!s.has(k) || !s.at(k).isName() || s.has(k + 1)) syntaxErrorAt(s, s.has(k) ? k + 1 : k);
    const std::string name = s.at(k).text;
    if (tranCount_ > 0) fail(574, "DROP DATABASE statement cannot be used inside a user transaction.");
    std::lock_guard lock(directory_.ddlMutex());
    const auto stored = directory_.find(name);
    if (!stored) {
        if (ifExists) return;
        fail(3701, "Cannot drop the database '" + name + "', because it does not exist or you do not have permission.",
             11, 1);
    }
    if (DatabaseDirectory::isSystemDatabase(*stored)) {
        fail(3708, "Cannot drop the database '" + toLower(*stored) + "' because it is a system database.");
    }
    if (!directory_.remove(*stored)) {
        fail(3702, "Cannot drop database \"" + *stored + "\" because it is currently in use.", 16, 4);
    }
}

}  // namespace standin
