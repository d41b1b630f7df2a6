// The stand-in as FreeTDS's command-line clients see it: bsqldb (through
// the fixture's runSql) and tsql speak to it exactly as to SQL Server.
#include "support/standin_server.h"
#include "tsql_client.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace dovrel::test {
namespace {

class StandinClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()) << server.lastError(); }

    // Runs setup SQL that must succeed.
    void setup(const std::string& sql, const std::string& db = "master") {
        const SqlRun r = server.runSql(sql, db);
        ASSERT_TRUE(r.ok()) << sql << "\n" << r.errors;
    }

    // The rows (without the header line) that one statement gives through
    // tsql, or "Msg N" for its error. (bsqldb cuts decimals and money longer
    // than 21 and 12 characters.)
    std::string rowsOrError(const std::string& sql, const std::string& db) {
        const SqlRun r = runTsql(server, sql, db);
        const auto at = r.output.find("Msg ");
        if (at != std::string::npos) return r.output.substr(at, r.output.find(' ', at + 4) - at);
        const auto header = r.output.find('\n');
        return header == std::string::npos ? std::string() : r.output.substr(header + 1);
    }

    StandinServer server;
};

TEST_F(StandinClientTest, ListsDatabasesAndFindsThemIgnoringCase) {
    setup("CREATE DATABASE TovixHR\nCREATE DATABASE alpha");
    SqlRun list = server.runSql("Select Name from SysDatabases order by Name");
    ASSERT_TRUE(list.ok()) << list.errors;
    EXPECT_EQ(list.output, "alpha\nmaster\nTovixHR\n");

    SqlRun found = server.runSql("SELECT Name FROM SysDatabases WHERE Name = N'tovixhr'");
    ASSERT_TRUE(found.ok()) << found.errors;
    EXPECT_EQ(found.output, "TovixHR\n");
    SqlRun missing = server.runSql("SELECT Name FROM SysDatabases WHERE Name = N'Payroll'");
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.output, "");

    // The database can be used by name in any letter case, and dropped.
    EXPECT_TRUE(server.runSql("SELECT 1", "TOVIXHR").ok());
    setup("DROP DATABASE alpha");
    EXPECT_EQ(server.runSql("Select Name from SysDatabases order by Name").output, "master\nTovixHR\n");
    SqlRun again = runTsql(server, "DROP DATABASE alpha\nCREATE DATABASE tovixhr");
    EXPECT_NE(again.output.find("Msg 3701"), std::string::npos) << again.output;
    EXPECT_NE(again.output.find("Msg 1801"), std::string::npos) << again.output;
}

TEST_F(StandinClientTest, RefusesWrongLoginsAndUnknownDatabases) {
    SqlRun wrongPassword = server.runSql("SELECT 1", "master", "sa", "secret#1");
    EXPECT_NE(wrongPassword.exitCode, 0);
    EXPECT_NE(wrongPassword.errors.find("18456"), std::string::npos) << wrongPassword.errors;
    EXPECT_NE(wrongPassword.errors.find("Login failed for user 'sa'."), std::string::npos);

    SqlRun unknownUser = server.runSql("SELECT 1", "master", "nobody", "Secret#1");
    EXPECT_NE(unknownUser.exitCode, 0);
    EXPECT_NE(unknownUser.errors.find("18456"), std::string::npos) << unknownUser.errors;

    SqlRun unknownDb = server.runSql("SELECT 1", "NoSuchDb");
    EXPECT_NE(unknownDb.exitCode, 0);
    EXPECT_NE(unknownDb.errors.find("4060"), std::string::npos) << unknownDb.errors;

    // Login names ignore case, passwords do not.
    EXPECT_TRUE(server.runSql("SELECT 1", "master", "SA", "Secret#1").ok());
}

TEST_F(StandinClientTest, ChineseTextAndTypedValuesRoundTrip) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE Staff (Id int NOT NULL PRIMARY KEY, Name nvarchar(20) NOT NULL, Born datetime NULL,"
          " Active bit, Pay decimal(10,2), Memo varchar(50))\n"
          "Insert Into Staff ([Id],[Name],[Born],[Active],[Pay],[Memo]) Values (7,N'O''Neil',N'2001-02-03 00:00:00',1,1234.5,'x')\n"
          "Insert Into Staff ([Id],[Name],[Born],[Active],[Pay],[Memo]) Values (8,N'人事考勤薪资',N'2001/2/3 10:11:12',0,-0.125,N'中文')",
          "TovixHR");
    SqlRun r = server.runSql("Select Id, Name, Active, Pay, Memo From Staff Order By Id", "TovixHR");
    ASSERT_TRUE(r.ok()) << r.errors;
    EXPECT_EQ(r.output, "7\tO'Neil\t1\t1234.50\tx\n8\t人事考勤薪资\t0\t-0.13\t中文\n");

    SqlRun found = server.runSql("Select Id From Staff Where Name = N'人事考勤薪资' Or Name = N'o''neil'", "TovixHR");
    EXPECT_EQ(found.output, "7\n8\n");
    SqlRun max = server.runSql("Select Max(Id) From Staff", "TovixHR");
    EXPECT_EQ(max.output, "8\n");
}

TEST_F(StandinClientTest, FailingStatementDoesNotStopTheBatch) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, Name nvarchar(5) NOT NULL)", "TovixHR");
    SqlRun r = runTsql(server,
                       "Insert Into T ([Id],[Name]) Values (1,N'a')\r\n"
                       "Insert Into T ([Id],[Name]) Values ('abc',N'b')\r\n"
                       "Insert Into T ([Id],[Name]) Values (3,N'c')\r\n"
                       "Insert Into T ([Id],[Name]) Values (4,N'far too long')\r\n"
                       "Insert Into T ([Id],[Name]) Values (5,NULL)\r\n"
                       "Insert Into T ([Id],[Name]) Values (6)\r\n"
                       "Insert Into T Values (7)\r\n"
                       "Insert Into Nowhere Values (8)\r\n"
                       "Select Bogus From T\r\n"
                       "Insert Into T ([Id],[Name]) Values (9,N'd')",
                       "TovixHR");
    EXPECT_NE(r.output.find("Msg 245 (severity 16, state 1) from DOVREL-STANDIN Line 2"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Conversion failed when converting the varchar value 'abc' to data type int."),
              std::string::npos);
    EXPECT_NE(r.output.find("Msg 8152"), std::string::npos);
    EXPECT_NE(r.output.find("Cannot insert the value NULL into column 'Name', table 'TovixHR.dbo.T'"), std::string::npos);
    EXPECT_NE(r.output.find("Msg 109"), std::string::npos);
    EXPECT_NE(r.output.find("Column name or number of supplied values does not match table definition."),
              std::string::npos);
    EXPECT_NE(r.output.find("Invalid object name 'Nowhere'."), std::string::npos);
    EXPECT_NE(r.output.find("Invalid column name 'Bogus'."), std::string::npos);
    SqlRun rows = server.runSql("Select Id From T Order By Id", "TovixHR");
    EXPECT_EQ(rows.output, "1\n3\n9\n");
}

TEST_F(StandinClientTest, IdentityInsertFollowsSqlServersRule) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE A (Id int IDENTITY(10,5) NOT NULL, Name nvarchar(10))\n"
          "CREATE TABLE B (Id int IDENTITY(1,1), Name nvarchar(10))\n"
          "Insert Into A ([Name]) Values (N'first')",
          "TovixHR");
    SqlRun r = runTsql(server,
                       "Insert Into A ([Id],[Name]) Values (100,N'refused')\n"
                       "Set Identity_Insert A On\n"
                       "Insert Into A ([Id],[Name]) Values (100,N'explicit')\n"
                       "Insert Into A ([Name]) Values (N'no id')\n"
                       "Set Identity_Insert B On\n"
                       "Set Identity_Insert A Off\n"
                       "Insert Into A ([Name]) Values (N'after')\n"
                       "Select Id, Name From A Order By Id",
                       "TovixHR");
    EXPECT_NE(r.output.find("Cannot insert explicit value for identity column in table 'A' when IDENTITY_INSERT is set to OFF."),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Msg 545"), std::string::npos);
    EXPECT_NE(r.output.find("IDENTITY_INSERT is already ON for table 'TovixHR.dbo.A'"), std::string::npos);
    EXPECT_NE(r.output.find("10\tfirst\n100\texplicit\n105\tafter\n"), std::string::npos);
    // The setting belongs to the session that made it.
    SqlRun other = server.runSql("Insert Into A ([Id],[Name]) Values (200,N'x')", "TovixHR");
    EXPECT_NE(other.errors.find("544"), std::string::npos) << other.errors;
}

TEST_F(StandinClientTest, TriggersAreCreatedListedDroppedAndRecreated) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE Staff (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(20) NOT NULL)\n"
          "CREATE TABLE Audit (StaffId int, Name nvarchar(20), Kind nvarchar(10))",
          "TovixHR");
    const std::string trigger =
        "CREATE TRIGGER trg_StaffAudit ON Staff FOR INSERT, UPDATE\r\nAS\r\nBEGIN\r\n  SET NOCOUNT ON\r\n"
        "  INSERT INTO Audit (StaffId, Name, Kind) SELECT i.Id, i.Name, N'new' FROM inserted i\r\n"
        "  INSERT Audit (StaffId, Name, Kind) SELECT Id, Name, N'old' FROM deleted\r\nEND\r\n";
    setup(trigger, "TovixHR");
    setup("CREATE TRIGGER trg_StaffGone ON dbo.Staff AFTER DELETE AS DELETE FROM Audit WHERE StaffId IN (SELECT Id FROM deleted)",
          "TovixHR");
    setup("Insert Into Staff ([Name]) Values (N'张三')\nUpdate Staff Set Name = N'李四'", "TovixHR");
    EXPECT_EQ(server.runSql("Select StaffId, Name, Kind From Audit Order By Kind, Name", "TovixHR").output,
              "1\t张三\tnew\n1\t李四\tnew\n1\t张三\told\n");

    SqlRun list = server.runSql("Exec Sp_HelpTrigger 'Staff'", "TovixHR");
    EXPECT_EQ(list.output, "trg_StaffAudit\tdbo\t1\t0\t1\t1\t0\tdbo\ntrg_StaffGone\tdbo\t0\t1\t0\t1\t0\tdbo\n");
    SqlRun creating = runTsql(server, "SELECT 1\nCREATE TRIGGER t2 ON Staff FOR INSERT AS SELECT 1", "TovixHR");
    EXPECT_NE(creating.output.find("Msg 111"), std::string::npos) << creating.output;

    setup("Drop Trigger trg_StaffAudit\nDelete From Audit\nInsert Into Staff ([Name]) Values (N'王五')", "TovixHR");
    EXPECT_EQ(server.runSql("Select Count(*) From Audit", "TovixHR").output, "0\n");
    EXPECT_EQ(server.runSql("Exec Sp_HelpTrigger 'Staff'", "TovixHR").output,
              "trg_StaffGone\tdbo\t0\t1\t0\t1\t0\tdbo\n");
    SqlRun missing = runTsql(server, "Drop Trigger trg_StaffAudit\nExec SP_HelpText 'trg_StaffAudit'", "TovixHR");
    EXPECT_NE(missing.output.find("Msg 3701"), std::string::npos) << missing.output;
    EXPECT_NE(missing.output.find("Msg 15009"), std::string::npos);

    // The saved text creates the trigger again.
    setup(trigger, "TovixHR");
    setup("Insert Into Staff ([Name]) Values (N'赵六')", "TovixHR");
    EXPECT_EQ(server.runSql("Select Name From Audit", "TovixHR").output, "赵六\n");
    setup("Delete From Staff", "TovixHR");
    EXPECT_EQ(server.runSql("Select Count(*) From Audit", "TovixHR").output, "0\n");
}

TEST_F(StandinClientTest, CommittedRowsSurviveAKillAndUncommittedOnesDoNot) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, Name nvarchar(10))\nInsert Into T ([Id],[Name]) Values (1,N'autocommit')",
          "TovixHR");
    setup("BEGIN TRAN\nInsert Into T ([Id],[Name]) Values (2,N'committed')\nCOMMIT", "TovixHR");
    {
        OpenTsql open(server, "TovixHR");
        ASSERT_TRUE(open.send("BEGIN TRANSACTION\nInsert Into T ([Id],[Name]) Values (3,N'open')\nSelect 'in-flight', @@TRANCOUNT",
                              "in-flight\t1"))
            << open.output();
        server.kill();
    }
    ASSERT_TRUE(server.start()) << server.lastError();
    SqlRun rows = server.runSql("Select Id, Name From T Order By Id", "TovixHR");
    ASSERT_TRUE(rows.ok()) << rows.errors;
    EXPECT_EQ(rows.output, "1\tautocommit\n2\tcommitted\n");
}

TEST_F(StandinClientTest, TransactionStatementsAndTheirErrors) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL PRIMARY KEY)", "TovixHR");
    SqlRun r = runTsql(server,
                       "BEGIN TRAN\nInsert Into T Values (1)\nBEGIN TRANSACTION\nSelect 'count', @@TRANCOUNT\n"
                       "Insert Into T Values (1)\nInsert Into T Values (2)\nROLLBACK\nSelect 'after', @@TRANCOUNT\n"
                       "COMMIT\nBEGIN TRAN\nInsert Into T Values (5)\nCOMMIT TRAN",
                       "TovixHR");
    EXPECT_NE(r.output.find("count\t2"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Msg 2627"), std::string::npos);
    EXPECT_NE(r.output.find("after\t0"), std::string::npos);
    EXPECT_NE(r.output.find("Msg 3902"), std::string::npos);
    EXPECT_EQ(server.runSql("Select Id From T", "TovixHR").output, "5\n");
}

TEST_F(StandinClientTest, LargeBatchesAndResultsSpanManyPackets) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, Name nvarchar(100) NOT NULL)", "TovixHR");
    std::string batch;
    const std::string name(60, 'x');
    for (int k = 1; k <= 600; ++k) {
        batch += "Insert Into T ([Id],[Name]) Values (" + std::to_string(k) + ",N'" + name + "')\r\n";
    }
    ASSERT_GT(batch.size() * 2, 10u * 4096u);  // UTF-16 on the wire: many packets
    setup(batch, "TovixHR");
    SqlRun rows = server.runSql("Select Id, Name From T Order By Id", "TovixHR");
    ASSERT_TRUE(rows.ok()) << rows.errors;
    std::string expected;
    for (int k = 1; k <= 600; ++k) expected += std::to_string(k) + "\t" + name + "\n";
    EXPECT_EQ(rows.output, expected);
}

TEST_F(StandinClientTest, ServesSeveralClientsAtOnce) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Client int NOT NULL, N int NOT NULL)", "TovixHR");
    std::vector<std::thread> clients;
    std::vector<int> exitCodes(4, -1);
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&, c] {
            std::string batch;
            for (int n = 0; n < 50; ++n) {
                batch += "Insert Into T ([Client],[N]) Values (" + std::to_string(c) + "," + std::to_string(n) + ")\n";
            }
            exitCodes[static_cast<size_t>(c)] = server.runSql(batch, "TovixHR").exitCode;
        });
    }
    for (auto& t : clients) t.join();
    for (int code : exitCodes) EXPECT_EQ(code, 0);
    EXPECT_EQ(server.runSql("Select Client, Count(*) From T Group By Client Order By Client", "TovixHR").output,
              "0\t50\n1\t50\n2\t50\n3\t50\n");
}

TEST_F(StandinClientTest, TimestampColumnsAreFilledByTheServer) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, Ts timestamp)\nInsert Into T ([Id]) Values (1)\nInsert Into T ([Id]) Values (2)",
          "TovixHR");
    SqlRun r = runTsql(server, "Insert Into T ([Id],[Ts]) Values (3, 0x01)\nSelect Count(Distinct Ts), Count(Ts) From T",
                       "TovixHR");
    EXPECT_NE(r.output.find("Msg 273"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("2\t2"), std::string::npos) << r.output;
}

TEST_F(StandinClientTest, DateStringsAreReadWhereTheyMeetDates) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, Dt datetime, D date, Sd smalldatetime, Df datetime DEFAULT ('12/31/1999'))\n"
          "Insert Into T (Id, Dt, D, Sd) Values (1, '1999-12-31 23:59:58', '1999-12-31', '1999-12-31 23:59:29.998')\n"
          "Insert Into T (Id, Dt, D, Sd) Values (2, N'2000-01-01', '20000101', '2000-01-01 00:00:30')",
          "TovixHR");
    // Every string form that means the stored value finds it; strings
    // compare as dates, not as text.
    const std::pair<const char*, const char*> found[] = {
        {"Dt = '1999-12-31 23:59:58'", "1\n"},
        {"Dt = '19991231 23:59:58'", "1\n"},
        {"Dt = '1999-12-31T23:59:58'", "1\n"},
        {"Dt = '12/31/1999 11:59:58 PM'", "1\n"},
        {"Dt = N'Dec 31 1999 11:59:58PM'", "1\n"},
        {"'1999-12-31 23:59:58.001' = T.Dt", "1\n"},  // .001 rounds to .000
        {"Dt = '1999-12-31'", ""},
        {"Dt <= '1999-12-31'", ""},
        {"Dt > '2000-1-1'", ""},
        {"Dt >= '2000-1-1'", "2\n"},
        {"Dt BETWEEN '1999-12-31' AND '1999-12-31 23:59:59'", "1\n"},
        {"Dt NOT IN ('2000-01-01', '1999.12.31 23:59:58')", ""},
        {"D = '1999-12-31 10:00'", "1\n"},
        {"Sd = '1999-12-31 23:59'", "1\n"},
        {"Sd = '2000-01-01 00:01'", "2\n"},
        {"Df = '19991231'", "1\n2\n"},  // a default is stored as a date too
    };
    for (const auto& [condition, ids] : found) {
        EXPECT_EQ(rowsOrError(std::string("Select Id From T Where ") + condition + " Order By Id", "TovixHR"), ids)
            << condition;
    }
    // Conversions of strings to dates and of dates to strings, and the
    // errors SQL Server gives: 241 for no date, 242 for a date out of range.
    const std::pair<const char*, const char*> converted[] = {
        {"CONVERT(varchar(23), CAST('2001-02-03T04:05:06.789' AS datetime), 121)", "2001-02-03 04:05:06.790\n"},
        {"CONVERT(varchar(23), CAST('20010203 23:59:59.998' AS datetime), 121)", "2001-02-03 23:59:59.997\n"},
        {"CONVERT(varchar(23), CAST('1999-12-31 23:59:59.999' AS datetime), 121)", "2000-01-01 00:00:00.000\n"},
        {"CONVERT(varchar(23), CAST('12:30:20:1' AS datetime), 121)", "1900-01-01 12:30:20.000\n"},
        {"CONVERT(varchar(23), CAST('12:30:20.1' AS datetime), 121)", "1900-01-01 12:30:20.100\n"},
        {"CONVERT(varchar, CAST('2/29/2000 4PM' AS datetime), 120)", "2000-02-29 16:00:00\n"},
        {"CONVERT(varchar, CAST('' AS datetime), 23)", "1900-01-01\n"},
        {"CAST(Dt AS varchar)", "Dec 31 1999 11:59PM\n"},
        {"CONVERT(varchar, Dt, 0)", "Dec 31 1999 11:59PM\n"},
        {"CONVERT(varchar, Dt, 112)", "19991231\n"},
        {"CONVERT(varchar(10), Dt, 103)", "31/12/1999\n"},
        {"CONVERT(varchar, Sd, 121)", "1999-12-31 23:59:00.000\n"},  // 29.998 s rounds down
        {"CAST(D AS varchar)", "1999-12-31\n"},
        {"CONVERT(varchar, CONVERT(datetime, '31/12/1999', 103), 23)", "1999-12-31\n"},
        {"CAST('2001-02-30' AS datetime)", "Msg 242"},
        {"CAST('2001-13-01' AS datetime)", "Msg 242"},
        {"CAST('1752-12-31' AS datetime)", "Msg 242"},
        {"CAST('2079-06-06 23:59:30' AS smalldatetime)", "Msg 242"},
        {"CAST('2001-02-30' AS date)", "Msg 241"},
        {"CAST('yesterday' AS datetime)", "Msg 241"},
        {"CAST('2001-02-03 24:00' AS datetime)", "Msg 241"},
        {"CAST('2001-01-01 00:00:00.1234' AS datetime)", "Msg 241"},
        {"CONVERT(varchar, Dt, 7777)", "Msg 281"},
    };
    for (const auto& [expression, expected] : converted) {
        EXPECT_EQ(rowsOrError(std::string("Select ") + expression + " From T Where Id = 1", "TovixHR"), expected)
            << expression;
    }
    // Stored values obey the same rules; DELETE finds by date too.
    EXPECT_EQ(rowsOrError("Insert Into T (Id, Dt) Values (3, '2001-02-30')", "TovixHR"), "Msg 242");
    EXPECT_EQ(rowsOrError("Update T Set Dt = 'not a date' Where Id = 1", "TovixHR"), "Msg 241");
    setup("Delete From T Where D = '12/31/1999'", "TovixHR");
    EXPECT_EQ(rowsOrError("Select Id From T", "TovixHR"), "2\n");
}

TEST_F(StandinClientTest, ExactNumericsKeepEveryDigit) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int NOT NULL, A decimal(18,4), B decimal(38,0), M money, S smallmoney, N numeric(5,1))\n"
          "Insert Into T Values (1, 12345678901234.5678, 99999999999999999999999999999999999999,"
          " 922337203685477.5807, 214748.3647, 1234.5)\n"
          "Insert Into T Values (2, -12345678901234.5678, -12345678901234567890123, -922337203685477.5808,"
          " -214748.3648, 0.05)\n"
          "Insert Into T Values (3, 0.0001, 18446744073709551616, 0, 0, -0.04)",
          "TovixHR");
    // Storage, the wire and comparisons keep every digit, at the limits too.
    const std::pair<const char*, const char*> cases[] = {
        {"Select A, B, M, S, N From T Where Id = 1",
         "12345678901234.5678\t99999999999999999999999999999999999999\t922337203685477.5807\t214748.3647\t1234.5\n"},
        {"Select A, B, M, S, N From T Where Id = 2",
         "-12345678901234.5678\t-12345678901234567890123\t-922337203685477.5808\t-214748.3648\t0.1\n"},
        {"Select B, N From T Where Id = 3", "18446744073709551616\t0.0\n"},
        {"Select Id From T Where A = 12345678901234.5678", "1\n"},
        {"Select Id From T Where A = -12345678901234.5678", "2\n"},
        {"Select Id From T Where B = 18446744073709551616", "3\n"},
        {"Select Id From T Where A > 12345678901234.5677 And A < '12345678901234.5679'", "1\n"},
        {"Select Id From T Where B In (18446744073709551616, 1) Or M = 922337203685477.5807 Order By Id", "1\n3\n"},
        {"Select Id From T Order By B", "2\n3\n1\n"},
        {"Select Max(A), Min(B) From T", "12345678901234.5678\t-12345678901234567890123\n"},
        // Sums and the arithmetic that produces values stay exact.
        {"Select Sum(A), Sum(M), Sum(S) From T", "0.0001\t-0.0001\t-0.0001\n"},
        {"Select Sum(B) From T Where Id > 1", "-12327232157160858338507\n"},
        {"Select A + 1, A * 2, B - 1, 0.1 + 0.2, 7 / 2 From T Where Id = 1",
         "12345678901235.5678\t24691357802469.1356\t99999999999999999999999999999999999998\t0.3\t3\n"},
        {"Select A / 3 From T Where Id = 1", "4115226300411.522600000000000\n"},
        // Beyond the type's range: SQL Server's errors, never a wrapped value.
        {"Insert Into T (Id, M) Values (4, 922337203685477.5808)", "Msg 8115"},
        {"Insert Into T (Id, S) Values (4, -214748.3649)", "Msg 8115"},
        {"Insert Into T (Id, A) Values (4, 123456789012345.1)", "Msg 8115"},
        {"Insert Into T (Id, B) Values (4, 999999999999999999999999999999999999999)", "Msg 1007"},
        {"Select Sum(M) + 1 From T Where Id = 1", "Msg 8115"},
        {"Select B + 1 From T Where Id = 1", "Msg 8115"},
        {"Select A / 0 From T", "Msg 8134"},
    };
    for (const auto& [sql, expected] : cases) EXPECT_EQ(rowsOrError(sql, "TovixHR"), expected) << sql;
    setup("Update T Set A = A + 0.0001, M = M - 0.0001 Where Id = 1", "TovixHR");
    EXPECT_EQ(rowsOrError("Select A, M From T Where Id = 1", "TovixHR"), "12345678901234.5679\t922337203685477.5806\n");
}

}  // namespace
}  // namespace dovrel::test

namespace dovrel::test {
namespace {

TEST_F(StandinClientTest, SchemaStatementsReportSqlServersErrors) {
    setup("CREATE DATABASE TovixHR");
    SqlRun r = runTsql(server,
                       "CREATE TABLE T (Id int NOT NULL)\n"
                       "CREATE TABLE t (Id int)\n"
                       "CREATE TABLE U (Id int, Price cash)\n"
                       "CREATE TABLE V (Id int IDENTITY(x, 1))\n"
                       "DROP TABLE Missing\n"
                       "DROP TABLE IF EXISTS Missing\n"
                       "Exec Sp_HelpTrigger 'Missing'\n"
                       "Exec sp_who\n"
                       "ALTER TABLE T ADD X int\n"
                       "SELECT Id FROM T WHERE\n"
                       "SET FANCY_OPTION ON\n"
                       "SELECT 'still', 'running'",
                       "TovixHR");
    EXPECT_NE(r.output.find("There is already an object named 't' in the database."), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Cannot find data type cash."), std::string::npos);
    EXPECT_NE(r.output.find("Incorrect syntax near 'x'."), std::string::npos);
    EXPECT_NE(r.output.find("Cannot drop the table 'Missing', because it does not exist or you do not have permission."),
              std::string::npos);
    EXPECT_NE(r.output.find("Msg 15009"), std::string::npos);
    EXPECT_NE(r.output.find("Could not find stored procedure 'sp_who'."), std::string::npos);
    EXPECT_NE(r.output.find("does not support this statement: ALTER TABLE T"), std::string::npos);
    EXPECT_NE(r.output.find("Msg 102"), std::string::npos);
    EXPECT_NE(r.output.find("'FANCY_OPTION' is not a recognized SET option."), std::string::npos);
    EXPECT_NE(r.output.find("still\trunning"), std::string::npos);
    EXPECT_EQ(server.runSql("IF OBJECT_ID('T') IS NOT NULL SELECT 'exists' ELSE SELECT 'absent'", "TovixHR").output,
              "exists\n");
    EXPECT_EQ(server.runSql("IF OBJECT_ID('U') IS NOT NULL SELECT 'exists' ELSE SELECT 'absent'", "TovixHR").output,
              "absent\n");
}

TEST_F(StandinClientTest, UpdatesAndDeletesConvertAndCount) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE T (Id int IDENTITY(1,1), N int NOT NULL, D datetime)\n"
          "Insert Into T ([N]) Values (1)\nInsert Into T ([N]) Values (2)\nInsert Into T ([N]) Values (3)",
          "TovixHR");
    SqlRun r = runTsql(server,
                       "Update T Set N = 'x' Where Id = 1\n"
                       "Update T Set Id = 5\n"
                       "Update T Set N = NULL\n"
                       "Update T Set N = N + 10, D = '2001-02-03' Where N >= 2\n"
                       "Select 'changed', @@ROWCOUNT\n"
                       "Delete From T Where N = 1\n"
                       "Select Id, N, D From T Order By Id",
                       "TovixHR");
    EXPECT_NE(r.output.find("Conversion failed when converting the varchar value 'x' to data type int."),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Cannot update identity column 'Id'."), std::string::npos);
    EXPECT_NE(r.output.find("column does not allow nulls. UPDATE fails."), std::string::npos);
    EXPECT_NE(r.output.find("changed\t2"), std::string::npos);
    EXPECT_NE(r.output.find("2\t12\tFeb  3 2001 12:00AM\n3\t13\tFeb  3 2001 12:00AM"), std::string::npos);
    // TRUNCATE starts the identity again from its seed; DELETE does not.
    setup("Delete From T\nInsert Into T ([N]) Values (4)", "TovixHR");
    EXPECT_EQ(server.runSql("Select Id From T", "TovixHR").output, "4\n");
    setup("TRUNCATE TABLE T\nInsert Into T ([N]) Values (5)", "TovixHR");
    EXPECT_EQ(server.runSql("Select Id From T", "TovixHR").output, "1\n");
}

}  // namespace
}  // namespace dovrel::test
