// The stand-in as FreeTDS's command-line clients see it: bsqldb (through
// the fixture's runSql) and tsql speak to it exactly as to SQL Server.
#include "support/standin_server.h"
#include "tsql_client.h"

#include <gtest/gtest.h>

#include <chrono>
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
    // master, model, msdb and tempdb are always there, as on SQL Server.
    SqlRun list = server.runSql("Select Name from SysDatabases order by Name");
    ASSERT_TRUE(list.ok()) << list.errors;
    EXPECT_EQ(list.output, "alpha\nmaster\nmodel\nmsdb\ntempdb\nTovixHR\n");
    SqlRun described = server.runSql(
        "SELECT name, dbid, cmptlevel, crdate, filename FROM SysDatabases WHERE dbid <= 4 "
        "OR name = 'alpha' ORDER BY dbid");
    ASSERT_TRUE(described.ok()) << described.errors;
    EXPECT_EQ(described.output.rfind("master\t1\t110\t", 0), 0u) << described.output;
    EXPECT_NE(described.output.find("\ntempdb\t2\t110\t"), std::string::npos) << described.output;
    EXPECT_NE(described.output.find("\nmodel\t3\t110\t"), std::string::npos);
    EXPECT_NE(described.output.find("\nmsdb\t4\t110\t"), std::string::npos);
    EXPECT_NE(described.output.find("\nalpha\t6\t110\t"), std::string::npos);
    EXPECT_NE(described.output.find("alpha.sqlite\n"), std::string::npos);

    SqlRun found = server.runSql("SELECT Name FROM SysDatabases WHERE Name = N'tovixhr'");
    ASSERT_TRUE(found.ok()) << found.errors;
    EXPECT_EQ(found.output, "TovixHR\n");
    SqlRun missing = server.runSql("SELECT Name FROM SysDatabases WHERE Name = N'Payroll'");
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.output, "");

    // The database can be used by name in any letter case, and dropped.
    EXPECT_TRUE(server.runSql("SELECT 1", "TOVIXHR").ok());
    setup("DROP DATABASE alpha");
    EXPECT_EQ(server.runSql("Select Name from SysDatabases order by Name").output,
              "master\nmodel\nmsdb\ntempdb\nTovixHR\n");
    SqlRun again = runTsql(server, "DROP DATABASE alpha\nCREATE DATABASE tovixhr\nDROP DATABASE msdb");
    EXPECT_NE(again.output.find("Msg 3701"), std::string::npos) << again.output;
    EXPECT_NE(again.output.find("Msg 1801"), std::string::npos) << again.output;
    EXPECT_NE(again.output.find("Cannot drop the database 'msdb' because it is a system database."), std::string::npos);
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
    setup(
        "CREATE TABLE Staff (Id int NOT NULL PRIMARY KEY, Name nvarchar(20) NOT NULL, Born datetime NULL,"
        " Active bit, Pay decimal(10,2), Memo varchar(50))\n"
        "Insert Into Staff ([Id],[Name],[Born],[Active],[Pay],[Memo]) Values (7,N'O''Neil',N'2001-02-03 "
        "00:00:00',1,1234.5,'x')\n"
        "Insert Into Staff ([Id],[Name],[Born],[Active],[Pay],[Memo]) Values (8,N'人事考勤薪资',N'2001/2/3 "
        "10:11:12',0,-0.125,N'中文')",
        "TovixHR");
    SqlRun r = server.runSql("Select Id, Name, Active, Pay, Memo From Staff Order By Id", "TovixHR");
    ASSERT_TRUE(r.ok()) << r.errors;
    EXPECT_EQ(r.output, "7\tO'Neil\t1\t1234.50\tx\n8\t人事考勤薪资\t0\t-0.13\t中文\n");

    SqlRun found = server.runSql("Select Id From Staff Where Name = N'人事考勤薪资' Or Name = N'o''neil'", "TovixHR");
    EXPECT_EQ(found.output, "7\n8\n");
    SqlRun max = server.runSql("Select Max(Id) From Staff", "TovixHR");
    EXPECT_EQ(max.output, "8\n");
}

// What an error ends, as on SQL Server: a compile error the whole batch
// (nothing runs), a conversion error the batch and its transaction, a
// missing object the rest of the batch, any error under XACT_ABORT the batch
// and its transaction; a constraint error only its own statement.
TEST_F(StandinClientTest, BatchesEndWhereSqlServerEndsThem) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE T (Id int NOT NULL PRIMARY KEY, Name nvarchar(5) NOT NULL, Born datetime NULL, Pay decimal(6,2) "
        "NULL)",
        "TovixHR");
    const std::string ins = "Insert Into T ([Id],[Name]) Values ";
    struct Case {
        const char* name;
        std::string batch;
        const char* message;  // one message the client must see
        const char* rows;     // the table afterwards
        const char* open;     // @@TRANCOUNT afterwards, in the same session
    };
    const Case cases[] = {
        {"a syntax error runs nothing", ins + "(1,N'a')\r\nSelect Id From T Where\r\n" + ins + "(2,N'b')",
         "Msg 102 (severity 15, state 1) from DOVREL-STANDIN Line 2", "", "0"},
        {"too few values run nothing", ins + "(1,N'a')\r\n" + ins + "(2)\r\n" + ins + "(3,N'c')", "Msg 109", "", "0"},
        {"a value the table cannot take without a column list runs nothing",
         ins + "(1,N'a')\r\nInsert Into T Values (2)", "Msg 213", "", "0"},
        {"a conversion error ends the batch and its transaction",
         "BEGIN TRAN\r\n" + ins + "(1,N'a')\r\n" + ins + "('abc',N'b')\r\n" + ins + "(3,N'c')\r\nCOMMIT",
         "Conversion failed when converting the varchar value 'abc' to data type int.", "", "0"},
        {"a bad date ends the batch",
         ins + "(1,N'a')\r\nInsert Into T ([Id],[Name],[Born]) Values (2,N'b','someday')\r\n" + ins + "(3,N'c')",
         "Msg 241", "1\n", "0"},
        {"a date out of range ends the batch",
         ins + "(1,N'a')\r\nInsert Into T ([Id],[Name],[Born]) Values (2,N'b','1700-01-01')\r\n" + ins + "(3,N'c')",
         "Msg 242", "1\n", "0"},
        {"a text that is no number ends the batch",
         "BEGIN TRAN\r\n" + ins + "(1,N'a')\r\nInsert Into T ([Id],[Name],[Pay]) Values (2,N'b','x')\r\n" + ins +
             "(3,N'c')",
         "Msg 8114", "", "0"},
        {"an arithmetic overflow ends only its statement",
         "BEGIN TRAN\r\n" + ins + "(1,N'a')\r\nInsert Into T ([Id],[Name],[Pay]) Values (2,N'b',12345.67)\r\n" + ins +
             "(3,N'c')",
         "Msg 8115", "1\n3\n", "1"},
        {"a missing table ends the batch and leaves the transaction open",
         "BEGIN TRAN\r\n" + ins + "(1,N'a')\r\nInsert Into Nowhere Values (2)\r\n" + ins + "(3,N'c')",
         "Invalid object name 'Nowhere'.", "1\n", "1"},
        {"XACT_ABORT ON: a duplicate key ends the batch and its transaction",
         "SET XACT_ABORT ON\r\nBEGIN TRAN\r\n" + ins + "(1,N'a')\r\n" + ins + "(1,N'b')\r\n" + ins +
             "(3,N'c')\r\nCOMMIT",
         "Msg 2627", "", "0"},
        {"constraint errors end only their statement",
         ins + "(1,N'a')\r\n" + ins + "(1,N'b')\r\n" + ins + "(3,N'far too long')\r\n" + ins + "(4,NULL)\r\n" + ins +
             "(5,N'e')",
         "Cannot insert the value NULL into column 'Name', table 'TovixHR.dbo.T'", "1\n5\n", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setup("DELETE FROM T", "TovixHR");
        const SqlRun r =
            runTsql(server, c.batch + "\r\ngo\r\nSELECT 'open', @@TRANCOUNT\r\nIF @@TRANCOUNT > 0 COMMIT", "TovixHR");
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(std::string("open\t") + c.open + "\n"), std::string::npos) << r.output;
        EXPECT_EQ(server.runSql("Select Id From T Order By Id", "TovixHR").output, c.rows);
    }
}

TEST_F(StandinClientTest, IdentityInsertFollowsSqlServersRule) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE A (Id int IDENTITY(10,5) NOT NULL, Name nvarchar(10))\n"
        "CREATE TABLE B (Id int IDENTITY(1,1), Name nvarchar(10))\n"
        "Insert Into A ([Name]) Values (N'first')",
        "TovixHR");
    SqlRun r = runTsql(server,
                       "Insert Into A ([Id],[Name]) Values (100,N'refused')\n"
                       "Set Identity_Insert A On\n"
                       "Insert Into A ([Id],[Name]) Values (100,N'explicit')\n"
                       "Insert Into A ([Name]) Values (N'no id')\n"
                       "Set Identity_Insert B On\n"
                       "go\n"
                       "Set Identity_Insert A On\n"
                       "Insert Into A Values (N'no list')\n"
                       "go\n"
                       "Set Identity_Insert A Off\n"
                       "Insert Into A ([Name]) Values (N'after')\n"
                       "Insert Into A ([Id],[Name]) Values (300,N'off again')\n"
                       "Select Id, Name From A Order By Id",
                       "TovixHR");
    EXPECT_NE(r.output.find(
                  "Cannot insert explicit value for identity column in table 'A' when IDENTITY_INSERT is set to OFF."),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Msg 545"), std::string::npos);
    EXPECT_NE(r.output.find("IDENTITY_INSERT is already ON for table 'TovixHR.dbo.A'"), std::string::npos);
    EXPECT_NE(r.output.find("Msg 8101"), std::string::npos);
    EXPECT_NE(r.output.find("10\tfirst\n100\texplicit\n105\tafter\n"), std::string::npos);
    // Switched off again, the same session is refused an explicit value once more.
    const size_t firstRefusal = r.output.find("Msg 544");
    ASSERT_NE(firstRefusal, std::string::npos);
    EXPECT_NE(r.output.find("Msg 544", firstRefusal + 1), std::string::npos) << r.output;
}

TEST_F(StandinClientTest, TriggersAreCreatedListedDroppedAndRecreated) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE Staff (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(20) NOT NULL)\n"
        "CREATE TABLE Audit (StaffId int, Name nvarchar(20), Kind nvarchar(10))",
        "TovixHR");
    const std::string trigger =
        "CREATE TRIGGER trg_StaffAudit ON Staff FOR INSERT, UPDATE\r\nAS\r\nBEGIN\r\n  SET NOCOUNT ON\r\n"
        "  INSERT INTO Audit (StaffId, Name, Kind) SELECT i.Id, i.Name, N'new' FROM inserted i\r\n"
        "  INSERT Audit (StaffId, Name, Kind) SELECT Id, Name, N'old' FROM deleted\r\nEND\r\n";
    setup(trigger, "TovixHR");
    setup(
        "CREATE TRIGGER trg_StaffGone ON dbo.Staff AFTER DELETE AS DELETE FROM Audit WHERE StaffId IN (SELECT Id FROM "
        "deleted)",
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
    // A case-insensitive unique varchar key and exact decimals: undoing at
    // the next start must compare and restore them as the session did.
    setup(
        "CREATE TABLE T (Id int NOT NULL, Name nvarchar(10), Code varchar(4) UNIQUE, Pay decimal(20,4))\n"
        "Insert Into T ([Id],[Name],[Code],[Pay]) Values (1,N'autocommit','Ab',12345678901234.5678)",
        "TovixHR");
    setup("BEGIN TRAN\nInsert Into T ([Id],[Name],[Code],[Pay]) Values (2,N'committed','Cd',-0.0001)\nCOMMIT",
          "TovixHR");
    {
        OpenTsql open(server, "TovixHR");
        ASSERT_TRUE(
            open.send("BEGIN TRANSACTION\nDelete From T Where Id = 1\n"
                      "Insert Into T ([Id],[Name],[Code],[Pay]) Values (3,N'open','AB',1.5)\n"
                      "Update T Set Pay = Pay * 2, Code = 'cD ' Where Id = 2\nSelect 'in-flight', @@TRANCOUNT",
                      "in-flight\t1"))
            << open.output();
        server.kill();
    }
    ASSERT_TRUE(server.start()) << server.lastError();
    SqlRun rows = server.runSql("Select Id, Name, Code, Pay From T Order By Id", "TovixHR");
    ASSERT_TRUE(rows.ok()) << rows.errors;
    EXPECT_EQ(rows.output, "1\tautocommit\tAb\t12345678901234.5678\n2\tcommitted\tCd\t-0.0001\n");
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
    setup(
        "CREATE TABLE T (Id int NOT NULL, Ts timestamp)\nInsert Into T ([Id]) Values (1)\nInsert Into T ([Id]) Values "
        "(2)",
        "TovixHR");
    SqlRun r = runTsql(
        server, "Insert Into T ([Id],[Ts]) Values (3, 0x01)\nSelect Count(Distinct Ts), Count(Ts) From T", "TovixHR");
    EXPECT_NE(r.output.find("Msg 273"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("2\t2"), std::string::npos) << r.output;
}

TEST_F(StandinClientTest, DateStringsAreReadWhereTheyMeetDates) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE T (Id int NOT NULL, Dt datetime, D date, Sd smalldatetime, Df datetime DEFAULT ('12/31/1999'))\n"
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
    // Variables take strings under the session's DATEFORMAT, and a date
    // column's value as the date it is, whatever the DATEFORMAT.
    setup(
        "SET DATEFORMAT dmy\nDECLARE @d datetime = '13/02/2001', @e datetime\nSELECT @e = Dt FROM T WHERE Id = 2\n"
        "Insert Into T (Id, Dt, D) Values (3, @d, @e)",
        "TovixHR");
    EXPECT_EQ(
        rowsOrError("Select CONVERT(varchar(23), Dt, 121), CONVERT(varchar(10), D, 23) From T Where Id = 3", "TovixHR"),
        "2001-02-13 00:00:00.000\t2000-01-01\n");
}

TEST_F(StandinClientTest, ExactNumericsKeepEveryDigit) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE T (Id int NOT NULL, A decimal(18,4), B decimal(38,0), M money, S smallmoney, N numeric(5,1))\n"
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
                       "DROP TABLE Missing\n"
                       "DROP TABLE IF EXISTS Missing\n"
                       "Exec Sp_HelpTrigger 'Missing'\n"
                       "Exec sp_who\n"
                       "ALTER TABLE T ADD X int\n"
                       "SELECT 'still', 'running'\n"
                       "go\n"
                       "SELECT 'not', 'reached'\n"
                       "CREATE TABLE V (Id int IDENTITY(x, 1))\n"
                       "go\n"
                       "SET FANCY_OPTION ON",
                       "TovixHR");
    EXPECT_NE(r.output.find("There is already an object named 't' in the database."), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Cannot find data type cash."), std::string::npos);
    EXPECT_NE(r.output.find("Incorrect syntax near 'x'."), std::string::npos);
    EXPECT_EQ(r.output.find("not\treached"), std::string::npos);  // a syntax error runs nothing of its batch
    EXPECT_NE(
        r.output.find("Cannot drop the table 'Missing', because it does not exist or you do not have permission."),
        std::string::npos);
    EXPECT_NE(r.output.find("Msg 15009"), std::string::npos);
    EXPECT_NE(r.output.find("Could not find stored procedure 'sp_who'."), std::string::npos);
    EXPECT_NE(r.output.find("does not support this statement: ALTER TABLE T"), std::string::npos);
    EXPECT_NE(r.output.find("'FANCY_OPTION' is not a recognized SET option."), std::string::npos);
    EXPECT_NE(r.output.find("still\trunning"), std::string::npos);
    EXPECT_EQ(server.runSql("IF OBJECT_ID('T') IS NOT NULL SELECT 'exists' ELSE SELECT 'absent'", "TovixHR").output,
              "exists\n");
    EXPECT_EQ(server.runSql("IF OBJECT_ID('U') IS NOT NULL SELECT 'exists' ELSE SELECT 'absent'", "TovixHR").output,
              "absent\n");
}

TEST_F(StandinClientTest, UpdatesAndDeletesConvertAndCount) {
    setup("CREATE DATABASE TovixHR");
    setup(
        "CREATE TABLE T (Id int IDENTITY(1,1), N int NOT NULL, D datetime)\n"
        "Insert Into T ([N]) Values (1)\nInsert Into T ([N]) Values (2)\nInsert Into T ([N]) Values (3)",
        "TovixHR");
    // A conversion error ends its batch: it has one of its own.
    SqlRun r = runTsql(server,
                       "Update T Set N = 'x' Where Id = 1\n"
                       "go\n"
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

namespace dovrel::test {
namespace {

// Identity values come from a counter of their own table, moved on by every
// insert (triggers' too), never taken back by a rollback or a failed insert,
// started again only by TRUNCATE TABLE or DBCC CHECKIDENT.
TEST_F(StandinClientTest, IdentityValuesAreNeverHandedOutTwice) {
    setup("CREATE DATABASE TovixHR");
    struct Case {
        const char* name;
        std::string setup;  // batches separated by "go"
        std::string run;    // may fail in places
        const char* query;
        const char* expected;
    };
    const Case cases[] = {
        {"a trigger fills an identity key, then an ordinary insert follows",
         "CREATE TABLE Src (Id int IDENTITY PRIMARY KEY, N int)\nCREATE TABLE Log1 (Id int IDENTITY PRIMARY KEY, SrcId "
         "int)\n"
         "go\nCREATE TRIGGER trg_Src ON Src AFTER INSERT AS INSERT INTO Log1 (SrcId) SELECT Id FROM inserted",
         "INSERT INTO Src (N) VALUES (1), (2)\nINSERT INTO Log1 (SrcId) VALUES (0)",
         "SELECT Id, SrcId FROM Log1 ORDER BY Id", "1\t1\n2\t2\n3\t0\n"},
        {"deleting every row does not start again", "CREATE TABLE D1 (Id int IDENTITY PRIMARY KEY, N int)",
         "INSERT INTO D1 (N) VALUES (1), (2)\nDELETE FROM D1\nINSERT INTO D1 (N) VALUES (3)", "SELECT Id FROM D1",
         "3\n"},
        {"a rolled back insert keeps its value", "CREATE TABLE R1 (Id int IDENTITY PRIMARY KEY, N int)",
         "BEGIN TRAN\nINSERT INTO R1 (N) VALUES (1)\nROLLBACK\nINSERT INTO R1 (N) VALUES (2)", "SELECT Id, N FROM R1",
         "2\t2\n"},
        {"a failed insert keeps its value", "CREATE TABLE F1 (Id int IDENTITY, N int NOT NULL UNIQUE)",
         "INSERT INTO F1 (N) VALUES (1)\nINSERT INTO F1 (N) VALUES (1)\nINSERT INTO F1 (N) VALUES (2)",
         "SELECT Id, N FROM F1 ORDER BY Id", "1\t1\n3\t2\n"},
        {"TRUNCATE starts again from the seed", "CREATE TABLE T1 (Id int IDENTITY(10,5), N int)",
         "INSERT INTO T1 (N) VALUES (1), (2)\nTRUNCATE TABLE T1\nINSERT INTO T1 (N) VALUES (3)", "SELECT Id, N FROM T1",
         "10\t3\n"},
        {"DBCC CHECKIDENT RESEED sets where it goes on", "CREATE TABLE C1 (Id int IDENTITY, N int)",
         "INSERT INTO C1 (N) VALUES (1)\nDBCC CHECKIDENT ('C1', RESEED, 100)\nINSERT INTO C1 (N) VALUES (2)",
         "SELECT Id FROM C1 ORDER BY Id", "1\n101\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setup(c.setup, "TovixHR");
        runTsql(server, c.run, "TovixHR");
        EXPECT_EQ(server.runSql(c.query, "TovixHR").output, c.expected);
    }
    // A restart keeps the counters where they were.
    ASSERT_TRUE(server.restart()) << server.lastError();
    setup("INSERT INTO R1 (N) VALUES (3)", "TovixHR");
    EXPECT_EQ(server.runSql("SELECT Id FROM R1 ORDER BY Id", "TovixHR").output, "2\n3\n");
}

// Locks are per table: a transaction's uncommitted rows keep readers under
// READ COMMITTED and writers of the same table waiting (up to LOCK_TIMEOUT),
// never writers of other tables; READ UNCOMMITTED and NOLOCK read them.
TEST_F(StandinClientTest, LocksAreTakenPerTableAsSqlServerTakesThem) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE Held (Id int)\nCREATE TABLE Other (Id int)\nINSERT INTO Held VALUES (1)", "TovixHR");
    OpenTsql holder(server, "TovixHR");
    ASSERT_TRUE(holder.send("BEGIN TRAN\nINSERT INTO Held VALUES (2)\nSELECT 'holding'", "holding")) << holder.output();
    struct Case {
        const char* name;
        const char* sql;
        const char* output;   // rows expected
        const char* message;  // or the error expected
    };
    const Case cases[] = {
        {"a writer of another table does not wait",
         "SET LOCK_TIMEOUT 0\nINSERT INTO Other VALUES (1)\nSELECT COUNT(*) FROM Other", "1\n", nullptr},
        {"a reader of the changed table waits until LOCK_TIMEOUT", "SET LOCK_TIMEOUT 300\nSELECT COUNT(*) FROM Held",
         "", "Lock request time out period exceeded."},
        {"a writer of the changed table waits too", "SET LOCK_TIMEOUT 300\nUPDATE Held SET Id = 3", "", "Msg 1222"},
        {"READ UNCOMMITTED reads the uncommitted row",
         "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED\nSELECT COUNT(*) FROM Held", "2\n", nullptr},
        {"NOLOCK reads it too", "SELECT COUNT(*) FROM Held WITH (NOLOCK)", "2\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SqlRun r = runTsql(server, c.sql, "TovixHR");
        if (c.message) {
            EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        } else {
            EXPECT_EQ(r.output.find("Msg "), std::string::npos) << r.output;
            EXPECT_NE(r.output.find(c.output), std::string::npos) << r.output;
        }
    }
    // Without a time-out the reader waits for the end of the transaction: it
    // sees the rolled back row neither before nor after.
    SqlRun waited;
    std::thread reader([&] { waited = server.runSql("SELECT COUNT(*) FROM Held", "TovixHR"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(holder.send("ROLLBACK\nSELECT 'released'", "released")) << holder.output();
    reader.join();
    EXPECT_EQ(waited.output, "1\n") << waited.errors;

    // Two transactions that each wait for the other: one is chosen as the deadlock victim.
    OpenTsql second(server, "TovixHR");
    ASSERT_TRUE(holder.send("BEGIN TRAN\nUPDATE Held SET Id = Id\nSELECT 'first'", "first")) << holder.output();
    ASSERT_TRUE(second.send("BEGIN TRAN\nUPDATE Other SET Id = Id\nSELECT 'second'", "second")) << second.output();
    ASSERT_TRUE(holder.post("UPDATE Other SET Id = 5\nSELECT 'through', @@TRANCOUNT"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(second.send("UPDATE Held SET Id = 6\ngo\nSELECT 'after', @@TRANCOUNT", "after\t0")) << second.output();
    EXPECT_NE(second.output().find("Msg 1205"), std::string::npos) << second.output();
    EXPECT_TRUE(holder.waitFor("through\t1")) << holder.output();
    ASSERT_TRUE(holder.send("COMMIT\nSELECT 'committed'", "committed"));
    EXPECT_EQ(server.runSql("SELECT DISTINCT Id FROM Other", "TovixHR").output, "5\n");
}

// Triggers run once per statement with every affected row in inserted and
// deleted, their bodies are T-SQL of their own (IF/ELSE, DECLARE/SET,
// RAISERROR, ROLLBACK), and the catalogue procedures find them by any
// spelling of their names, with their text as it was sent.
TEST_F(StandinClientTest, TriggersRunOncePerStatementAsTSql) {
    setup("CREATE DATABASE TovixHR");
    setup("CREATE TABLE Audit (Kind nvarchar(10), N int, Note nvarchar(100))", "TovixHR");
    struct Case {
        const char* name;
        std::string trigger;  // on a fresh table Staff (Id identity, Name, Pay, Born, Rate)
        std::string run;
        const char* message;  // a message the run shows, or nullptr
        const char* staff;    // SELECT Name FROM Staff ORDER BY Id afterwards
        const char* audit;    // SELECT Kind, N, Note FROM Audit afterwards
    };
    const Case cases[] = {
        {"once per statement, every row in inserted",
         "CREATE TRIGGER trg ON Staff AFTER INSERT AS INSERT INTO Audit (Kind, N) SELECT N'insert', COUNT(*) FROM "
         "inserted",
         "INSERT INTO Staff (Name) VALUES (N'a'), (N'b'), (N'c')", nullptr, "a\nb\nc\n", "insert\t3\tNULL\n"},
        {"an update sees the old rows in deleted and the new ones in inserted",
         "CREATE TRIGGER trg ON Staff FOR UPDATE AS\r\nINSERT INTO Audit (Kind, N, Note)\r\n"
         "  SELECT N'update', COUNT(*), MIN(d.Name) + N'>' + MIN(i.Name) FROM inserted i JOIN deleted d ON i.Id = d.Id",
         "INSERT INTO Staff (Name) VALUES (N'a'), (N'b')\nUPDATE Staff SET Name = Name + N'2'", nullptr, "a2\nb2\n",
         "update\t2\ta>a2\n"},
        {"IF, DECLARE, SET and RAISERROR",
         "CREATE TRIGGER trg ON Staff AFTER DELETE AS\r\nBEGIN\r\n  SET NOCOUNT ON\r\n  DECLARE @n int, @who "
         "nvarchar(20)\r\n"
         "  SET @n = (SELECT COUNT(*) FROM deleted)\r\n  SELECT @who = MAX(Name) FROM deleted\r\n"
         "  IF @n > 1\r\n    RAISERROR('deleting %d rows up to %s', 10, 1, @n, @who)\r\n"
         "  ELSE\r\n    INSERT INTO Audit (Kind, N, Note) VALUES (N'delete', @n, @who)\r\nEND",
         "INSERT INTO Staff (Name) VALUES (N'a'), (N'b'), (N'c')\nDELETE FROM Staff WHERE Name = N'a'\nDELETE FROM "
         "Staff",
         "deleting 2 rows up to c", "", "delete\t1\ta\n"},
        {"dates and exact numbers are read in a trigger as in a batch; its SET DATEFORMAT ends with it",
         "CREATE TRIGGER trg ON Staff AFTER INSERT AS\r\nSET DATEFORMAT dmy\r\nINSERT INTO Audit (Kind, N, Note)\r\n"
         "  SELECT N'dates', COUNT(*), CONVERT(nvarchar(30), MIN(Rate) * 2) FROM inserted WHERE Born = '13/02/2001'",
         "SET DATEFORMAT mdy\nINSERT INTO Staff (Name, Born, Rate) VALUES (N'a', '02/13/2001', 0.10), (N'b', "
         "'02/14/2001', 0.20)\n"
         "INSERT INTO Staff (Name, Born) VALUES (N'c', '02/15/2001')",
         nullptr, "a\nb\nc\n", "dates\t1\t0.20\ndates\t0\tNULL\n"},
        {"ROLLBACK undoes the statement and ends the batch",
         "CREATE TRIGGER trg ON Staff AFTER INSERT AS\r\nIF EXISTS (SELECT * FROM inserted WHERE Pay > "
         "100)\r\nBEGIN\r\n"
         "  RAISERROR('pay too high', 16, 1)\r\n  ROLLBACK TRANSACTION\r\nEND",
         "INSERT INTO Staff (Name, Pay) VALUES (N'fine', 1)\nINSERT INTO Staff (Name, Pay) VALUES (N'rich', 500)\n"
         "INSERT INTO Staff (Name, Pay) VALUES (N'after', 1)",
         "The transaction ended in the trigger. The batch has been aborted.", "fine\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setup(
            "DROP TABLE IF EXISTS Staff\nDELETE FROM Audit\n"
            "CREATE TABLE Staff (Id int IDENTITY PRIMARY KEY, Name nvarchar(20) NOT NULL, Pay int NULL,"
            " Born datetime NULL, Rate decimal(9,2) NULL)",
            "TovixHR");
        setup(c.trigger, "TovixHR");
        const SqlRun r = runTsql(server, c.run, "TovixHR");
        if (c.message) {
            EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        }
        EXPECT_EQ(server.runSql("SELECT Name FROM Staff ORDER BY Id", "TovixHR").output, c.staff);
        EXPECT_EQ(server.runSql("SELECT Kind, N, Note FROM Audit", "TovixHR").output, c.audit);
    }
    // Names bracketed and schema-qualified; a comment before CREATE TRIGGER stays in the text.
    const std::string text =
        "-- keeps the audit\r\nCREATE TRIGGER [dbo].[trg_Note] ON [dbo].[Staff] FOR INSERT AS SET NOCOUNT ON";
    setup(text, "TovixHR");
    const SqlRun listed = server.runSql("EXEC sp_helptrigger '[dbo].[Staff]'", "TovixHR");
    EXPECT_NE(listed.output.find("trg_Note\tdbo\t0\t0\t1\t1\t0\tdbo\n"), std::string::npos) << listed.errors;
    EXPECT_EQ(
        server.runSql("EXEC sp_helptext 'dbo.[trg_Note]'", "TovixHR").output,
        "-- keeps the audit\r\n\nCREATE TRIGGER [dbo].[trg_Note] ON [dbo].[Staff] FOR INSERT AS SET NOCOUNT ON\n\n");
}

}  // namespace
}  // namespace dovrel::test
