// The stand-in through unixODBC and the FreeTDS ODBC driver, the road the
// program itself takes: transactions by SQLSetConnectAttr/SQLEndTran (the
// protocol's transaction manager requests), column descriptions, errors.
#include "support/standin_server.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dovrel::test {
namespace {

using Row = std::vector<std::optional<std::string>>;

// One ODBC connection to the stand-in, with a few helpers; failures are
// returned as values so that tests can look at them.
class OdbcConnection {
public:
    OdbcConnection(const StandinServer& server, const std::string& database) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
        const std::string text = "Driver={FreeTDS};Server=127.0.0.1;Port=" + std::to_string(server.port()) +
                                 ";UID=sa;PWD=Secret#1;Database=" + database + ";TDS_Version=7.4;ClientCharset=UTF-8";
        SQLCHAR out[1024];
        SQLSMALLINT outLength = 0;
        const SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, (SQLCHAR*)text.c_str(), SQL_NTS, out, sizeof out,
                                              &outLength, SQL_DRIVER_NOPROMPT);
        connected_ = SQL_SUCCEEDED(rc);
        if (!connected_) error_ = diagnostics(SQL_HANDLE_DBC, dbc_);
    }
    ~OdbcConnection() {
        if (connected_) SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    bool connected() const { return connected_; }
    const std::string& error() const { return error_; }
    SQLHDBC handle() const { return dbc_; }

    // Runs a batch; returns the rows of its first result set. `error()` holds
    // the diagnostics ("native:message" lines) when the driver reported any.
    std::vector<Row> run(const std::string& sql, SQLRETURN* result = nullptr) {
        error_.clear();
        SQLHSTMT stmt;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
        const SQLRETURN rc = SQLExecDirect(stmt, (SQLCHAR*)sql.c_str(), SQL_NTS);
        if (result) *result = rc;
        std::vector<Row> rows;
        if (rc != SQL_SUCCESS) error_ = diagnostics(SQL_HANDLE_STMT, stmt);
        if (SQL_SUCCEEDED(rc)) {
            SQLSMALLINT columns = 0;
            SQLNumResultCols(stmt, &columns);
            while (columns > 0 && SQL_SUCCEEDED(SQLFetch(stmt))) {
                Row row;
                for (SQLUSMALLINT c = 1; c <= columns; ++c) {
                    std::string value;
                    char buf[512];
                    SQLLEN length = 0;
                    SQLRETURN g;
                    bool null = false;
                    while (SQL_SUCCEEDED(g = SQLGetData(stmt, c, SQL_C_CHAR, buf, sizeof buf, &length))) {
                        if (length == SQL_NULL_DATA) {
                            null = true;
                            break;
                        }
                        const size_t got = (length == SQL_NO_TOTAL || length >= static_cast<SQLLEN>(sizeof buf))
                                               ? sizeof buf - 1
                                               : static_cast<size_t>(length);
                        value.append(buf, got);
                        if (g == SQL_SUCCESS) break;
                    }
                    row.push_back(null ? std::nullopt : std::optional<std::string>(value));
                }
                rows.push_back(std::move(row));
            }
            // Later results (statements after the first) must be read too.
            while (SQL_SUCCEEDED(SQLMoreResults(stmt))) {}
            const std::string more = diagnostics(SQL_HANDLE_STMT, stmt);
            error_ += more;
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return rows;
    }

    // The rows of a catalog function (SQLColumns, SQLTables ...); `error()`
    // holds the diagnostics when it failed.
    std::vector<Row> catalog(const std::function<SQLRETURN(SQLHSTMT)>& call) {
        error_.clear();
        SQLHSTMT stmt;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
        std::vector<Row> rows;
        const SQLRETURN rc = call(stmt);
        if (!SQL_SUCCEEDED(rc)) error_ = diagnostics(SQL_HANDLE_STMT, stmt);
        SQLSMALLINT columns = 0;
        if (SQL_SUCCEEDED(rc)) SQLNumResultCols(stmt, &columns);
        while (columns > 0 && SQL_SUCCEEDED(SQLFetch(stmt))) {
            Row row;
            for (SQLUSMALLINT k = 1; k <= columns; ++k) {
                char buf[512];
                SQLLEN length = 0;
                SQLGetData(stmt, k, SQL_C_CHAR, buf, sizeof buf, &length);
                row.push_back(length == SQL_NULL_DATA ? std::nullopt : std::optional<std::string>(buf));
            }
            rows.push_back(std::move(row));
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return rows;
    }

    struct Column {
        std::string name;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
    };
    std::vector<Column> describe(const std::string& sql) {
        SQLHSTMT stmt;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
        std::vector<Column> out;
        if (SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)sql.c_str(), SQL_NTS))) {
            SQLSMALLINT columns = 0;
            SQLNumResultCols(stmt, &columns);
            for (SQLUSMALLINT c = 1; c <= columns; ++c) {
                Column col;
                SQLCHAR name[256];
                SQLSMALLINT nameLength = 0;
                SQLDescribeCol(stmt, c, name, sizeof name, &nameLength, &col.type, &col.size, &col.digits,
                               &col.nullable);
                col.name = reinterpret_cast<char*>(name);
                out.push_back(col);
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return out;
    }

    static std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
        std::string out;
        for (SQLSMALLINT i = 1;; ++i) {
            SQLCHAR state[6], message[1024];
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length))) break;
            out += std::to_string(native) + ":" + reinterpret_cast<char*>(message) + "\n";
        }
        return out;
    }

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    std::string error_;
};

std::string single(const std::vector<Row>& rows) {
    return rows.size() == 1 && rows[0].size() == 1 && rows[0][0] ? *rows[0][0] : "<no single value>";
}

class StandinOdbcTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.lastError();
        const SqlRun r = server.runSql("CREATE DATABASE TovixHR");
        ASSERT_TRUE(r.ok()) << r.errors;
    }
    StandinServer server;
};

TEST_F(StandinOdbcTest, DriverTransactionsCommitAndRollBack) {
    ASSERT_TRUE(server.runSql("CREATE TABLE T (Id int NOT NULL PRIMARY KEY, Name nvarchar(10))", "TovixHR").ok());
    OdbcConnection c(server, "TovixHR");
    ASSERT_TRUE(c.connected()) << c.error();
    ASSERT_TRUE(SQL_SUCCEEDED(
        SQLSetConnectAttr(c.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)));
    c.run("Insert Into T ([Id],[Name]) Values (1,N'回滚')");
    EXPECT_EQ(single(c.run("Select Count(*) From T")), "1");
    // Another session cannot read the uncommitted row: it would wait for the lock.
    EXPECT_NE(server.runSql("SET LOCK_TIMEOUT 0\nSelect Count(*) From T", "TovixHR").errors.find("1222"),
              std::string::npos);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.handle(), SQL_ROLLBACK)));
    EXPECT_EQ(single(c.run("Select Count(*) From T")), "0");

    c.run("Insert Into T ([Id],[Name]) Values (2,N'提交')");
    // A failing statement inside the transaction leaves the transaction as it was.
    SQLRETURN rc = SQL_SUCCESS;
    c.run("Insert Into T ([Id],[Name]) Values (2,N'dup')", &rc);
    EXPECT_EQ(rc, SQL_ERROR);
    EXPECT_NE(c.error().find("2627:"), std::string::npos) << c.error();
    ASSERT_TRUE(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, c.handle(), SQL_COMMIT)));
    EXPECT_EQ(server.runSql("Select Id, Name From T", "TovixHR").output, "2\t提交\n");

    // Back to autocommit: each statement commits on its own.
    ASSERT_TRUE(SQL_SUCCEEDED(
        SQLSetConnectAttr(c.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0)));
    c.run("Insert Into T ([Id],[Name]) Values (3,N'auto')");
    EXPECT_EQ(server.runSql("Select Count(*) From T", "TovixHR").output, "2\n");
}

TEST_F(StandinOdbcTest, ColumnsCarryTheirDeclaredTypesAndNullability) {
    ASSERT_TRUE(server
                    .runSql("CREATE TABLE Staff (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(20) NOT NULL,"
                            " Born datetime NULL, Active bit, Pay decimal(10,2), Memo varchar(30), Notes ntext,"
                            " Photo image, G uniqueidentifier, Small smallint, Big bigint, Rate float, Cash money,"
                            " Day date, Ts timestamp)",
                            "TovixHR")
                    .ok());
    OdbcConnection c(server, "TovixHR");
    ASSERT_TRUE(c.connected()) << c.error();
    const auto cols = c.describe("Select * From Staff Where 1=2 ");
    ASSERT_EQ(cols.size(), 15u);
    // As the FreeTDS driver names them: decimal as SQL_NUMERIC, float as SQL_DOUBLE, money as SQL_DECIMAL.
    const SQLSMALLINT expected[] = {SQL_INTEGER, SQL_WVARCHAR,     SQL_TYPE_TIMESTAMP, SQL_BIT,       SQL_NUMERIC,
                                    SQL_VARCHAR, SQL_WLONGVARCHAR, SQL_LONGVARBINARY,  SQL_GUID,      SQL_SMALLINT,
                                    SQL_BIGINT,  SQL_DOUBLE,       SQL_DECIMAL,        SQL_TYPE_DATE, SQL_BINARY};
    for (size_t k = 0; k < cols.size(); ++k) EXPECT_EQ(cols[k].type, expected[k]) << cols[k].name;
    EXPECT_EQ(cols[0].name, "Id");
    EXPECT_EQ(cols[0].nullable, SQL_NO_NULLS);
    EXPECT_EQ(cols[1].nullable, SQL_NO_NULLS);
    EXPECT_EQ(cols[1].size, 20u);
    EXPECT_EQ(cols[2].nullable, SQL_NULLABLE);
    EXPECT_EQ(cols[3].nullable, SQL_NULLABLE);
    EXPECT_EQ(cols[4].size, 10u);
    EXPECT_EQ(cols[4].digits, 2);

    const auto max = c.describe("Select Max(Id) From Staff");
    ASSERT_EQ(max.size(), 1u);
    EXPECT_EQ(max[0].type, SQL_INTEGER);
    EXPECT_EQ(max[0].nullable, SQL_NULLABLE);
    EXPECT_EQ(single(c.run("Select Max(Id) From Staff")), "<no single value>");  // one NULL value

    c.run(
        "Insert Into Staff ([Name],[Born],[Active],[Pay],[Cash],[Day]) Values (N'王',N'2001-02-03 "
        "04:05:06.789',1,-12.5,3.25,'2020-02-29')");
    const auto rows = c.run("Select Id, Name, Born, Active, Pay, Cash, Day, Memo From Staff");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "1");
    EXPECT_EQ(rows[0][1], "王");
    EXPECT_EQ(rows[0][2], "2001-02-03 04:05:06.790");  // datetime keeps 1/300 s
    EXPECT_EQ(rows[0][3], "1");
    EXPECT_EQ(rows[0][4], "-12.50");
    EXPECT_EQ(rows[0][5], "3.2500");
    EXPECT_EQ(rows[0][6], "2020-02-29");
    EXPECT_EQ(rows[0][7], std::nullopt);
}

TEST_F(StandinOdbcTest, ErrorsReachTheDriverWithTheirNumbers) {
    ASSERT_TRUE(server.runSql("CREATE TABLE T (Id int NOT NULL)", "TovixHR").ok());
    OdbcConnection c(server, "TovixHR");
    ASSERT_TRUE(c.connected()) << c.error();
    SQLRETURN rc = SQL_SUCCESS;
    c.run("select * from nothere", &rc);
    EXPECT_EQ(rc, SQL_ERROR);
    EXPECT_NE(c.error().find("208:"), std::string::npos) << c.error();
    EXPECT_NE(c.error().find("Invalid object name 'nothere'."), std::string::npos);

    // A conversion error ends the batch: the third row is never inserted.
    c.run("Insert Into T Values (1)\r\nInsert Into T Values ('x')\r\nInsert Into T Values (3)\r\n");
    EXPECT_NE(c.error().find("245:"), std::string::npos) << c.error();
    EXPECT_EQ(server.runSql("Select Id From T Order By Id", "TovixHR").output, "1\n");

    OdbcConnection wrong(server, "NoSuchDb");
    EXPECT_FALSE(wrong.connected());
}

TEST_F(StandinOdbcTest, HelpTextRowsJoinToTheExactDefinition) {
    ASSERT_TRUE(server
                    .runSql("CREATE TABLE Staff (Id int NOT NULL, Name nvarchar(20))\n"
                            "CREATE TABLE Audit (Id int, Note nvarchar(400))",
                            "TovixHR")
                    .ok());
    const std::string longLine(300, 'y');
    const std::string definition =
        "CREATE TRIGGER trg_Long ON Staff FOR INSERT\r\nAS\r\n-- 审计：记录新员工\r\n"
        "INSERT INTO Audit (Id, Note) SELECT Id, N'" +
        longLine + "' FROM inserted\r\n";
    OdbcConnection c(server, "TovixHR");
    ASSERT_TRUE(c.connected()) << c.error();
    c.run(definition);
    ASSERT_EQ(c.error(), "");
    const auto rows = c.run("Exec SP_HelpText 'trg_Long'");
    ASSERT_GE(rows.size(), 5u);
    std::string joined;
    for (const auto& r : rows) {
        ASSERT_TRUE(r[0].has_value());
        joined += *r[0];
    }
    EXPECT_EQ(joined, definition);
    EXPECT_EQ(rows[0][0], "CREATE TRIGGER trg_Long ON Staff FOR INSERT\r\n");
    const auto names = c.run("Exec Sp_HelpTrigger 'Staff'");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0][0], "trg_Long");

    // Dropped and re-created from the joined rows, it works as before.
    c.run("Drop Trigger trg_Long");
    c.run(joined);
    c.run("Insert Into Staff ([Id],[Name]) Values (1,N'x')");
    EXPECT_EQ(single(c.run("Select Count(*) From Audit Where Note = N'" + longLine + "'")), "1");
}

// ODBC's catalog functions reach the procedures SQL Server answers them with
// (sp_columns, sp_tables, sp_pkeys, sent as remote procedure calls); those
// the stand-in lacks are refused in plain words. SysDatabases has SQL
// Server's columns and types.
TEST_F(StandinOdbcTest, CatalogCallsAreAnswered) {
    ASSERT_TRUE(server
                    .runSql("CREATE TABLE Staff (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(20) NOT NULL,"
                            " Born datetime NULL, Pay decimal(10,2))\nCREATE TABLE Other (X int)",
                            "TovixHR")
                    .ok());
    OdbcConnection c(server, "TovixHR");
    ASSERT_TRUE(c.connected()) << c.error();
    auto text = [](const char* s) { return (SQLCHAR*)s; };
    struct Case {
        const char* name;
        std::function<SQLRETURN(SQLHSTMT)> call;
        std::vector<SQLUSMALLINT> columns;  // which columns of each row to compare
        std::vector<std::vector<std::string>> rows;
        const char* error;  // or the diagnostics expected
    };
    const Case cases[] = {
        {"SQLColumns: names, ODBC types, type names, nullability",
         [&](SQLHSTMT h) { return SQLColumns(h, nullptr, 0, nullptr, 0, text("Staff"), SQL_NTS, nullptr, 0); },
         {4, 5, 6, 11, 17},
         {{"Id", "4", "int identity", "0", "1"},
          {"Name", "-9", "nvarchar", "0", "2"},
          {"Born", "93", "datetime", "1", "3"},
          {"Pay", "3", "decimal", "1", "4"}},
         nullptr},
        {"SQLColumns of one column by pattern",
         [&](SQLHSTMT h) { return SQLColumns(h, nullptr, 0, nullptr, 0, text("St%"), SQL_NTS, text("N%"), SQL_NTS); },
         {3, 4, 7},
         {{"Staff", "Name", "20"}},
         nullptr},
        {"SQLTables",
         [&](SQLHSTMT h) { return SQLTables(h, nullptr, 0, nullptr, 0, text("%"), SQL_NTS, text("'TABLE'"), SQL_NTS); },
         {1, 2, 3, 4},
         {{"TovixHR", "dbo", "Other", "TABLE"}, {"TovixHR", "dbo", "Staff", "TABLE"}},
         nullptr},
        {"SQLPrimaryKeys",
         [&](SQLHSTMT h) { return SQLPrimaryKeys(h, nullptr, 0, nullptr, 0, text("Staff"), SQL_NTS); },
         {4, 5},
         {{"Id", "1"}},
         nullptr},
        {"SQLStatistics is refused",
         [&](SQLHSTMT h) {
             return SQLStatistics(h, nullptr, 0, nullptr, 0, text("Staff"), SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
         },
         {},
         {},
         "The stand-in does not support the procedure sp_statistics"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const auto rows = c.catalog(k.call);
        if (k.error) {
            EXPECT_NE(c.error().find(k.error), std::string::npos) << c.error();
            continue;
        }
        ASSERT_EQ(c.error(), "");
        ASSERT_EQ(rows.size(), k.rows.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t col = 0; col < k.columns.size(); ++col) {
                EXPECT_EQ(rows[r][k.columns[col] - 1].value_or("NULL"), k.rows[r][col])
                    << "row " << r << " column " << k.columns[col];
            }
        }
    }
    const auto cols = c.describe("SELECT name, dbid, crdate, cmptlevel, filename FROM SysDatabases");
    ASSERT_EQ(cols.size(), 5u);
    const SQLSMALLINT expected[] = {SQL_WVARCHAR, SQL_SMALLINT, SQL_TYPE_TIMESTAMP, SQL_TINYINT, SQL_WVARCHAR};
    for (size_t k = 0; k < cols.size(); ++k) EXPECT_EQ(cols[k].type, expected[k]) << cols[k].name;
    EXPECT_EQ(c.run("SELECT COUNT(*) FROM SysDatabases WHERE name IN ('master', 'model', 'msdb', 'tempdb', 'TovixHR')"),
              (std::vector<Row>{{"5"}}));
}

TEST_F(StandinOdbcTest, TextFollowsTheCollationOfItsDatabaseOrColumn) {
    // TovixHR has the default Chinese_PRC_CI_AS (code page 936, case-insensitive);
    // Latin was made with Latin1_General_CS_AS (code page 1252, case-sensitive).
    ASSERT_TRUE(server.runSql("CREATE DATABASE Latin COLLATE Latin1_General_CS_AS").ok());
    ASSERT_TRUE(server
                    .runSql("CREATE TABLE T (Id int, V varchar(6), C char(4), N nvarchar(6), Tx text,"
                            " Cs varchar(10) COLLATE Chinese_PRC_CS_AS)",
                            "TovixHR")
                    .ok());
    ASSERT_TRUE(server.runSql("CREATE TABLE T (Id int, V varchar(6))", "Latin").ok());
    OdbcConnection chinese(server, "TovixHR"), latin(server, "Latin");
    ASSERT_TRUE(chinese.connected()) << chinese.error();
    ASSERT_TRUE(latin.connected()) << latin.error();
    struct Case {
        OdbcConnection& connection;
        const char* sql;
        const char* expected;  // the single value, "" for none, or "NNNN:" for an error
    };
    const Case cases[] = {
        // varchar holds the code page and counts its bytes: 中 takes two.
        {chinese, "Insert Into T (Id, V, C, N, Tx) Values (1, N'中文字', N'中', N'中文字符中文', N'中文')", ""},
        {chinese, "Select V + N'|' + C + N'|' + N + N'|' + CONVERT(nvarchar(10), Tx) From T Where Id = 1",
         "中文字|中  |中文字符中文|中文"},
        {chinese, "Select V From T Where Id = 1", "中文字"},
        {chinese, "Insert Into T (Id, V) Values (2, N'中文字符')", "8152:"},
        {chinese, "Insert Into T (Id, C) Values (2, N'中文字')", "8152:"},
        {chinese, "Insert Into T (Id, V) Values (2, 'abcdefg')", "8152:"},
        {chinese, "Insert Into T (Id, V, Cs) Values (2, N'ÿé', 'ABC')", ""},
        {chinese, "Select V From T Where Id = 2", "?é"},
        {chinese, "Select N'ÿ' + 'ÿ'", "ÿ?"},
        // Comparisons ignore trailing blanks, and case where the collation says so.
        {chinese, "Select Id From T Where V = N'中文字   '", "1"},
        {chinese, "Select Id From T Where V = N'?É' And Cs = 'ABC  '", "2"},
        {chinese, "Select Count(*) From T Where Cs = 'abc'", "0"},
        {chinese, "Select Id From T Where V Like N'?_' And Id > 1", "2"},
        {chinese, "Insert Into T (Id, N) Values (3, N'ΣΩ Éa')", ""},
        {chinese, "Select Id From T Where N = N'σω éA'", "3"},
        // A database made with its own collation is listed like any other.
        {chinese, "Select Count(*) From SysDatabases Where name = N'Latin' And dbid > 4", "1"},
        {latin, "Insert Into T (Id, V) Values (1, N'中é')", ""},
        {latin, "Select V From T", "?é"},
        {latin, "Select Count(*) From T Where V = N'?É'", "0"},
        {latin, "Select Count(*) From T Where V = N'?é  '", "1"},
    };
    for (const auto& c : cases) {
        const auto rows = c.connection.run(c.sql);
        const std::string error = c.connection.error();
        const std::string got = !error.empty() ? error.substr(0, error.find(':') + 1)
                                : rows.empty() ? std::string()
                                               : single(rows);
        EXPECT_EQ(got, c.expected) << c.sql;
    }
}

}  // namespace
}  // namespace dovrel::test
