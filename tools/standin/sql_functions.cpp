#include "sql_functions.h"

#include "date_literal.h"
#include "datetime_text.h"
#include "exact_arithmetic.h"
#include "like_match.h"
#include "numeric_text.h"
#include "sql_error.h"
#include "sqlite_collations.h"
#include "sqlite_db.h"

#include <cstdio>
#include <memory>
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
    for (const char ch : s) {
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    }
    sqlite3_result_int64(c, n);
}

// CHARINDEX(needle, haystack): 1-based, 0 when absent; letters compare as
// the database's collation compares them.
void charIndex(sqlite3_context* c, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        return sqlite3_result_null(c);
    }
    const Collation& collation = *contextOf(c).conversion.collation;
    const std::u32string needle = foldForComparison(collation, argText(argv[0]));
    const std::u32string hay = foldForComparison(collation, argText(argv[1]));
    const auto pos = hay.find(needle);
    if (pos == std::u32string::npos) return sqlite3_result_int64(c, 0);
    int64_t units = 0;  // characters as nvarchar counts them
    for (size_t k = 0; k < pos; ++k) units += hay[k] >= 0x10000 ? 2 : 1;
    sqlite3_result_int64(c, units + 1);
}

// x LIKE pattern [ESCAPE e], as like(pattern, x[, e]): T-SQL's wildcards,
// letters compared as the database's collation compares them.
void like(sqlite3_context* c, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        return sqlite3_result_null(c);
    }
    const Collation& collation = *contextOf(c).conversion.collation;
    std::optional<char32_t> escape;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const std::u32string e = foldForComparison(collation, argText(argv[2]));
        if (!e.empty()) escape = e.front();
    }
    sqlite3_result_int(c, likeMatches(foldForComparison(collation, argText(argv[1])),
                                      foldForComparison(collation, argText(argv[0])), escape));
}

void resultError(sqlite3_context* c, const SqlMessage& m) {
    const std::string text = errorForSqlite(m);
    sqlite3_result_error(c, text.c_str(), static_cast<int>(text.size()));
}

template <int Part>
void datePart(sqlite3_context* c, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    const std::string text = argText(argv[0]);
    // A stored date, or a string read under the session's settings.
    auto p = parseStoredDateTime(text);
    if (!p) p = readDateLiteral(text, contextOf(c).conversion.dates, DateKind::DateTime).value;
    if (!p)
        return resultError(c,
                           sqlError(241, "Conversion failed when converting date and/or time from character string."));
    sqlite3_result_int(c, Part == 0 ? p->year : Part == 1 ? p->month : p->day);
}

Value valueOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return Value::real(sqlite3_value_double(v));
    case SQLITE_TEXT: return Value::text(argText(v));
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
        return Value::blob(std::string(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v))));
    }
    default: return Value::null();
    }
}

void result(sqlite3_context* c, const Value& v) {
    switch (v.kind) {
    case Value::Kind::Null: return sqlite3_result_null(c);
    case Value::Kind::Integer: return sqlite3_result_int64(c, v.i);
    case Value::Kind::Real: return sqlite3_result_double(c, v.r);
    case Value::Kind::Text: return resultText(c, v.s);
    case Value::Kind::Blob: return sqlite3_result_blob(c, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
    }
}

// The value, its origin and its source type as the translation passed them.
SourceValue sourceOf(sqlite3_value* value, sqlite3_value* sourceType, sqlite3_value* origin) {
    SourceValue v{valueOf(value), static_cast<ValueOrigin>(sqlite3_value_int(origin)), std::nullopt};
    const std::string typeText = argText(sourceType);
    if (!typeText.empty()) v.type = parseTypeSpec(typeText);
    return v;
}

// standin_convert(value, target, style, source type, origin): CAST and CONVERT.
void convertValue(sqlite3_context* c, int, sqlite3_value** argv) {
    const auto target = parseTypeSpec(argText(argv[1]));
    if (!target) return resultError(c, sqlError(243, "Type " + argText(argv[1]) + " is not a defined system type."));
    std::optional<int> style;
    if (sqlite3_value_type(argv[2]) != SQLITE_NULL) style = sqlite3_value_int(argv[2]);
    try {
        result(c, convertExplicit(sourceOf(argv[0], argv[3], argv[4]), *target, style, contextOf(c).conversion));
    } catch (const StatementError& e) {
        resultError(c, e.message);
    }
}

// standin_assign(value, target, source type, origin): a value stored into a
// column by an expression, converted as an inserted value is.
void assignValue(sqlite3_context* c, int, sqlite3_value** argv) {
    CatalogColumn column;
    const auto target = parseTypeSpec(argText(argv[1]));
    if (!target) return result(c, valueOf(argv[0]));
    column.type = *target;
    try {
        result(c, convertForColumn(sourceOf(argv[0], argv[2], argv[3]), column, contextOf(c).conversion));
    } catch (const StatementError& e) {
        resultError(c, e.message);
    }
}

// standin_arith(op, x, y): arithmetic that keeps exact values exact.
void arithmeticValue(sqlite3_context* c, int, sqlite3_value** argv) {
    const std::string op = argText(argv[0]);
    try {
        result(c, arithmetic(op.empty() ? '+' : op[0], valueOf(argv[1]), valueOf(argv[2])));
    } catch (const StatementError& e) {
        resultError(c, e.message);
    }
}

// SUM that stays exact for decimal text (money and decimal columns keep
// their values as text); integers sum as integers, anything with a float
// as a float.
struct SumState {
    bool any, real, exact, intOverflow;
    int scale;
    Int128 exactSum;
    double realSum;
    int64_t intSum;
};

// The sum's state in SQLite's aggregate context (zeroed on the first row;
// nullptr at the end when there was none). SQLite aligns that memory to 8
// bytes only, and the 128-bit sum needs 16, so the state sits at the first
// aligned place in a slightly larger block.
SumState* sumState(sqlite3_context* c, bool firstRowMayCreate) {
    constexpr std::size_t kBytes = sizeof(SumState) + alignof(SumState);
    void* raw = sqlite3_aggregate_context(c, firstRowMayCreate ? static_cast<int>(kBytes) : 0);
    if (raw == nullptr) return nullptr;
    std::size_t space = kBytes;
    return static_cast<SumState*>(std::align(alignof(SumState), sizeof(SumState), raw, space));
}

void sumStep(sqlite3_context* c, int, sqlite3_value** argv) {
    SumState* s = sumState(c, true);
    if (s == nullptr) return sqlite3_result_error_nomem(c);
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) return;
    s->any = true;
    DecimalNumber d;
    if (type == SQLITE_INTEGER) {
        const int64_t i = sqlite3_value_int64(argv[0]);
        if (__builtin_add_overflow(s->intSum, i, &s->intSum)) s->intOverflow = true;
        d.mantissa = i;
    } else if (type == SQLITE_FLOAT) {
        s->real = true;
        s->realSum += sqlite3_value_double(argv[0]);
        return;
    } else if (auto parsed = parseDecimalText(argText(argv[0]))) {
        s->exact = true;
        d = *parsed;
    } else {
        s->real = true;
        s->realSum += parseFloatText(argText(argv[0])).value_or(0.0);
        return;
    }
    if (d.scale > s->scale) {
        s->exactSum *= powerOfTen(d.scale - s->scale);
        s->scale = d.scale;
    }
    s->exactSum += rescale(d, s->scale);
    s->realSum += static_cast<double>(d.mantissa) / static_cast<double>(powerOfTen(d.scale));
}

void sumFinal(sqlite3_context* c) {
    const SumState* s = sumState(c, false);
    if (s == nullptr || !s->any) return sqlite3_result_null(c);
    if (s->real) return sqlite3_result_double(c, s->realSum);
    if (s->exact) return resultText(c, formatDecimal(s->exactSum, s->scale));
    if (s->intOverflow) {
        return resultError(c, sqlError(8115, "Arithmetic overflow error converting expression to data type bigint."));
    }
    sqlite3_result_int64(c, s->intSum);
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
    sqlite3_create_function(db, "charindex", 2, flags, user, charIndex, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, flags, user, like, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, user, like, nullptr, nullptr);
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
    sqlite3_create_function(db, ConvertFunction, 5, flags, user, convertValue, nullptr, nullptr);
    sqlite3_create_function(db, AssignFunction, 4, flags, user, assignValue, nullptr, nullptr);
    sqlite3_create_function(db, ArithmeticFunction, 3, flags | SQLITE_DETERMINISTIC, user, arithmeticValue, nullptr,
                            nullptr);
    sqlite3_create_function(db, "sum", 1, flags, user, nullptr, sumStep, sumFinal);
    registerCollations(db);
}

}  // namespace standin
