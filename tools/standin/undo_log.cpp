// The pre-update hook is compiled into the system's SQLite; its declarations
// are only visible with this macro.
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "undo_log.h"

#include "byte_buffer.h"
#include "sqlite_db.h"
#include "text_codec.h"

#include <cstring>
#include <map>

namespace standin {
namespace {

bool recorded(const char* schema, const char* table) {
    if (std::strcmp(schema, "main") != 0) return false;
    return sqlite3_stricmp(table, "__standin_counters") != 0 && sqlite3_stricmp(table, "__standin_undo") != 0;
}

Value toValue(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return Value::real(sqlite3_value_double(v));
    case SQLITE_TEXT:
        return Value::text(std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                       static_cast<size_t>(sqlite3_value_bytes(v))));
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
        return Value::blob(std::string(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v))));
    }
    default: return Value::null();
    }
}

// A table's columns in storage order, and which one (if any) is the rowid itself.
struct TableShape {
    std::vector<std::string> columns;
    int rowidColumn = -1;
};

TableShape shapeOf(sqlite3* db, const std::string& table) {
    TableShape shape;
    Statement q(db, "SELECT name, type, pk FROM pragma_table_info(?)");
    q.bind(1, table);
    int keys = 0, candidate = -1;
    while (q.step()) {
        shape.columns.push_back(q.columnText(0));
        if (q.columnInt(2) > 0) {
            ++keys;
            if (equalsIgnoreCase(q.columnText(1), "integer")) candidate = static_cast<int>(shape.columns.size()) - 1;
        }
    }
    if (keys == 1) shape.rowidColumn = candidate;
    return shape;
}

void undoOne(sqlite3* db, const RowChange& c, std::map<std::string, TableShape>& shapes) {
    if (c.kind == RowChange::Kind::Statement) {
        execSql(db, c.undoSql);
        return;
    }
    if (c.kind == RowChange::Kind::Insert) {
        Statement q(db, "DELETE FROM " + quoteName(c.table) + " WHERE rowid = ?");
        q.bind(1, c.newRowid);
        q.step();
        return;
    }
    auto it = shapes.find(c.table);
    if (it == shapes.end()) it = shapes.emplace(c.table, shapeOf(db, c.table)).first;
    const TableShape& shape = it->second;
    const size_t n = std::min(shape.columns.size(), c.oldValues.size());
    std::string sql;
    if (c.kind == RowChange::Kind::Delete) {
        std::string names = shape.rowidColumn < 0 ? "rowid" : "", marks = shape.rowidColumn < 0 ? "?" : "";
        for (size_t k = 0; k < n; ++k) {
            names += (names.empty() ? "" : ", ") + quoteName(shape.columns[k]);
            marks += marks.empty() ? "?" : ", ?";
        }
        sql = "INSERT INTO " + quoteName(c.table) + " (" + names + ") VALUES (" + marks + ")";
    } else {
        sql = "UPDATE " + quoteName(c.table) + " SET ";
        for (size_t k = 0; k < n; ++k) sql += (k ? ", " : "") + quoteName(shape.columns[k]) + " = ?";
        if (shape.rowidColumn < 0) sql += std::string(n ? ", " : "") + "rowid = ?";
        sql += " WHERE rowid = ?";
    }
    Statement q(db, sql);
    int index = 1;
    if (c.kind == RowChange::Kind::Delete && shape.rowidColumn < 0) q.bind(index++, c.oldRowid);
    for (size_t k = 0; k < n; ++k) q.bind(index++, c.oldValues[k]);
    if (c.kind == RowChange::Kind::Update) {
        if (shape.rowidColumn < 0) q.bind(index++, c.oldRowid);
        q.bind(index, c.newRowid);
    }
    q.step();
}

void putValue(ByteWriter& w, const Value& v) {
    w.u8(static_cast<uint8_t>(v.kind));
    switch (v.kind) {
    case Value::Kind::Integer: w.u64(static_cast<uint64_t>(v.i)); break;
    case Value::Kind::Real: {
        uint64_t bits = 0;
        std::memcpy(&bits, &v.r, sizeof bits);
        w.u64(bits);
        break;
    }
    case Value::Kind::Text:
    case Value::Kind::Blob:
        w.u32(static_cast<uint32_t>(v.s.size()));
        w.bytes(v.s);
        break;
    case Value::Kind::Null: break;
    }
}

Value getValue(ByteReader& r) {
    const auto kind = static_cast<Value::Kind>(r.u8());
    switch (kind) {
    case Value::Kind::Integer: return Value::integer(static_cast<int64_t>(r.u64()));
    case Value::Kind::Real: {
        const uint64_t bits = r.u64();
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return Value::real(d);
    }
    case Value::Kind::Text: return Value::text(std::string(r.bytes(r.u32())));
    case Value::Kind::Blob: return Value::blob(std::string(r.bytes(r.u32())));
    case Value::Kind::Null: return Value::null();
    }
    throw ProtocolError("bad value kind in an undo record");
}

void putText(ByteWriter& w, std::string_view s) {
    w.u32(static_cast<uint32_t>(s.size()));
    w.bytes(s);
}

// Plays the records of `rows` (blobs, oldest first) backwards.
void undoBlobs(sqlite3* db, const std::vector<std::string>& blobs) {
    std::map<std::string, TableShape> shapes;
    for (auto b = blobs.rbegin(); b != blobs.rend(); ++b) {
        const auto changes = decodeChanges(*b);
        for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
            if (c->kind == RowChange::Kind::Statement) shapes.clear();
            undoOne(db, *c, shapes);
        }
    }
}

}  // namespace

ChangeRecorder::ChangeRecorder(sqlite3* db) : db_(db) { sqlite3_preupdate_hook(db_, &ChangeRecorder::onChange, this); }

ChangeRecorder::~ChangeRecorder() { sqlite3_preupdate_hook(db_, nullptr, nullptr); }

void ChangeRecorder::addUndoStatement(std::string sql) {
    RowChange c;
    c.kind = RowChange::Kind::Statement;
    c.undoSql = std::move(sql);
    changes_.push_back(std::move(c));
}

void ChangeRecorder::onChange(void* self, sqlite3* db, int op, const char* schema, const char* table, long long key1,
                              long long key2) {
    auto* recorder = static_cast<ChangeRecorder*>(self);
    if (recorder->paused_ || !recorded(schema, table)) return;
    RowChange c;
    c.table = table;
    if (op == SQLITE_INSERT) {
        c.kind = RowChange::Kind::Insert;
        c.newRowid = key2;
    } else {
        c.kind = op == SQLITE_DELETE ? RowChange::Kind::Delete : RowChange::Kind::Update;
        c.oldRowid = key1;
        c.newRowid = key2;
        const int n = sqlite3_preupdate_count(db);
        c.oldValues.reserve(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            sqlite3_value* v = nullptr;
            sqlite3_preupdate_old(db, k, &v);
            c.oldValues.push_back(v ? toValue(v) : Value::null());
        }
    }
    recorder->changes_.push_back(std::move(c));
}

void undoChanges(sqlite3* db, const std::vector<RowChange>& changes, size_t from, size_t to) {
    std::map<std::string, TableShape> shapes;
    for (size_t k = to; k > from; --k) {
        if (changes[k - 1].kind == RowChange::Kind::Statement) shapes.clear();
        undoOne(db, changes[k - 1], shapes);
    }
}

std::string encodeChanges(const std::vector<RowChange>& changes, size_t from, size_t to) {
    ByteWriter w;
    for (size_t k = from; k < to; ++k) {
        const RowChange& c = changes[k];
        w.u8(static_cast<uint8_t>(c.kind));
        if (c.kind == RowChange::Kind::Statement) {
            putText(w, c.undoSql);
            continue;
        }
        putText(w, c.table);
        w.u64(static_cast<uint64_t>(c.oldRowid));
        w.u64(static_cast<uint64_t>(c.newRowid));
        w.u32(static_cast<uint32_t>(c.oldValues.size()));
        for (const auto& v : c.oldValues) putValue(w, v);
    }
    return w.take();
}

std::vector<RowChange> decodeChanges(std::string_view data) {
    std::vector<RowChange> out;
    ByteReader r(data);
    while (r.remaining() > 0) {
        RowChange c;
        c.kind = static_cast<RowChange::Kind>(r.u8());
        if (c.kind == RowChange::Kind::Statement) {
            c.undoSql = std::string(r.bytes(r.u32()));
        } else {
            c.table = std::string(r.bytes(r.u32()));
            c.oldRowid = static_cast<int64_t>(r.u64());
            c.newRowid = static_cast<int64_t>(r.u64());
            const uint32_t n = r.u32();
            for (uint32_t k = 0; k < n; ++k) c.oldValues.push_back(getValue(r));
        }
        out.push_back(std::move(c));
    }
    return out;
}

void storeUndo(sqlite3* db, int64_t transaction, const std::vector<RowChange>& changes, size_t from, size_t to) {
    if (from >= to) return;
    Statement q(db, "INSERT INTO __standin_undo (tran, changes) VALUES (?, ?)");
    q.bind(1, transaction);
    q.bind(2, Value::blob(encodeChanges(changes, from, to)));
    q.step();
}

void undoStored(sqlite3* db, std::optional<int64_t> transaction) {
    std::vector<std::string> blobs;
    {
        Statement q(db, transaction ? "SELECT changes FROM __standin_undo WHERE tran = ? ORDER BY id"
                                    : "SELECT changes FROM __standin_undo ORDER BY id");
        if (transaction) q.bind(1, *transaction);
        while (q.step()) blobs.push_back(q.column(0).s);
    }
    undoBlobs(db, blobs);
    if (transaction) {
        forgetStored(db, *transaction);
    } else {
        execSql(db, "DELETE FROM __standin_undo");
    }
}

void forgetStored(sqlite3* db, int64_t transaction) {
    Statement q(db, "DELETE FROM __standin_undo WHERE tran = ?");
    q.bind(1, transaction);
    q.step();
}

bool hasStoredUndo(sqlite3* db) {
    Statement q(db, "SELECT 1 FROM __standin_undo LIMIT 1");
    return q.step();
}

}  // namespace standin
