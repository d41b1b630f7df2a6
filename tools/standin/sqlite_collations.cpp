#include "sqlite_collations.h"

#include "collation.h"
#include "numeric_text.h"

#include <cstring>
#include <optional>
#include <string_view>

namespace standin {
namespace {

// Decimal text by value; other numbers (a double's '1e+20') as doubles;
// anything else after every number, byte by byte.
int compareExact(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const std::string_view x(static_cast<const char*>(a), static_cast<size_t>(lengthA));
    const std::string_view y(static_cast<const char*>(b), static_cast<size_t>(lengthB));
    const auto dx = parseDecimalText(x), dy = parseDecimalText(y);
    if (dx && dy) return compareDecimals(*dx, *dy);
    const auto fx = dx ? std::nullopt : parseFloatText(x), fy = dy ? std::nullopt : parseFloatText(y);
    const bool nx = dx || fx, ny = dy || fy;
    if (nx && ny) {
        const long double vx =
            fx ? static_cast<long double>(*fx)
               : static_cast<long double>(dx->mantissa) / static_cast<long double>(powerOfTen(dx->scale));
        const long double vy =
            fy ? static_cast<long double>(*fy)
               : static_cast<long double>(dy->mantissa) / static_cast<long double>(powerOfTen(dy->scale));
        return vx < vy ? -1 : vx > vy ? 1 : 0;
    }
    if (nx != ny) return nx ? -1 : 1;
    const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
    if (c != 0) return c;
    return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

int compareUnderCollation(void* collation, int lengthA, const void* a, int lengthB, const void* b) {
    return compareText(*static_cast<const Collation*>(collation),
                       std::string_view(static_cast<const char*>(a), static_cast<size_t>(lengthA)),
                       std::string_view(static_cast<const char*>(b), static_cast<size_t>(lengthB)));
}

}  // namespace

void registerCollations(sqlite3* db) {
    sqlite3_create_collation(db, ExactNumericCollation, SQLITE_UTF8, nullptr, compareExact);
    for (const Collation& c : knownCollations()) {
        sqlite3_create_collation(db, c.name, SQLITE_UTF8, const_cast<Collation*>(&c), compareUnderCollation);
    }
}

void readColumnCollations(sqlite3* db, TableInfo& t) {
    for (auto& c : t.columns) {
        if (!c.type.isText()) continue;
        const char* sequence = nullptr;
        if (sqlite3_table_column_metadata(db, "main", t.name.c_str(), c.name.c_str(), nullptr, &sequence, nullptr,
                                          nullptr, nullptr) == SQLITE_OK &&
            sequence) {
            c.type.collation = findCollation(sequence);
        }
    }
}

}  // namespace standin
