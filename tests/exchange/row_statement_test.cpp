// Row statements built from column descriptions, without a server.
#include <gtest/gtest.h>

#include <vector>

#include "exchange/detail/row_statement.h"

namespace dovrel::exchange::detail {
namespace {

using Cells = std::vector<std::string_view>;

ColumnDescription text(bool nullable) { return {1, nullable, nullable, false}; }
ColumnDescription date(bool nullableAtPosition) { return {2, !nullableAtPosition, nullableAtPosition, false}; }
ColumnDescription number(bool nullableAtPosition) { return {3, !nullableAtPosition, nullableAtPosition, false}; }
ColumnDescription bit() { return {3, true, true, true}; }
ColumnDescription other() { return {4, true, true, false}; }

// The values part of the one-column statement for `cell`.
std::string valueOf(const ColumnDescription& column, std::string_view cell) {
    std::string out;
    const std::vector<ColumnDescription> columns{column};
    const Cells cells{cell};
    appendRowStatement(out, "P(", columns, cells);
    EXPECT_EQ(out.substr(0, 2), "P(");
    EXPECT_EQ(out.substr(out.size() - 3), ")\r\n");
    return out.substr(2, out.size() - 5);
}

TEST(RowStatement, StaffExampleByteForByte) {
    const std::vector<std::string_view> names{"Id", "Name", "Born", "Active"};
    const std::string prefix = statementPrefix("Staff", names);
    EXPECT_EQ(prefix, "Insert Into Staff ([Id],[Name],[Born],[Active]) Values (");
    const std::vector<ColumnDescription> columns{number(false), text(true), date(true), bit()};
    std::string out;
    appendRowStatement(out, prefix, columns, Cells{"7", "O'Neil", "2001/2/3", "True"});
    EXPECT_EQ(out,
              "Insert Into Staff ([Id],[Name],[Born],[Active]) Values (7,N'O''Neil',N'2001-02-03 00:00:00',1)\r\n");
    // A second row is appended after the first, as a batch collects them.
    appendRowStatement(out, prefix, columns, Cells{"8", "Li", "", "False"});
    EXPECT_EQ(out.substr(out.find("\r\n") + 2),
              "Insert Into Staff ([Id],[Name],[Born],[Active]) Values (8,N'Li',Null,0)\r\n");
}

TEST(RowStatement, TextValues) {
    EXPECT_EQ(valueOf(text(true), "#Null"), "Null");
    EXPECT_EQ(valueOf(text(false), "#Null"), "N''");
    // Text columns ask the field of the same name, not the one at the same position.
    EXPECT_EQ(valueOf({1, true, false, false}, "#Null"), "Null");
    EXPECT_EQ(valueOf({1, false, true, false}, "#Null"), "N''");
    EXPECT_EQ(valueOf(text(true), ""), "N''");
    EXPECT_EQ(valueOf(text(true), "#null"), "N'#null'");  // the marker is case-sensitive
    EXPECT_EQ(valueOf(text(true), "'a''b'"), "N'''a''''b'''");
    EXPECT_EQ(valueOf(text(true), "张三"), "N'张三'");
    EXPECT_EQ(valueOf(text(true), " x "), "N' x '");
}

TEST(RowStatement, DateValues) {
    EXPECT_EQ(valueOf(date(true), "1999-12-31 23:59"), "N'1999-12-31 23:59:00'");
    EXPECT_EQ(valueOf(date(true), ""), "Null");
    EXPECT_EQ(valueOf(date(false), ""), "''");
    EXPECT_EQ(valueOf(date(true), "2001-02-30"), "Null");
    EXPECT_EQ(valueOf(date(false), "yesterday"), "''");
    EXPECT_EQ(valueOf(date(true), "#Null"), "Null");
}

TEST(RowStatement, NumericAndBitValues) {
    EXPECT_EQ(valueOf(number(true), "-12.5"), "-12.5");
    EXPECT_EQ(valueOf(number(true), ""), "Null");
    EXPECT_EQ(valueOf(number(false), ""), "0");
    EXPECT_EQ(valueOf(number(true), "abc"), "");  // no value: the server refuses the row
    EXPECT_EQ(valueOf(number(true), "1,000"), "");
    EXPECT_EQ(valueOf(number(true), "1);delete from t;--"), "");
    EXPECT_EQ(valueOf(bit(), "True"), "1");
    EXPECT_EQ(valueOf(bit(), "1"), "1");
    EXPECT_EQ(valueOf(bit(), "0"), "0");
    EXPECT_EQ(valueOf(bit(), "False"), "0");
    EXPECT_EQ(valueOf(bit(), "true"), "0");
    EXPECT_EQ(valueOf(bit(), ""), "0");
    EXPECT_EQ(valueOf(other(), "0xFF"), "");
    EXPECT_EQ(valueOf(other(), ""), "");
}

TEST(RowStatement, CellsThatWriteNothingLeaveTheListShort) {
    const std::vector<ColumnDescription> columns{number(true), other(), text(true), number(true)};
    std::string out;
    appendRowStatement(out, "I (", columns, Cells{"1", "x", "a", "abc"});
    EXPECT_EQ(out, "I (1,N'a')\r\n");
    out.clear();
    appendRowStatement(out, "I (", std::vector<ColumnDescription>{other(), number(true)}, Cells{"x", "y"});
    EXPECT_EQ(out, "I ()\r\n");
    out.clear();
    // Fewer cells than columns: the missing ones read as empty.
    appendRowStatement(out, "I (", columns, Cells{"5"});
    EXPECT_EQ(out, "I (5,N'',Null)\r\n");
}

TEST(RowStatement, PrefixBracketsEachName) {
    const std::vector<std::string_view> one{"A"};
    EXPECT_EQ(statementPrefix("dbo.T", one), "Insert Into dbo.T ([A]) Values (");
    const std::vector<std::string_view> three{"A", "B C", ""};
    EXPECT_EQ(statementPrefix("T", three), "Insert Into T ([A],[B C],[]) Values (");
}

}  // namespace
}  // namespace dovrel::exchange::detail
