#pragma once
// SQL Server's conversions of a value into a declared type: implicit ones,
// applied before a value is stored or where a literal meets a typed column,
// and explicit ones (CAST and CONVERT). What SQL Server refuses ('abc' into
// an int column, a 12-character text into nvarchar(10), an invalid date)
// fails with its error instead of being stored by SQLite's loose typing.
#include "catalog.h"
#include "session_language.h"
#include "statement_text.h"
#include "value.h"

#include <optional>

namespace standin {

// Where a value came from, which decides how SQL Server names its type in
// conversion errors and how a number written with a point is read.
enum class ValueOrigin { Expression, StringLiteral, UnicodeLiteral, NumberLiteral };

struct SourceValue {
    Value value;
    ValueOrigin origin = ValueOrigin::Expression;
    // The value's T-SQL type when it is known (a column, a typed
    // expression): then text is the stand-in's stored form of that type,
    // e.g. a datetime's 'YYYY-MM-DD hh:mm:ss.fff', never re-read under
    // the session's DATEFORMAT.
    std::optional<SqlType> type;
};

// The session settings that conversions read.
struct ConversionContext {
    DateSettings dates;
    // The current database's: '...' literals hold its code page, and so do
    // varchar columns that name no collation of their own.
    const Collation* collation = &defaultCollation();
};

// The value to store for `column`, or StatementError. Nulls pass through
// unchanged (nullability is the caller's check).
Value convertForColumn(const SourceValue& v, const CatalogColumn& column, const ConversionContext& context = {});

// CAST(v AS target) or CONVERT(target, v, style): as above, but text is cut
// to the target's length instead of refused, and a style may choose how
// dates, money and floats are written as text and how text is read as a date.
Value convertExplicit(const SourceValue& v, const SqlType& target, std::optional<int> style,
                      const ConversionContext& context);

// A literal token's value ('x', N'x', 12, 1.5, 0x0A) as a statement gives it.
// A number of more than 38 digits fails (1007), as SQL Server's parser does.
SourceValue literalValue(const Token& t);
// The literal that tokens [from, to) of `s` are: one literal token, or a
// number with its sign (-12.5); nothing for any other expression.
std::optional<SourceValue> literalIn(const StatementText& s, size_t from, size_t to);

}  // namespace standin
