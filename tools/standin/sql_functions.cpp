#include "sql_functions.h"

#include "datetime_text.h"
#include "sqlite_db.h"

#include <cstdio>
#include <random>
#include <string>

namespace standin {
namespace {

const FunctionContext& contextOf(sqlite3_context* c) {
    return *static_cast<const FunctionContext*>(sqlite3_user_data(c));
}

void resultText(sqlite3_context* c, const std::string& s) {
    sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

std::string argText(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string();
}

void getDate(sqlite3_context* c, int, sqlite3_value**) { resultText(c, formatDateTime(currentDateTime())); }

void newId(sqlite3_context* c, int, sqlite3_value**) {
    thread_local std::mt19937_64 rng{std::random_device{}()};
    const uint64_t a = rng(), b = rng();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X-%04X-4%03X-%04X-%012llX", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFF),
                  static_cast<unsigned>(0x8000 | ((b >> 48) & 0x3FFF)),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFULL));
    resultText(c, buf);
}

// LEN ignores trailing spaces and counts characters.
void len(sqlite3_context* c, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    std::string s = argText(argv[0]);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    int64_t n = 0;
    for (unsigned char ch : s) {
        if ((ch & 0xC0) != 0x80) ++n;
    }
    sqlite3_result_int64(c, n);
}

// CHARINDEX(needle, haystack): 1-based, 0 when absent, ignoring case.
void charIndex(sqlite3_context* c, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        return sqlite3_result_null(c);
    }
    auto lower = [](std::string s) {
        for (auto& ch : s) {
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
        return s;
    };
    const std::string needle = lower(argText(argv[0]));
    const std::string hay = lower(argText(argv[1]));
    const auto pos = hay.find(needle);
    if (pos == std::string::npos) return sqlite3_result_int64(c, 0);
    int64_t chars = 0;
    for (size_t k = 0; k < pos; ++k) {
        if ((static_cast<unsigned char>(hay[k]) & 0xC0) != 0x80) ++chars;
    }
    sqlite3_result_int64(c, chars + 1);
}

template <int Part>
void datePart(sqlite3_context* c, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    auto p = parseDateTimeText(argText(argv[0]));
    if (!p) return sqlite3_result_error(c, "Conversion failed when converting date and/or time from character string.", -1);
    sqlite3_result_int(c, Part == 0 ? p->year : Part == 1 ? p->month : p->day);
}

void dbName(sqlite3_context* c, int, sqlite3_value**) { resultText(c, contextOf(c).database); }
void loginName(sqlite3_context* c, int, sqlite3_value**) { resultText(c, contextOf(c).login); }
void userName(sqlite3_context* c, int, sqlite3_value**) { resultText(c, "dbo"); }
void appName(sqlite3_context* c, int, sqlite3_value**) { resultText(c, contextOf(c).appName); }
void hostName(sqlite3_context* c, int, sqlite3_value**) { resultText(c, contextOf(c).hostName); }

// OBJECT_ID('name'): a number for an existing table or trigger, else NULL.
void objectId(sqlite3_context* c, int, sqlite3_value** argv) {
    std::string name = argText(argv[0]);
    if (name.rfind("dbo.", 0) == 0) name = name.substr(4);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    const char* sql =
        "SELECT rowid FROM (SELECT rowid, name FROM sqlite_master WHERE type = 'table'"
        " UNION ALL SELECT rowid + 1000000, name FROM __standin_triggers) WHERE name = ?1 COLLATE NOCASE"
        " AND name NOT LIKE '\\_\\_standin%' ESCAPE '\\'";
    const auto q = prepareQuietly(sqlite3_context_db_handle(c), sql);
    if (!q) return sqlite3_result_null(c);
    sqlite3_bind_text(q.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(q.get()) == SQLITE_ROW) {
        sqlite3_result_int64(c, sqlite3_column_int64(q.get(), 0) + 1000);
    } else {
        sqlite3_result_null(c);
    }
}

}  // namespace

void registerFunctions(sqlite3* db, const FunctionContext* context) {
    void* user = const_cast<FunctionContext*>(context);
    const int flags = SQLITE_UTF8;
    sqlite3_create_function(db, "getdate", 0, flags, user, getDate, nullptr, nullptr);
    sqlite3_create_function(db, "sysdatetime", 0, flags, user, getDate, nullptr, nullptr);
    sqlite3_create_function(db, "newid", 0, flags, user, newId, nullptr, nullptr);
    sqlite3_create_function(db, "len", 1, flags | SQLITE_DETERMINISTIC, user, len, nullptr, nullptr);
    sqlite3_create_function(db, "charindex", 2, flags | SQLITE_DETERMINISTIC, user, charIndex, nullptr, nullptr);
    sqlite3_create_function(db, "year", 1, flags | SQLITE_DETERMINISTIC, user, datePart<0>, nullptr, nullptr);
    sqlite3_create_function(db, "month", 1, flags | SQLITE_DETERMINISTIC, user, datePart<1>, nullptr, nullptr);
    sqlite3_create_function(db, "day", 1, flags | SQLITE_DETERMINISTIC, user, datePart<2>, nullptr, nullptr);
    sqlite3_create_function(db, "db_name", 0, flags, user, dbName, nullptr, nullptr);
    sqlite3_create_function(db, "suser_sname", 0, flags, user, loginName, nullptr, nullptr);
    sqlite3_create_function(db, "suser_name", 0, flags, user, loginName, nullptr, nullptr);
    sqlite3_create_function(db, "user_name", 0, flags, user, userName, nullptr, nullptr);
    sqlite3_create_function(db, "app_name", 0, flags, user, appName, nullptr, nullptr);
    sqlite3_create_function(db, "host_name", 0, flags, user, hostName, nullptr, nullptr);
    sqlite3_create_function(db, "object_id", 1, flags, user, objectId, nullptr, nullptr);
}

}  // namespace standin
