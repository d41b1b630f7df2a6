#include "database_directory.h"

#include "catalog.h"
#include "database_options.h"
#include "datetime_text.h"
#include "sqlite_collations.h"
#include "sqlite_db.h"
#include "text_codec.h"
#include "undo_log.h"

#include <algorithm>

namespace standin {
namespace {

constexpr const char* Suffix = ".sqlite";
constexpr int FirstUserId = 5;

struct SystemDatabase {
    const char* name;
    int dbid;
};
constexpr SystemDatabase SystemDatabases[] = {{"master", 1}, {"tempdb", 2}, {"model", 3}, {"msdb", 4}};

// Opens (creating when asked) a database file with the hidden tables in place.
SqliteHandle openPrepared(const std::string& path, bool create) {
    auto db = openSqlite(path, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
    sqlite3_busy_timeout(db.get(), 5000);
    // Undo records played back here touch indexes on collated columns.
    registerCollations(db.get());
    execSql(db.get(), "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    Catalog(db.get()).ensureSchema();
    return db;
}

}  // namespace

bool DatabaseDirectory::isSystemDatabase(const std::string& name) {
    for (const auto& s : SystemDatabases) {
        if (equalsIgnoreCase(name, s.name)) return true;
    }
    return false;
}

DatabaseInfo DatabaseDirectory::describe(const std::string& storedName) {
    DatabaseInfo info;
    info.name = storedName;
    info.path = pathOf(storedName).string();
    auto db = openPrepared(info.path, false);
    if (hasStoredUndo(db.get())) {
        // A transaction was open when the server was killed: undo what it wrote.
        execSql(db.get(), "BEGIN IMMEDIATE");
        undoStored(db.get(), std::nullopt);
        execSql(db.get(), "COMMIT");
    }
    {
        // Earlier versions ran triggers inside SQLite; the stand-in runs them itself now.
        std::vector<std::string> old;
        Statement q(db.get(), "SELECT name FROM sqlite_master WHERE type = 'trigger'");
        while (q.step()) old.push_back(q.columnText(0));
        for (const auto& name : old) execSql(db.get(), "DROP TRIGGER " + quoteName(name));
    }
    Statement q(db.get(), "SELECT dbid, created FROM __standin_database");
    if (q.step()) {
        info.dbid = static_cast<int>(q.columnInt(0));
        info.created = q.columnText(1);
    }
    return info;
}

void DatabaseDirectory::assignId(DatabaseInfo& info, int dbid) {
    info.dbid = dbid;
    info.created = formatDateTime(roundToDateTimeTicks(currentDateTime()));
    auto db = openPrepared(info.path, false);
    Statement ins(db.get(), "INSERT INTO __standin_database (dbid, created) VALUES (?, ?)");
    ins.bind(1, static_cast<int64_t>(info.dbid));
    ins.bind(2, info.created);
    ins.step();
}

int DatabaseDirectory::nextId() const {
    int id = FirstUserId;
    for (const auto& [key, info] : databases_) id = std::max(id, info.dbid + 1);
    return id;
}

bool DatabaseDirectory::prepare(std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec) {
        error = "cannot create " + dir_.string() + ": " + ec.message();
        return false;
    }
    std::lock_guard lock(mutex_);
    databases_.clear();
    try {
        // tempdb is made again at every start, as SQL Server does.
        const std::string tempdb = pathOf("tempdb").string();
        for (const char* extra : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(tempdb + extra, ec);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
            const std::string file = entry.path().filename().string();
            const size_t n = std::char_traits<char>::length(Suffix);
            if (file.size() > n && file.compare(file.size() - n, n, Suffix) == 0 && entry.is_regular_file()) {
                names.push_back(file.substr(0, file.size() - n));
            }
        }
        for (const auto& s : SystemDatabases) {
            const bool present = std::any_of(names.begin(), names.end(),
                                             [&](const std::string& n) { return equalsIgnoreCase(n, s.name); });
            if (!present) {
                openPrepared(pathOf(s.name).string(), true);
                names.emplace_back(s.name);
            }
        }
        for (const auto& name : names) databases_[toLower(name)] = describe(name);
        // Files without an id yet (new system databases, files of earlier
        // versions) get one: the system databases their fixed ones, the others
        // the next free ones in name order.
        for (auto& [key, info] : databases_) {
            if (info.dbid != 0) continue;
            int id = 0;
            for (const auto& sys : SystemDatabases) {
                if (key == sys.name) id = sys.dbid;
            }
            assignId(info, id != 0 ? id : nextId());
        }
    } catch (const StatementError& e) {
        error = e.message.text;
        return false;
    }
    return true;
}

std::vector<DatabaseInfo> DatabaseDirectory::list() const {
    std::lock_guard lock(mutex_);
    std::vector<DatabaseInfo> out;
    for (const auto& [key, info] : databases_) out.push_back(info);
    return out;  // the map's order is the lower-case name's
}

std::optional<std::string> DatabaseDirectory::find(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = databases_.find(toLower(name));
    if (it == databases_.end()) return std::nullopt;
    return it->second.name;
}

std::filesystem::path DatabaseDirectory::pathOf(const std::string& storedName) const {
    return dir_ / (storedName + Suffix);
}

bool DatabaseDirectory::validName(const std::string& name) {
    if (name.empty() || name.size() > 128 || name.front() == '.' || name.front() == ' ') return false;
    return name.find_first_of("/\\:*?\"<>|\0", 0, 10) == std::string::npos;
}

void DatabaseDirectory::create(const std::string& name, const Collation& collation) {
    std::lock_guard lock(mutex_);
    if (databases_.count(toLower(name)) > 0) {
        fail(1801, "Database '" + name + "' already exists. Choose a different database name.");
    }
    const std::string path = pathOf(name).string();
    try {
        storeDatabaseCollation(openPrepared(path, true).get(), collation);
        DatabaseInfo info = describe(name);
        assignId(info, nextId());
        databases_[toLower(name)] = info;
    } catch (const StatementError&) {
        std::error_code ec;
        for (const char* extra : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + extra, ec);
        throw;
    }
}

void DatabaseDirectory::acquire(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    ++users_[toLower(storedName)];
}

void DatabaseDirectory::release(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    auto it = users_.find(toLower(storedName));
    if (it != users_.end() && --it->second <= 0) users_.erase(it);
}

bool DatabaseDirectory::remove(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    const std::string key = toLower(storedName);
    if (users_.count(key) > 0) return false;
    const std::string base = pathOf(storedName).string();
    std::error_code ec;
    for (const char* extra : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(base + extra, ec);
    databases_.erase(key);
    states_.erase(key);
    return true;
}

std::shared_ptr<DatabaseState> DatabaseDirectory::state(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    auto& s = states_[toLower(storedName)];
    if (!s) s = std::make_shared<DatabaseState>();
    return s;
}

}  // namespace standin
