// What the layer makes of the driver's answers without a server: type
// codes, value texts, text conversion, driver choice and error numbers.
#include <gtest/gtest.h>

#include "db/ado.h"
#include "db/ado_field_types.h"
#include "db/odbc_drivers.h"
#include "db/odbc_handles.h"
#include "db/odbc_headers.h"
#include "db/odbc_text.h"
#include "db/odbc_values.h"

namespace dovrel::ado {
namespace {

TEST(AdoTypeOf, TheServersTypesByName) {
    EXPECT_EQ(adoTypeOf(SQL_WVARCHAR, "nvarchar"), 202);
    EXPECT_EQ(adoTypeOf(SQL_INTEGER, "int"), 3);
    EXPECT_EQ(adoTypeOf(SQL_INTEGER, "int identity"), 3);
    EXPECT_EQ(adoTypeOf(SQL_BIT, "bit"), 11);
    EXPECT_EQ(adoTypeOf(SQL_TYPE_TIMESTAMP, "datetime"), 135);
    EXPECT_EQ(adoTypeOf(SQL_TYPE_TIMESTAMP, "smalldatetime"), 135);
    EXPECT_EQ(adoTypeOf(SQL_DECIMAL, "decimal"), 131);
    EXPECT_EQ(adoTypeOf(SQL_NUMERIC, "numeric"), 131);
    EXPECT_EQ(adoTypeOf(SQL_DECIMAL, "money"), 6);
    EXPECT_EQ(adoTypeOf(SQL_DECIMAL, "SmallMoney"), 6);
    EXPECT_EQ(adoTypeOf(SQL_TINYINT, "tinyint"), 17);
    EXPECT_EQ(adoTypeOf(SQL_BIGINT, "bigint"), 20);
    EXPECT_EQ(adoTypeOf(SQL_SMALLINT, "smallint"), 2);
    EXPECT_EQ(adoTypeOf(SQL_REAL, "real"), 4);
    EXPECT_EQ(adoTypeOf(SQL_FLOAT, "float"), 5);
    EXPECT_EQ(adoTypeOf(SQL_GUID, "uniqueidentifier"), 72);
    EXPECT_EQ(adoTypeOf(SQL_VARBINARY, "varbinary"), 204);
    EXPECT_EQ(adoTypeOf(SQL_BINARY, "binary"), 128);
    EXPECT_EQ(adoTypeOf(SQL_BINARY, "timestamp"), 128);
    EXPECT_EQ(adoTypeOf(SQL_LONGVARBINARY, "image"), 205);
    EXPECT_EQ(adoTypeOf(SQL_CHAR, "char"), 129);
    EXPECT_EQ(adoTypeOf(SQL_VARCHAR, "varchar"), 200);
    EXPECT_EQ(adoTypeOf(SQL_LONGVARCHAR, "text"), 201);
    EXPECT_EQ(adoTypeOf(SQL_WCHAR, "nchar"), 130);
    EXPECT_EQ(adoTypeOf(SQL_WLONGVARCHAR, "ntext"), 203);
    EXPECT_EQ(adoTypeOf(SQL_TYPE_DATE, "date"), 133);
}

TEST(AdoTypeOf, LongFormsAndUnknownNames) {
    EXPECT_EQ(adoTypeOf(SQL_WLONGVARCHAR, "nvarchar"), 203);  // nvarchar(max)
    EXPECT_EQ(adoTypeOf(SQL_LONGVARCHAR, "varchar"), 201);
    EXPECT_EQ(adoTypeOf(SQL_LONGVARBINARY, "varbinary"), 205);
    // Without a name the SQL type decides.
    EXPECT_EQ(adoTypeOf(SQL_WVARCHAR, ""), 202);
    EXPECT_EQ(adoTypeOf(SQL_DECIMAL, ""), 131);
    EXPECT_EQ(adoTypeOf(SQL_TYPE_TIMESTAMP, "MyDateAlias"), 135);
    EXPECT_EQ(adoTypeOf(kSqlSsVariant, "sql_variant"), adVariant);
    EXPECT_EQ(adoTypeOf(9999, ""), adVariant);
}

TEST(ValueText, DecimalsInPlainNotation) {
    EXPECT_EQ(odbc::normalizeDecimal("12.3400"), "12.34");
    EXPECT_EQ(odbc::normalizeDecimal("12.0000"), "12");
    EXPECT_EQ(odbc::normalizeDecimal("-.50"), "-0.5");
    EXPECT_EQ(odbc::normalizeDecimal(".0"), "0");
    EXPECT_EQ(odbc::normalizeDecimal("-0.000"), "0");
    EXPECT_EQ(odbc::normalizeDecimal("100"), "100");
    EXPECT_EQ(odbc::normalizeDecimal(" 922337203685477.5807 "), "922337203685477.5807");
}

TEST(ValueText, DatesNumbersAndBytes) {
    SQL_TIMESTAMP_STRUCT stamp{2001, 2, 3, 4, 5, 6, 0};
    EXPECT_EQ(odbc::formatTimestamp(stamp), "2001-02-03 04:05:06");
    stamp.fraction = 997000000;
    EXPECT_EQ(odbc::formatTimestamp(stamp), "2001-02-03 04:05:06.997");
    stamp.fraction = 500000;  // below a millisecond
    EXPECT_EQ(odbc::formatTimestamp(stamp), "2001-02-03 04:05:06");
    EXPECT_EQ(odbc::formatDate(SQL_DATE_STRUCT{1999, 12, 31}), "1999-12-31");

    EXPECT_EQ(odbc::formatDouble(0.1), "0.1");
    EXPECT_EQ(odbc::formatDouble(-2.5), "-2.5");
    EXPECT_EQ(odbc::formatDouble(1e20), "100000000000000000000");
    EXPECT_EQ(odbc::formatDouble(42), "42");
    EXPECT_EQ(odbc::formatFloat(3.14f), "3.14");

    EXPECT_EQ(odbc::hexDigits(std::string("\x00\x1f\xab\xff", 4)), "001FABFF");
    EXPECT_EQ(odbc::hexDigits(""), "");
}

TEST(TextConversion, RoundTripsAndRepairs) {
    const std::string chinese = "人事考勤 𠀀 ok";
    const std::u16string wide = odbc::toUtf16(chinese);
    EXPECT_EQ(wide.size(), 10u);  // the supplementary character takes two units
    EXPECT_EQ(odbc::toUtf8(wide), chinese);
    EXPECT_EQ(odbc::toUtf16("a\xff"
                            "b"),
              u"a\uFFFDb");
    // A cut character: one U+FFFD per byte, so it cannot swallow what follows.
    EXPECT_EQ(odbc::toUtf16("\xe4\xba"
                            "b"),
              u"\uFFFD\uFFFDb");
    EXPECT_EQ(odbc::toUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(DriverChoice, MicrosoftsDriversNewestFirstThenFreeTds) {
    EXPECT_EQ(odbc::chooseSqlServerDriver(
                  {"FreeTDS", "SQL Server", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"}),
              "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(odbc::chooseSqlServerDriver({"FreeTDS", "sql server native client 11.0", "SQL Server"}),
              "sql server native client 11.0");
    EXPECT_EQ(odbc::chooseSqlServerDriver({"PostgreSQL", "FreeTDS", "SQL Server"}), "SQL Server");
    EXPECT_EQ(odbc::chooseSqlServerDriver({"PostgreSQL", "freetds 1.3"}), "freetds 1.3");
    // The driver installed here reads braced values as its version does.
    const auto installed = odbc::describeDriver("FreeTDS");
    EXPECT_TRUE(installed.freeTds);
    EXPECT_FALSE(installed.encryptsByDefault);
    EXPECT_TRUE(odbc::describeDriver("ODBC Driver 18 for SQL Server").encryptsByDefault);
    EXPECT_EQ(odbc::chooseSqlServerDriver({"PostgreSQL", "MySQL"}), "");
    EXPECT_EQ(odbc::chooseSqlServerDriver({}), "");
}

TEST(DatabaseErrorNumber, FirstNonZeroNativeNumber) {
    const DatabaseError login({{0, "08001", "[FreeTDS][SQL Server]Unable to connect to data source"},
                               {18456, "28000", "[FreeTDS][SQL Server]Login failed for user 'sa'."}});
    EXPECT_EQ(login.number(), 18456);
    EXPECT_EQ(
        login.description(),
        "[FreeTDS][SQL Server]Unable to connect to data source\n[FreeTDS][SQL Server]Login failed for user 'sa'.");
    EXPECT_STREQ(login.what(), login.description().c_str());
    EXPECT_EQ(DatabaseError("HY000", 0, "x").number(), -2147467259);
    EXPECT_EQ(DatabaseError(std::vector<ErrorEntry>{}).number(), -2147467259);
}

TEST(Diagnostics, WarningsAreNotFailures) {
    EXPECT_FALSE(odbc::isFailure({5701, "01000", "Changed database context to 'master'."}));
    EXPECT_FALSE(odbc::isFailure({0, "01004", "String data, right truncated"}));
    EXPECT_TRUE(odbc::isFailure({208, "42S02", "Invalid object name 'x'."}));
    EXPECT_TRUE(odbc::isFailure({2627, "23000", "Violation of PRIMARY KEY constraint"}));
    // A call that failed without any record still reports a failure.
    const auto found = odbc::failures(SQL_ERROR, SQL_HANDLE_STMT, nullptr, "SQLExecDirect");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].Description.find("SQLExecDirect"), std::string::npos);
    EXPECT_TRUE(odbc::failures(SQL_SUCCESS, SQL_HANDLE_STMT, nullptr, "x").empty());
}

TEST(RecordsetState, ClosedRecordsetAndConnectionRaise) {
    Recordset recordset;
    EXPECT_FALSE(recordset.IsOpen());
    try {
        recordset.RecordCount();
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.number(), 3704);
    }
    EXPECT_THROW(recordset.MoveNext(), DatabaseError);
    EXPECT_THROW(recordset.Fields(0), DatabaseError);

    Connection connection;
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.CommandTimeout(), 30u);
    EXPECT_THROW(connection.Execute("select 1"), DatabaseError);
    EXPECT_THROW(connection.BeginTrans(), DatabaseError);
    EXPECT_NO_THROW(connection.Close());
    EXPECT_THROW(connection.Open(""), DatabaseError);
    EXPECT_EQ(connection.Errors_().Count(), 1);
    EXPECT_THROW(connection.Open("data source=h;garbage"), DatabaseError);
    EXPECT_EQ(connection.Errors_().Count(), 2);
    connection.Errors_().Clear();
    EXPECT_EQ(connection.Errors_().Count(), 0);
}

}  // namespace
}  // namespace dovrel::ado
