#pragma once
// A transaction of the stand-in may span several SQLite transactions (the
// session gives SQLite's single write turn back between its batches), so
// its changes are undone by the stand-in, not by SQLite: every row a
// session changes is recorded as it changes, the records of an open
// transaction are stored in the database in the same SQLite transaction as
// the rows themselves, and ROLLBACK, a lost client or the next start after a
// crash play them backwards.
#include "value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace standin {

struct RowChange {
    enum class Kind : uint8_t { Insert, Delete, Update, Statement };
    Kind kind = Kind::Insert;
    std::string table;
    int64_t oldRowid = 0;          // Delete, Update
    int64_t newRowid = 0;          // Insert, Update
    std::vector<Value> oldValues;  // Delete, Update: the row as it was, in column order
    std::string undoSql;           // Statement: what undoes a schema change
};

// Records the row changes made on one connection (SQLite's pre-update hook),
// except those of the temporary schema and of the hidden tables that must
// never go back (counters) or that hold the records themselves.
class ChangeRecorder {
public:
    explicit ChangeRecorder(sqlite3* db);
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    const std::vector<RowChange>& changes() const { return changes_; }
    size_t size() const { return changes_.size(); }
    // Forgets the changes from `mark` on (SQLite undid them itself).
    void truncate(size_t mark) { changes_.resize(mark); }
    void clear() { changes_.clear(); }
    void addUndoStatement(std::string sql);
    // While paused (undo running), nothing is recorded.
    void pause(bool paused) { paused_ = paused; }

private:
    static void onChange(void* self, sqlite3* db, int op, const char* schema, const char* table, long long key1,
                         long long key2);
    sqlite3* db_;
    std::vector<RowChange> changes_;
    bool paused_ = false;
};

// Undoes changes[from, to) newest first. Throws StatementError when SQLite refuses.
void undoChanges(sqlite3* db, const std::vector<RowChange>& changes, size_t from, size_t to);

std::string encodeChanges(const std::vector<RowChange>& changes, size_t from, size_t to);
std::vector<RowChange> decodeChanges(std::string_view data);

// The stored records (hidden table __standin_undo). `transaction` tells the
// session's transactions apart; stored records outlive the session only when
// the server was killed.
void storeUndo(sqlite3* db, int64_t transaction, const std::vector<RowChange>& changes, size_t from, size_t to);
// Plays back the stored records of `transaction` (of every transaction when
// none is named), newest first, and deletes them.
void undoStored(sqlite3* db, std::optional<int64_t> transaction);
void forgetStored(sqlite3* db, int64_t transaction);
// Whether stored records wait to be played back (a crash left them).
bool hasStoredUndo(sqlite3* db);

}  // namespace standin
