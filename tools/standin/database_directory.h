#pragma once
// The folder of databases: one SQLite file per database, <name>.sqlite,
// names compared without regard to case. Shared by all sessions. As on SQL
// Server, master, tempdb, model and msdb always exist, and tempdb starts
// empty at every start.
#include "collation.h"
#include "database_state.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// One row of SysDatabases.
struct DatabaseInfo {
    std::string name;     // as created
    int dbid = 0;         // master 1, tempdb 2, model 3, msdb 4, then in order of creation
    std::string created;  // 'YYYY-MM-DD hh:mm:ss.fff', local time
    std::string path;     // the SQLite file
};

class DatabaseDirectory {
public:
    explicit DatabaseDirectory(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // Creates the folder and the system databases when missing, empties
    // tempdb, and undoes what transactions cut short by a crash had written.
    // False (with the reason in `error`) when that fails.
    bool prepare(std::string& error);
    // Every database, sorted by name without regard to case.
    std::vector<DatabaseInfo> list() const;
    // The stored spelling of `name`, when such a database exists.
    std::optional<std::string> find(const std::string& name) const;
    std::filesystem::path pathOf(const std::string& storedName) const;
    // Whether `name` can be a database name here (no path characters).
    static bool validName(const std::string& name);
    static bool isSystemDatabase(const std::string& name);
    // Creates a database with its collation; throws StatementError (1801
    // when it exists).
    void create(const std::string& name, const Collation& collation);

    // Sessions announce which database they use, so that DROP DATABASE can
    // refuse a database in use.
    void acquire(const std::string& storedName);
    void release(const std::string& storedName);
    // Removes the database's files. False when it is in use.
    bool remove(const std::string& storedName);
    // The locks and writer turn of a database (created on first use).
    std::shared_ptr<DatabaseState> state(const std::string& storedName);

    // Serialises CREATE and DROP DATABASE among sessions.
    std::mutex& ddlMutex() { return ddlMutex_; }

private:
    // Reads the database's id and date (id 0: none yet), after undoing what
    // transactions cut short by a crash had written.
    DatabaseInfo describe(const std::string& storedName);
    void assignId(DatabaseInfo& info, int dbid);
    int nextId() const;

    std::filesystem::path dir_;
    mutable std::mutex mutex_;
    std::mutex ddlMutex_;
    std::map<std::string, DatabaseInfo> databases_;  // lower-case name -> row
    std::map<std::string, int> users_;               // lower-case name -> sessions using it
    std::map<std::string, std::shared_ptr<DatabaseState>> states_;
};

}  // namespace standin
