// The ODBC layer against the stand-in server, through the real driver:
// recordsets, types and values, errors, transactions, batches and the
// failures that the three procedures turn into null and false.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "support/closed_port.h"
#include "db/ado.h"
#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "support/standin_database.h"

namespace dovrel {
namespace {

using ado::Connection;
using ado::DatabaseError;
using ado::Recordset;

constexpr const char* kDatabase = "DataLayer";
constexpr const char* kPassword = "Secret#1";

class StandinTest : public test::SharedStandinDatabase<StandinTest> {
public:
    static constexpr const char* kDatabaseName = kDatabase;
    static std::vector<std::string> logins() { return {"sa:Secret#1", "odd:a}b;c", "my user:p;w}d= x"}; }

protected:
    static test::StandinServer& server() { return db().server(); }
    static std::string connectionString(bool forMaster, const std::string& password = kPassword) {
        return connectionStringFor({server().serverName(), kDatabase, "sa", password}, forMaster);
    }

    // Runs `sql` in the test database through the independent client.
    static test::SqlRun independent(const std::string& sql) { return db().run(sql); }

    static long countRows(const std::string& table) {
        auto recordset = OpenRecordset(connectionString(false), "Select Count(*) From " + table);
        if (!recordset || recordset->EOF_()) return -1;
        return std::stol(recordset->Fields(0).Value().value_or("-1"));
    }
};

TEST_F(StandinTest, RecordsetOfTheDatabaseListing) {
    auto recordset = OpenRecordset(connectionString(true), "Select Name from SysDatabases order by Name");
    ASSERT_NE(recordset, nullptr);
    ASSERT_TRUE(recordset->IsOpen());
    ASSERT_EQ(recordset->FieldCount(), 1u);
    EXPECT_EQ(recordset->Fields(0).Name().size(), 4u);
    EXPECT_EQ(&recordset->Fields("NAME"), &recordset->Fields(0));  // names ignore letter case
    EXPECT_EQ(recordset->FindField("nope"), nullptr);
    EXPECT_THROW(recordset->Fields("nope"), DatabaseError);
    EXPECT_THROW(recordset->Fields(1), DatabaseError);

    std::vector<std::string> names;
    for (; !recordset->EOF_(); recordset->MoveNext()) names.push_back(recordset->Fields("name").Value().value());
    EXPECT_EQ(static_cast<long>(names.size()), recordset->RecordCount());
    EXPECT_TRUE(std::set<std::string>(names.begin(), names.end()).contains("master"));
    EXPECT_TRUE(std::set<std::string>(names.begin(), names.end()).contains(kDatabase));
    EXPECT_THROW(recordset->MoveNext(), DatabaseError);
    EXPECT_THROW(recordset->Fields(0).Value(), DatabaseError);
    recordset->MoveFirst();
    EXPECT_EQ(recordset->Fields(0).Value(), names.front());
    recordset->Close();
    EXPECT_FALSE(recordset->IsOpen());
    EXPECT_NO_THROW(recordset->Close());
    EXPECT_THROW(recordset->RecordCount(), DatabaseError);
    recordset->Open("Select Name From SysDatabases Where Name = 'master'", connectionString(true));
    EXPECT_EQ(recordset->RecordCount(), 1);

    EXPECT_TRUE(TryConnect(connectionString(true), "SELECT Name FROM SysDatabases"));
}

TEST_F(StandinTest, QueryWithoutRowsIsAnOpenEmptyRecordset) {
    auto recordset = OpenRecordset(connectionString(true), "Select Name From SysDatabases Where 1=2");
    ASSERT_NE(recordset, nullptr);
    EXPECT_TRUE(recordset->IsOpen());
    EXPECT_EQ(recordset->RecordCount(), 0);
    EXPECT_TRUE(recordset->EOF_());
    EXPECT_TRUE(recordset->BOF_());
    EXPECT_EQ(recordset->FieldCount(), 1u);
    EXPECT_TRUE(TryConnect(connectionString(true), "Select Name From SysDatabases Where 1=2"));
}

TEST_F(StandinTest, TypeCodesAndNullability) {
    ASSERT_TRUE(independent("create table Kinds (Id int identity(1,1) not null, Name nvarchar(50) null, "
                            "Born datetime null, Active bit not null, Amount money null, Price decimal(10,2) null, "
                            "Small tinyint null, Big bigint null, Short smallint null, R real null, F float null, "
                            "G uniqueidentifier null, VB varbinary(10) null, Pic image null, "
                            "C char(3) null, VC varchar(20) null, NC nchar(2) null, T text null, NT ntext null, "
                            "SDT smalldatetime null, Stamp timestamp not null, SM smallmoney null, "
                            "Num numeric(5,1) null, D date null)")
                    .ok());
    auto recordset = OpenRecordset(connectionString(false), "Select * From Kinds Where 1=2");
    ASSERT_NE(recordset, nullptr);
    const std::vector<std::pair<std::string, int>> expected{
        {"Id", 3},     {"Name", 202}, {"Born", 135},  {"Active", 11}, {"Amount", 6}, {"Price", 131},
        {"Small", 17}, {"Big", 20},   {"Short", 2},   {"R", 4},       {"F", 5},      {"G", 72},
        {"VB", 204},   {"Pic", 205},  {"C", 129},     {"VC", 200},    {"NC", 130},   {"T", 201},
        {"NT", 203},   {"SDT", 135},  {"Stamp", 128}, {"SM", 6},      {"Num", 131},  {"D", 133}};
    ASSERT_EQ(recordset->FieldCount(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(recordset->Fields(i).Name(), expected[i].first);
        EXPECT_EQ(recordset->Fields(i).Type(), expected[i].second);
    }
    EXPECT_FALSE(recordset->Fields("Id").IsNullable());
    EXPECT_FALSE(recordset->Fields("Active").IsNullable());
    EXPECT_TRUE(recordset->Fields("Name").IsNullable());
    EXPECT_EQ(recordset->Fields("Born").Attributes() & ado::adFldIsNullable, ado::adFldIsNullable);
}

TEST_F(StandinTest, ValuesNullsEmptyTextAndChinese) {
    ASSERT_TRUE(independent("create table Vals (Id int not null, Name nvarchar(50) null, Born datetime null, "
                            "Active bit null, Amount money null, Price decimal(10,2) null, VB varbinary(10) null, "
                            "F float null, Code varchar(10) null)")
                    .ok());
    Connection connection;
    connection.Open(connectionString(false));
    connection.Execute(
        "Insert Into Vals Values (1, N'张三', '2001-02-03 04:05:06', 1, 12.34, 1.50, 0x0A0B, 0.5, 'abc')");
    connection.Execute("Insert Into Vals Values (2, N'', Null, 0, Null, Null, Null, Null, '')");
    connection.Execute("Insert Into Vals (Id) Values (3)");
    EXPECT_EQ(connection.Errors_().Count(), 0);

    auto recordset = OpenRecordset(connectionString(false), "Select * From Vals Order By Id");
    ASSERT_NE(recordset, nullptr);
    ASSERT_EQ(recordset->RecordCount(), 3);
    EXPECT_EQ(recordset->Fields("Name").Value(), "张三");
    EXPECT_EQ(recordset->Fields("Born").Value(), "2001-02-03 04:05:06");
    EXPECT_EQ(recordset->Fields("Active").Value(), "True");
    EXPECT_EQ(recordset->Fields("Amount").Value(), "12.34");
    EXPECT_EQ(recordset->Fields("Price").Value(), "1.5");
    EXPECT_EQ(recordset->Fields("VB").Value(), "0A0B");
    EXPECT_EQ(recordset->Fields("F").Value(), "0.5");
    EXPECT_EQ(recordset->Fields("Code").Value(), "abc");
    recordset->MoveNext();
    EXPECT_EQ(recordset->Fields("Name").Value(), std::optional<std::string>(""));  // empty, not null
    EXPECT_EQ(recordset->Fields("Code").Value(), std::optional<std::string>(""));
    EXPECT_EQ(recordset->Fields("Born").Value(), std::nullopt);
    EXPECT_EQ(recordset->Fields("Active").Value(), "False");
    recordset->MoveNext();
    EXPECT_EQ(recordset->Fields("Name").Value(), std::nullopt);
    EXPECT_EQ(recordset->Fields("Code").Value(), std::nullopt);

    // The server itself holds the Chinese text, not some mangled bytes.
    const test::SqlRun run = independent("select Id from Vals where Name = N'张三'");
    ASSERT_TRUE(run.ok()) << run.errors;
    EXPECT_EQ(run.output.substr(0, 1), "1");
}

TEST_F(StandinTest, ChineseNamesAndLongTextRoundTrip) {
    ASSERT_TRUE(independent("create table 员工 (姓名 nvarchar(max) null, 备注 ntext null)").ok());
    std::string longText;
    for (int i = 0; i < 5000; ++i) longText += i % 2 ? "考" : "勤";  // longer than one read of the driver
    Connection connection;
    connection.Open(connectionString(false));
    connection.Execute("Insert Into 员工 Values (N'" + longText + "', N'备注 ok')");
    auto recordset = connection.Execute("Select 姓名, 备注 From 员工");
    ASSERT_NE(recordset, nullptr);
    ASSERT_EQ(recordset->RecordCount(), 1);
    EXPECT_EQ(recordset->Fields(0).Name(), "姓名");
    EXPECT_EQ(recordset->Fields("备注").Value(), "备注 ok");
    EXPECT_EQ(recordset->Fields("姓名").Value(), longText);
}

TEST_F(StandinTest, ServerErrorsCarryNumberAndState) {
    EXPECT_EQ(OpenRecordset(connectionString(false), "Select * From NoSuchTable"), nullptr);
    EXPECT_FALSE(TryConnect(connectionString(false), "Select * From NoSuchTable"));
    Recordset recordset;
    try {
        recordset.Open("Select * From NoSuchTable", connectionString(false));
        ADD_FAILURE() << "opened";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.number(), 208);
        ASSERT_FALSE(e.entries().empty());
        EXPECT_EQ(e.entries().front().SQLState, "42S02");
        EXPECT_NE(e.description().find("NoSuchTable"), std::string::npos) << e.description();
    }
    EXPECT_FALSE(recordset.IsOpen());

    // A database that does not exist refuses the login.
    EXPECT_FALSE(
        TryConnect(connectionStringFor({server().serverName(), "NoSuchDb", "sa", kPassword}, false), "Select 1"));
}

TEST_F(StandinTest, WrongPasswordAndClosedPortGiveNullAndFalse) {
    EXPECT_EQ(OpenRecordset(connectionString(true, "wrong"), "SELECT Name FROM SysDatabases"), nullptr);
    EXPECT_FALSE(TryConnect(connectionString(true, "wrong"), "SELECT Name FROM SysDatabases"));
    Connection connection;
    try {
        connection.Open(connectionString(true, "wrong"));
        ADD_FAILURE() << "logged in";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.number(), 18456) << e.description();
    }
    EXPECT_GE(connection.Errors_().Count(), 1);
    EXPECT_FALSE(connection.IsOpen());

    const std::string closedServer = "127.0.0.1," + std::to_string(test::closedLoopbackPort());
    const std::string closed = connectionStringFor({closedServer, kDatabase, "sa", kPassword}, true);
    EXPECT_EQ(OpenRecordset(closed, "SELECT Name FROM SysDatabases"), nullptr);
    EXPECT_FALSE(TryConnect(closed, "SELECT Name FROM SysDatabases"));
    try {
        Recordset recordset;
        recordset.Open("SELECT Name FROM SysDatabases", closed);
        ADD_FAILURE() << "connected";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.entries().front().SQLState.starts_with("08")) << e.description();
    }
}

TEST_F(StandinTest, LoginsAndPasswordsWithSeparatorsReachTheServerAsData) {
    // Quoted in the OLE DB string, braced for the driver.
    const std::string quoted =
        "Provider=SQLOLEDB;Data Source=" + server().serverName() + ";User ID=odd;Password=\"a}b;c\";";
    EXPECT_TRUE(TryConnect(quoted, "Select 1"));
    EXPECT_FALSE(TryConnect(
        "Provider=SQLOLEDB;Data Source=" + server().serverName() + ";User ID=odd;Password=\"a}b;d\";", "Select 1"));
    // The program's own form quotes what needs it.
    EXPECT_TRUE(TryConnect(connectionStringFor({server().serverName(), kDatabase, "odd", "a}b;c"}, true), "Select 1"));
    EXPECT_TRUE(
        TryConnect(connectionStringFor({server().serverName(), kDatabase, "my user", "p;w}d= x"}, false), "Select 1"));
    EXPECT_FALSE(
        TryConnect(connectionStringFor({server().serverName(), kDatabase, "my user", "p;w}d=x"}, false), "Select 1"));
}

TEST_F(StandinTest, RollbackRemovesCommitKeeps) {
    ASSERT_TRUE(independent("create table Tx (Id int not null)").ok());
    {
        Connection connection;
        connection.Open(connectionString(false));
        connection.BeginTrans();
        EXPECT_TRUE(connection.InTransaction());
        EXPECT_THROW(connection.BeginTrans(), DatabaseError);
        connection.Execute("Insert Into Tx Values (1)");
        connection.RollbackTrans();
        EXPECT_FALSE(connection.InTransaction());
        EXPECT_THROW(connection.RollbackTrans(), DatabaseError);
        EXPECT_EQ(countRows("Tx"), 0);

        connection.BeginTrans();
        connection.Execute("Insert Into Tx Values (2)");
        connection.CommitTrans();
        EXPECT_EQ(countRows("Tx"), 1);
        {
            ado::Transaction transaction(connection);
            connection.Execute("Insert Into Tx Values (3)");
        }  // not committed: rolled back
        EXPECT_FALSE(connection.InTransaction());
        {
            ado::Transaction transaction(connection);
            connection.Execute("Insert Into Tx Values (4)");
            transaction.commit();
        }
        // Autocommit is back after a transaction.
        connection.Execute("Insert Into Tx Values (5)");
        connection.BeginTrans();
        connection.Execute("Insert Into Tx Values (6)");
    }  // the connection goes with an open transaction: rolled back
    const test::SqlRun run = independent("select Id from Tx order by Id");
    ASSERT_TRUE(run.ok()) << run.errors;
    EXPECT_EQ(run.output, "2\n4\n5\n");
}

TEST_F(StandinTest, BatchRunsEveryStatementAndCollectsErrors) {
    ASSERT_TRUE(independent("create table Batch (Id int not null primary key, Name nvarchar(10) not null)").ok());
    Connection connection;
    connection.Open(connectionString(false));
    // Rejected rows end their own statement only, as in an import batch.
    try {
        connection.Execute(
            "Insert Into Batch Values (1, N'a')\r\nInsert Into Batch Values (1, N'dup')\r\n"
            "Insert Into Batch Values (2, Null)\r\nInsert Into Batch Values (3, N'c')\r\n");
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.number(), 2627);
        EXPECT_EQ(e.entries().size(), 2u) << e.description();
    }
    ASSERT_EQ(connection.Errors_().Count(), 2);
    EXPECT_EQ(connection.Errors_().Item(0).Number, 2627);  // the repeated key
    EXPECT_EQ(connection.Errors_().Item(0).SQLState, "23000");
    EXPECT_EQ(connection.Errors_().Item(1).Number, 515);  // the null in a NOT NULL column
    EXPECT_EQ(countRows("Batch"), 2);

    // A failing first statement does not stop the others either.
    connection.Errors_().Clear();
    EXPECT_THROW(connection.Execute("Insert Into Batch Values (1, N'x'); Insert Into Batch Values (5, N'e')"),
                 DatabaseError);
    EXPECT_EQ(connection.Errors_().Count(), 1);
    EXPECT_EQ(countRows("Batch"), 3);

    // A clean batch leaves no entry; its first result set comes back.
    connection.Errors_().Clear();
    auto recordset = connection.Execute(
        "Delete From Batch Where Id = 99; Insert Into Batch Values (6, N'f'); Select Id From Batch Order By Id");
    EXPECT_EQ(connection.Errors_().Count(), 0);
    ASSERT_NE(recordset, nullptr);
    EXPECT_EQ(recordset->RecordCount(), 4);
    EXPECT_EQ(connection.Execute("Update Batch Set Id = Id Where 1=2"), nullptr);
    EXPECT_EQ(connection.Errors_().Count(), 0);
}

TEST_F(StandinTest, RecordsetOnAnOpenConnection) {
    Connection connection;
    connection.Open(connectionString(true));
    Recordset recordset;
    recordset.Open("Select Name From SysDatabases Where Name = 'master'", connection);
    ASSERT_EQ(recordset.RecordCount(), 1);
    EXPECT_EQ(recordset.Fields(0).Value(), "master");
    EXPECT_THROW(recordset.Open("Select 1", connection), DatabaseError);  // already open
    // The connection stays usable after the recordset has its rows.
    Recordset second;
    second.Open("Select Name From SysDatabases Where 1=2", connection);
    EXPECT_EQ(second.RecordCount(), 0);
    EXPECT_THROW(second.Open("Select 1", connection), DatabaseError);

    Recordset failing;
    EXPECT_THROW(failing.Open("Select * From NoSuchTable", connection), DatabaseError);
    EXPECT_GE(connection.Errors_().Count(), 1);

    // A statement without a result set opens nothing, and is no failure.
    Recordset rowless;
    rowless.Open("Create Table Rowless (Id int null)", connection);
    EXPECT_FALSE(rowless.IsOpen());
}

}  // namespace
}  // namespace dovrel
