#pragma once
// SQL Server's implicit conversions of a value into a column's declared
// type, applied before a value is stored: what SQL Server refuses ('abc'
// into an int column, a 12-character text into nvarchar(10), an invalid
// date) fails with its error instead of being stored by SQLite's loose
// typing.
#include "catalog.h"
#include "value.h"

namespace standin {

// Where a value came from, which decides how SQL Server names its type in
// conversion errors and how a number written with a point is read.
enum class ValueOrigin { Expression, StringLiteral, UnicodeLiteral, NumberLiteral };

struct SourceValue {
    Value value;
    ValueOrigin origin = ValueOrigin::Expression;
};

// The value to store for `column`, or StatementError. Nulls pass through
// unchanged (nullability is the caller's check).
Value convertForColumn(const SourceValue& v, const CatalogColumn& column);

// A literal token's value ('x', N'x', 12, 1.5, 0x0A) as a statement gives it.
struct Token;
SourceValue literalValue(const Token& t);

}  // namespace standin
