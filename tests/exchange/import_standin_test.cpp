// The table exchange against the stand-in server, through the real ODBC
// driver: column kinds and look-ups, the column check, statements per column
// kind, batches and events, failures and rollback, numbering, deletion,
// identity insertion, triggers and key filters.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "db/ado.h"
#include "exchange/detail/column_utilities.h"
#include "exchange/detail/triggers.h"
#include "exchange/exchange.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "support/closed_port.h"
#include "support/query_rows.h"
#include "support/standin_database.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using namespace exchange::detail;

const std::string kUpdateFailed = "更新数据库存失败，请重新导入文件！";

class ImportEvents : public ExchangeEvents {
public:
    void AfterImportARow(int32_t TotalRow, int32_t CurrentRow) override { imported.emplace_back(TotalRow, CurrentRow); }
    void AfterExportTableARow(int32_t, int32_t) override { ++exported; }
    std::vector<std::pair<int32_t, int32_t>> imported;
    int exported = 0;
};

class ImportStandin : public test::SharedStandinDatabase<ImportStandin> {
public:
    static constexpr const char* kDatabaseName = "ExchangeTests";

protected:
    void SetUp() override {
        test::SharedStandinDatabase<ImportStandin>::SetUp();
        exchange.SetEvents(&events);
    }

    static test::StandinServer& server() { return db().server(); }
    static std::string connectStr(const std::string& password = "Secret#1") { return db().connectStr(password); }
    // Runs fixture statements through the independent client.
    static void sql(const std::string& text) { ASSERT_TRUE(db().sql(text)) << db().error(); }
    // The rows of a query, values separated by "|", rows ended by "\n", NULL as "NULL".
    static std::string rows(const std::string& query) { return db().rows(query); }
    std::string file(const std::string& text) {
        return folder.write("source" + std::to_string(++files) + ".txt", text);
    }
    std::string import(const std::string& text, const std::string& table, ImportOptions options = {}) {
        options.ConnectStr = connectStr();
        return exchange.ImportTable(file(text), table, options);
    }
    // The report of a refused batch: the failure text and the batch, then
    // the server's message and the file line the batch begins at.
    static void expectBatchReport(const std::string& report, const std::string& batch, std::size_t firstLine) {
        const std::string head = kUpdateFailed + "\r\n" + batch;
        ASSERT_EQ(report.substr(0, head.size()), head);
        const std::string tail = report.substr(head.size());
        EXPECT_TRUE(tail.starts_with("服务器的消息：[FreeTDS][SQL Server]")) << tail;
        EXPECT_TRUE(tail.ends_with("这一批从文件的第 " + std::to_string(firstLine) + " 行开始。\r\n")) << tail;
    }
    // A file of `count` rows "i<tab>name i" under the header Id, Name.
    static std::string numberedRows(int count, int badRow = 0) {
        std::string text = "Id\tName\r\n";
        for (int i = 1; i <= count; ++i)
            text += (i == badRow ? "abc" : std::to_string(i)) + "\tn" + std::to_string(i) + "\r\n";
        return text;
    }

    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
    test::TempFolder folder;
    Exchange exchange;
    ImportEvents events;
    int files = 0;
};

TEST_F(ImportStandin, ColumnKindsAndLookups) {
    sql("Create Table Kinds (I int, D datetime, S nvarchar(20), G uniqueidentifier, P image, B bit)");
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "I"), 3);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "D"), 2);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "S"), 1);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "G"), 4);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "P"), 4);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "B"), 3);
    EXPECT_EQ(ColumnKind(connectStr(), "Kinds", "Missing"), -1);
    EXPECT_EQ(ColumnKind(connectStr(), "NoSuchTable", "I"), -1);

    ado::Recordset probe;
    probe.Open("Select * From Kinds Where 1=2", connectStr());
    FieldsCollection fields(probe);
    EXPECT_TRUE(exchange.MemExist(fields, "s"));
    EXPECT_TRUE(exchange.MemExistVal(fields, "S"));
    EXPECT_FALSE(exchange.MemExist(fields, "Missing"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImportStandin, NextValueAndExecuteSql) {
    sql("Create Table NextT (Id int, Code nvarchar(10))");
    EXPECT_EQ(NextValue("NextT", "Id", connectStr()), 1);
    sql("Insert Into NextT Values (41, N'x41')");
    EXPECT_EQ(NextValue("NextT", "Id", connectStr()), 42);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(NextValue("NextT", "Code", connectStr()), -1);  // the maximum is no number
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("\r\n"), std::string::npos);

    ado::Connection connection;
    connection.Open(connectStr());
    EXPECT_FALSE(ExecuteSql(&connection, "Insert Into NextT Values (1, N'a')"));
    EXPECT_TRUE(ExecuteSql(&connection, "Insert Into NoSuchTable Values (1)"));
    EXPECT_FALSE(ExecuteSql(&connection, "Select * From NextT"));
}

TEST_F(ImportStandin, ColumnCheckMessages) {
    sql("Create Table ChkT (Name nvarchar(20), Age int, Memo nvarchar(50), Stamp timestamp, Pic varbinary(10))");
    std::string rt;
    EXPECT_EQ(exchange.CheckSourceData(file("name\tAGE\tMemo\r\n"), "ChkT", rt, connectStr()), 1);
    EXPECT_EQ(rt, "");
    EXPECT_EQ(exchange.CheckSourceData(file("Name\tAge\tDept\r\n"), "ChkT", rt, connectStr()), -1);
    EXPECT_EQ(rt, "Dept在资料表里找不到 — ChkTMemo在资料表里多出 — ChkT");
    EXPECT_EQ(import("Name\tAge\tDept\r\nA\t1\tX\r\n", "ChkT"),
              "数据表字段不匹配Dept在资料表里找不到 — ChkTMemo在资料表里多出 — ChkT\r\n");
    EXPECT_EQ(rows("Select Count(*) From ChkT"), "0\n");
    // A table that cannot be queried: nothing compared.
    rt.clear();
    EXPECT_EQ(exchange.CheckSourceData(file("Name\r\n"), "NoSuchTable", rt, connectStr()), 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImportStandin, StaffExampleStatementByteForByte) {
    sql("Create Table Staff (Id int primary key, Name nvarchar(20) null, Born datetime null, Active bit)\n"
        "go\nInsert Into Staff Values (7, N'Old', null, 0)");
    // Id 7 exists already, so the server refuses the batch and the report shows the statement.
    expectBatchReport(
        import("Id\tName\tBorn\tActive\r\n7\tO'Neil\t2001/2/3\tTrue\r\n", "Staff"),
        "Insert Into Staff ([Id],[Name],[Born],[Active]) Values (7,N'O''Neil',N'2001-02-03 00:00:00',1)\r\n", 2);
    EXPECT_EQ(rows("Select Id, Name From Staff"), "7|Old\n");
    EXPECT_EQ(import("Id\tName\tBorn\tActive\r\n8\tO'Neil\t2001/2/3\tTrue\r\n", "Staff"), "");
    EXPECT_EQ(rows("Select Id, Name, Born, Active From Staff Where Id = 8"), "8|O'Neil|2001-02-03 00:00:00|True\n");
}

TEST_F(ImportStandin, ValuesPerColumnKind) {
    sql("Create Table Kinds2 (Id int not null, T1 nvarchar(20) null, T2 nvarchar(20) not null, "
        "D1 datetime null, D2 datetime not null, N1 int null, N2 int not null, B bit not null, Stamp timestamp)");
    const std::string header = "Id\tT1\tT2\tD1\tD2\tN1\tN2\tB\r\n";
    EXPECT_EQ(import(header + "1\t#Null\t#Null\t\t\t\t\tTrue\r\n"
                              "2\tit's\t\t1999-12-31 23:59\tnot a date\t-5\t7\tFalse\r\n"
                              "3\t#null\tx\t2000/2/29\t2001-02-30\t\t0\t1\r\n",
                     "Kinds2"),
              "");
    EXPECT_EQ(rows("Select Id, T1, T2, D1, D2, N1, N2, B From Kinds2 Order By Id"),
              "1|NULL||NULL|1900-01-01 00:00:00|NULL|0|True\n"
              "2|it's||1999-12-31 23:59:00|1900-01-01 00:00:00|-5|7|False\n"
              "3|#null|x|2000-02-29 00:00:00|1900-01-01 00:00:00|NULL|0|True\n");
    // A text in a numeric column writes no value: the row and its batch fail.
    const std::string report = import(header + "4\ta\tb\t\t\tabc\t1\t0\r\n", "Kinds2");
    expectBatchReport(
        report, "Insert Into Kinds2 ([Id],[T1],[T2],[D1],[D2],[N1],[N2],[B]) Values (4,N'a',N'b',Null,'',1,0)\r\n", 2);
    EXPECT_EQ(rows("Select Count(*) From Kinds2"), "3\n");
}

TEST_F(ImportStandin, AFileColumnOfKindFourFailsTheBatch) {
    sql("Create Table PicT (Id int, Pic varbinary(10))");
    expectBatchReport(import("Id\tPic\r\n1\t0x01\r\n", "PicT"), "Insert Into PicT ([Id],[Pic]) Values (1)\r\n", 2);
}

TEST_F(ImportStandin, BatchesOfAHundredWithEvents) {
    sql("Create Table Batch0 (Id int, Name nvarchar(20))\ngo\nCreate Table Batch100 (Id int, Name nvarchar(20))\n"
        "go\nCreate Table Batch250 (Id int, Name nvarchar(20))");
    EXPECT_EQ(import(numberedRows(0), "Batch0"), "");
    EXPECT_TRUE(events.imported.empty());
    EXPECT_EQ(import(numberedRows(100), "Batch100"), "");
    EXPECT_EQ(events.imported, (std::vector<std::pair<int32_t, int32_t>>{{100, 100}}));
    events.imported.clear();
    EXPECT_EQ(import(numberedRows(250), "Batch250"), "");
    EXPECT_EQ(events.imported, (std::vector<std::pair<int32_t, int32_t>>{{250, 100}, {250, 200}}));
    EXPECT_EQ(rows("Select Count(*), Min(Id), Max(Id) From Batch250"), "250|1|250\n");
    EXPECT_EQ(rows("Select Name From Batch250 Where Id = 250"), "n250\n");
    EXPECT_EQ(events.exported, 0);
}

TEST_F(ImportStandin, ABadRowRollsEverythingBack) {
    sql("Create Table Bad150 (Id int not null, Name nvarchar(20))\ngo\nInsert Into Bad150 Values (0, N'before')");
    std::string expected;
    for (int i = 101; i <= 150; ++i)
        expected += "Insert Into Bad150 ([Id],[Name]) Values (" + (i == 150 ? std::string() : std::to_string(i) + ",") +
                    "N'n" + std::to_string(i) + "')\r\n";
    expectBatchReport(import(numberedRows(150, 150), "Bad150"), expected, 102);
    EXPECT_EQ(events.imported, (std::vector<std::pair<int32_t, int32_t>>{{150, 100}}));
    EXPECT_EQ(rows("Select Id, Name From Bad150"), "0|before\n");
}

TEST_F(ImportStandin, NumberingFromTheTablesMaximum) {
    sql("Create Table Num41 (Id int, Name nvarchar(20))\ngo\nInsert Into Num41 Values (41, N'old')\ngo\n"
        "Create Table NumEmpty (Id int, Name nvarchar(20))\ngo\nCreate Table NumNone (Id int, Name nvarchar(20))");
    const std::string text = "Id\tName\r\n5\ta\r\n\tb\r\n";
    EXPECT_EQ(import(text, "Num41", {.KeyField = "Id", .IDmode = 1}), "");
    EXPECT_EQ(rows("Select Id, Name From Num41 Order By Id"), "41|old\n43|a\n44|b\n");
    EXPECT_EQ(import(text, "NumEmpty", {.IDmode = 2, .IDname = "Id"}), "");
    EXPECT_EQ(rows("Select Id From NumEmpty Order By Id"), "2\n3\n");
    // IDmode 1 without a KeyField numbers nothing, and does not fall back to IDname.
    EXPECT_EQ(import("Id\tName\r\n5\ta\r\n6\tb\r\n", "NumNone", {.IDmode = 1, .IDname = "Id"}), "");
    EXPECT_EQ(rows("Select Id From NumNone Order By Id"), "5\n6\n");
}

TEST_F(ImportStandin, NumberingStopsWhenTheMaximumCannotBeRead) {
    sql("Create Table NumText (Id nvarchar(10), Name nvarchar(20))\ngo\nInsert Into NumText Values (N'abc', N'x')");
    const std::string report = import("Id\tName\r\n\ta\r\n", "NumText", {.KeyField = "Id", .IDmode = 1});
    EXPECT_EQ(report, "13Type mismatch\r\n");
    EXPECT_EQ(messages.shown.size(), 1u);  // NextValue's own message
    EXPECT_EQ(rows("Select Count(*) From NumText"), "1\n");
}

TEST_F(ImportStandin, DeletingOldRows) {
    sql("Create Table DelT (Id int, Name nvarchar(20))\ngo\nInsert Into DelT Values (1, N'a')\ngo\n"
        "Insert Into DelT Values (2, N'b')\ngo\nInsert Into DelT Values (3, N'c')");
    EXPECT_EQ(import("Id\tName\r\n10\tx\r\n", "DelT", {.CanDelete = 1, .strDelete = "Delete From DelT Where Id = 1"}),
              "");
    EXPECT_EQ(rows("Select Id From DelT Order By Id"), "2\n3\n10\n");
    EXPECT_EQ(import("Id\tName\r\n11\ty\r\n", "DelT", {.CanDelete = 1}), "");
    EXPECT_EQ(rows("Select Id From DelT Order By Id"), "11\n");
    // A delete that fails is a runtime error: reported, nothing changed.
    const std::string report = import("Id\tName\r\n12\tz\r\n", "DelT", {.strDelete = "Delete From NoSuchTable"});
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    EXPECT_EQ(rows("Select Id From DelT Order By Id"), "11\n");
    // No rows at all: the delete still takes effect.
    EXPECT_EQ(import("Id\tName\r\n", "DelT", {.CanDelete = 1}), "");
    EXPECT_EQ(rows("Select Count(*) From DelT"), "0\n");
}

TEST_F(ImportStandin, IdentityInsertion) {
    sql("Create Table IdT (Id int identity(1,1), Name nvarchar(20))\ngo\nInsert Into IdT (Name) Values (N'auto')");
    const std::string text = "Id\tName\r\n100\tx\r\n";
    // Without identity insertion an explicit identity value is refused.
    EXPECT_EQ(import(text, "IdT").substr(0, kUpdateFailed.size()), kUpdateFailed);
    // IDmode 2 with a column the file lacks: nothing numbered, identity insertion still on.
    EXPECT_EQ(import(text, "IdT", {.IDmode = 2, .IDname = "Nope"}), "");
    EXPECT_EQ(rows("Select Id, Name From IdT Order By Id"), "1|auto\n100|x\n");
    EXPECT_EQ(import("Id\tName\r\n\ty\r\n", "IdT", {.IDmode = 2, .IDname = "Id"}), "");
    EXPECT_EQ(rows("Select Max(Id) From IdT"), "102\n");
    // Identity insertion is off again after the import.
    sql("Insert Into IdT (Name) Values (N'after')");
}

// Each test has its own table T<n> with an audit table A<n> filled by the
// insert trigger R<n>.
class TriggerImport : public ImportStandin {
protected:
    void SetUp() override {
        ImportStandin::SetUp();
        static int tables = 0;
        const std::string n = std::to_string(++tables);
        table = "TrgT" + n, audit = "TrgA" + n, trigger = "TrgR" + n;
        definition = "Create Trigger " + trigger + " On " + table + " For Insert As Insert Into " + audit +
                     " (Id) Select Id From inserted";
        sql("Create Table " + table + " (Id int, Name nvarchar(20))\ngo\nCreate Table " + audit + " (Id int)\ngo\n" +
            definition);
    }
    std::string table, audit, trigger, definition;
};

TEST_F(TriggerImport, DroppedTriggersDoNotFireAndComeBack) {
    exchange.SetIntDropTrigger(1);
    EXPECT_EQ(import(numberedRows(3), table), "");
    EXPECT_EQ(rows("Select Count(*) From " + table), "3\n");
    EXPECT_EQ(rows("Select Count(*) From " + audit), "0\n");
    sql("Insert Into " + table + " Values (9, N'later')");
    EXPECT_EQ(rows("Select Id From " + audit), "9\n");
    // A table without triggers imports as usual.
    EXPECT_EQ(import("Id\r\n5\r\n", audit), "");
    EXPECT_EQ(rows("Select Id From " + audit + " Order By Id"), "5\n9\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TriggerImport, OnlyOneDropsTriggers) {
    for (int16_t value : {int16_t{0}, int16_t{2}, int16_t{-1}}) {
        exchange.SetIntDropTrigger(value);
        EXPECT_EQ(import("Id\tName\r\n" + std::to_string(value) + "\tx\r\n", table), "");
    }
    EXPECT_EQ(rows("Select Id From " + audit + " Order By Id"), "-1\n0\n2\n");
}

TEST_F(TriggerImport, ATriggerThatCannotBeCreatedAgainUndoesTheImport) {
    sql("Insert Into " + table + " Values (1, N'kept')");
    exchange.SetIntDropTrigger(1);
    // The delete statement puts another trigger of the same name in place of
    // the dropped one, so the saved definition cannot be run again.
    const std::string report = import(numberedRows(3), table,
                                      {.strDelete = "Create Trigger " + trigger + " On " + table +
                                                    " For Delete As Insert Into " + audit + " (Id) Values (-1)"});
    EXPECT_EQ(report.substr(0, report.find("\r\n")), "无法重新建立触发器：" + trigger) << report;
    EXPECT_EQ(rows("Select Id, Name From " + table), "1|kept\n");
    EXPECT_EQ(rows("Select Id From " + audit), "1\n");
    // The original trigger is in place again.
    sql("Insert Into " + table + " Values (9, N'later')");
    EXPECT_EQ(rows("Select Id From " + audit + " Order By Id"), "1\n9\n");
}

TEST_F(TriggerImport, ListingAndText) {
    ado::Connection connection;
    connection.Open(connectStr());
    // A definition of several lines comes back whole, its rows joined as delivered.
    const std::string second = "Create Trigger " + trigger + "x On " + table + " For Delete\r\nAs\r\nInsert Into " +
                               audit + " (Id) Values (0)";
    connection.Execute(second);
    EXPECT_EQ(ListTriggers(&connection, table, "\t"), trigger + "\t" + trigger + "x");
    EXPECT_EQ(ListTriggers(&connection, table, "<>"), trigger + "<>" + trigger + "x");
    EXPECT_EQ(ListTriggers(&connection, table, ""), trigger + trigger + "x");
    EXPECT_EQ(ListTriggers(&connection, audit, "\t"), "");
    EXPECT_EQ(TriggerText(&connection, trigger + "x"), second);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ListTriggers(&connection, "NoSuchTable", "\t"), "");
    EXPECT_EQ(TriggerText(&connection, "NoSuchTrigger"), "");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("\r\n"), std::string::npos);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
}

TEST_F(ImportStandin, KeyFilters) {
    sql("Create Table KeyN (Id int, Code nvarchar(10), Born datetime)\ngo\n"
        "Create Table KeyS (Id int, Code nvarchar(10), Born datetime)\ngo\n"
        "Create Table KeyD (Id int, Code nvarchar(10), Born datetime)");
    const std::string text = "Id\tCode\tBorn\r\n1\tA1\t2001-01-01\r\n2\tB2\t2001-01-02\r\n12\ta1\t2001-01-12\r\n";
    EXPECT_EQ(import(text, "KeyN", {.KeyField = "Id", .KeyValue = "1,2"}), "");
    EXPECT_EQ(rows("Select Id From KeyN Order By Id"), "1\n2\n");
    EXPECT_EQ(import(text, "KeyS", {.KeyField = "Code", .KeyValue = "'A1','B2'"}), "");
    EXPECT_EQ(rows("Select Code From KeyS Order By Id"), "A1\nB2\n");
    // A date key falls under the substring rule.
    EXPECT_EQ(import(text, "KeyD", {.KeyField = "Born", .KeyValue = "2001-01-01;2001-01-12"}), "");
    EXPECT_EQ(rows("Select Id From KeyD Order By Id"), "1\n12\n");
}

TEST_F(ImportStandin, MoreRowsThanASixteenBitCounter) {
    sql("Create Table BigT (Id int, Name nvarchar(20))");
    EXPECT_EQ(import("[BigT]\r\n" + numberedRows(40000), "BigT"), "");
    EXPECT_EQ(rows("Select Count(*), Max(Id) From BigT"), "40000|40000\n");
    EXPECT_EQ(events.imported.size(), 400u);
    EXPECT_EQ(events.imported.back(), (std::pair<int32_t, int32_t>{40000, 40000}));
}

std::string dataFile(const std::string& name) {
    return std::string(DOVREL_SOURCE_DIR) + "/tests/exchange/data/" + name;
}

TEST_F(ImportStandin, RealFilesOfEveryEncodingLineEndAndDateForm) {
    platform::overrideCodePages(platform::CodePages{936, 936});
    sql("Create Table RealGbk (Id int, Name nvarchar(20), Dept nvarchar(20))\ngo\n"
        "Create Table RealUtf16 (Id int, Name nvarchar(20), Born datetime)\ngo\n"
        "Create Table RealLf (Id int, Name nvarchar(20))\ngo\nCreate Table RealDates (Id int, Born datetime)");
    const std::vector<std::tuple<std::string, std::string, std::string>> realFiles = {
        {"gbk_names.txt", "RealGbk", "1|卢|路\n2|莫|拥细\n"},
        {"utf16le_bom.txt", "RealUtf16", "1|张三|2001-02-03 00:00:00\n2|李四|2001-02-03 10:00:00\n"},
        {"lf_only.txt", "RealLf", "1|王五\n2|b\n"},
        {"chinese_dates.txt", "RealDates",
         "1|2001-02-03 00:00:00\n2|2001-02-03 10:05:00\n3|2001-02-03 00:00:00\n4|2001-02-03 10:00:00.500\n"
         "5|2001-02-03 10:00:00\n"},
    };
    for (const auto& [name, table, expected] : realFiles) {
        SCOPED_TRACE(name);
        ImportSummary summary;
        EXPECT_EQ(exchange.ImportTable(dataFile(name), table, {.ConnectStr = connectStr(), .Strict = true}, summary),
                  "");
        EXPECT_EQ(summary.changedCells, 0u);
        EXPECT_EQ(rows("Select * From " + table + " Order By Id"), expected);
    }
    platform::overrideCodePages(std::nullopt);
}

TEST_F(ImportStandin, CellsWrittenOtherwiseAreCountedAndStrictRefusesThem) {
    sql("Create Table Cells (Id int, D datetime null, D2 datetime not null, B bit not null, T nvarchar(9) not null, "
        "N int null)\ngo\nInsert Into Cells Values (0, null, '2000-01-01', 0, N'old', null)");
    const std::string file =
        "Id\tD\tD2\tB\tT\tN\r\n"
        "1\tyesterday\t2001-2-3\tyes\t#Null\t\r\n"
        "2\t#Null\t2001-02-30\t 1\tx\t 7 \r\n";
    ImportSummary summary;
    const std::string report = exchange.ImportTable(
        this->file(file), "Cells", {.CanDelete = 1, .ConnectStr = connectStr(), .Strict = true}, summary);
    EXPECT_EQ(summary.outcome, ImportOutcome::Refused);
    EXPECT_EQ(report,
              "有 4 个单元格不是空的，却会被写成 NULL、''、N''、0 或根本不写入：\r\n"
              "第 2 行，列 D：“yesterday” → NULL\r\n第 2 行，列 B：“yes” → 0\r\n"
              "第 2 行，列 T：“#Null” → N''\r\n第 3 行，列 D2：“2001-02-30” → ''\r\n");
    EXPECT_EQ(rows("Select Id, T From Cells"), "0|old\n");
    // Without strictness the file imports as the statements write it, and the cells are counted.
    EXPECT_EQ(exchange.ImportTable(this->file(file), "Cells", {.CanDelete = 1, .ConnectStr = connectStr()}, summary),
              "");
    EXPECT_EQ(summary.changedCells, 4u);
    ASSERT_EQ(summary.firstChangedCells.size(), 4u);
    EXPECT_EQ(summary.firstChangedCells[3].line, 3u);
    EXPECT_EQ(rows("Select Id, D, D2, B, T, N From Cells Order By Id"),
              "1|NULL|2001-02-03 00:00:00|False||NULL\n2|NULL|1900-01-01 00:00:00|True|x|7\n");
}

TEST_F(ImportStandin, SummaryCountsAndAFilterThatKeepsNothing) {
    sql("Create Table Summ (Id int, Name nvarchar(20))\ngo\nInsert Into Summ Values (1, N'a')\ngo\n"
        "Insert Into Summ Values (2, N'b')\ngo\nInsert Into Summ Values (3, N'c')");
    const std::string text = "Id\tName\r\n5\tx\r\n6\ty\r\n7\tz\r\n";
    ImportSummary summary;
    EXPECT_EQ(exchange.ImportTable(file(text), "Summ",
                                   {.KeyField = "Id", .KeyValue = "5,7", .CanDelete = 1, .ConnectStr = connectStr()},
                                   summary),
              "");
    EXPECT_EQ(summary.outcome, ImportOutcome::Success);
    EXPECT_EQ(summary.linesRead, 3u);
    EXPECT_EQ(summary.linesSkipped, 1u);
    EXPECT_EQ(summary.rowsInserted, 2u);
    EXPECT_EQ(summary.rowsDeleted, 3);
    EXPECT_EQ(summary.encoding, "UTF-8");
    EXPECT_GT(summary.seconds, 0);
    // A filter that keeps nothing, with deletion: stopped when asked to, else the table is emptied.
    const ImportOptions nothing{.KeyField = "Id", .KeyValue = "99", .CanDelete = 1, .ConnectStr = connectStr()};
    ImportOptions guarded = nothing;
    guarded.RefuseEmptyFilteredLoad = true;
    const std::string report = exchange.ImportTable(file(text), "Summ", guarded, summary);
    EXPECT_EQ(summary.outcome, ImportOutcome::Refused);
    EXPECT_NE(report.find("键值筛选没有选中任何一行"), std::string::npos) << report;
    EXPECT_EQ(rows("Select Count(*) From Summ"), "2\n");
    EXPECT_EQ(exchange.ImportTable(file(text), "Summ", nothing), "");
    EXPECT_EQ(rows("Select Count(*) From Summ"), "0\n");
}

TEST_F(ImportStandin, CheckFileNamesEachReason) {
    sql("Create Table Chk2 (Id int, D datetime null)");
    const std::string good = file("Id\tD\r\n1\t2001-02-03\r\n");
    struct Case {
        std::string what, file, table, connect;
        ImportOutcome outcome;
        std::string reportPart;
    };
    const std::vector<Case> cases = {
        {"a file that would import", good, "Chk2", connectStr(), ImportOutcome::Success, ""},
        {"no server", good, "Chk2",
         "provider = sqloledb;data source=127.0.0.1," + std::to_string(test::closedLoopbackPort()) + ";user id =sa;",
         ImportOutcome::ConnectionFailed, "无法连接数据库服务器："},
        {"a wrong password", good, "Chk2", connectStr("Wrong#9"), ImportOutcome::ConnectionFailed, "Login failed"},
        {"no such table", good, "NoSuchTable", connectStr(), ImportOutcome::Refused, "无法查询数据表 NoSuchTable："},
        {"columns that differ", file("Id\tE\r\n1\t2\r\n"), "Chk2", connectStr(), ImportOutcome::Refused,
         "数据表字段不匹配E在资料表里找不到"},
        {"a cell that would change", file("Id\tD\r\n1\t2001-13-01\r\n"), "Chk2", connectStr(), ImportOutcome::Refused,
         "第 2 行，列 D：“2001-13-01” → NULL"},
        {"no such file", folder.path("absent.txt"), "Chk2", connectStr(), ImportOutcome::FileUnreadable, "文件不存在"},
        {"a table name that is none", good, "Chk2;", connectStr(), ImportOutcome::BadArgument, "表名不合规"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImportSummary summary;
        const std::string report =
            exchange.CheckFile(c.file, c.table, {.ConnectStr = c.connect, .Strict = true}, summary);
        EXPECT_EQ(summary.outcome, c.outcome) << report;
        if (c.reportPart.empty())
            EXPECT_EQ(report, "");
        else
            EXPECT_NE(report.find(c.reportPart), std::string::npos) << report;
    }
    EXPECT_EQ(rows("Select Count(*) From Chk2"), "0\n");
}

TEST_F(ImportStandin, ReportsQuoteAtMostAboutTwoHundredCharacters) {
    sql("Create Table Echo (Id int not null, Name nvarchar(10))");
    const std::string longName(1000, 'n'), longValue = std::string(300, 'v') + "'" + std::string(300, 'w');
    std::string report = import("Id\tName\r\n1\t" + longValue + "\r\n", "Echo");  // too long for the column
    EXPECT_LT(report.size(), 1000u) << report;
    EXPECT_NE(report.find("Values (1,N'" + std::string(200, 'v') + "…')"), std::string::npos) << report;
    report = import("Id\t" + longName + "\r\n1\t2\r\n", "Echo");
    EXPECT_LT(report.size(), 600u) << report;
    EXPECT_NE(report.find(std::string(200, 'n') + "…在资料表里找不到"), std::string::npos) << report;
}

TEST_F(ImportStandin, DatesAreReadAsWrittenOnADayFirstSession) {
    sql("Create Table DayFirst (Id int not null, Born datetime null)");
    // A session whose language reads 'YYYY-MM-DD hh:mm:ss' year-day-month, as British logins do.
    const std::string british = connectStr() + "Current Language=british;";
    ado::Connection plain;
    plain.Open(british);
    try {
        plain.Execute("Insert Into DayFirst (Id, Born) Values (0, '2001-02-13 00:00:00')");
        ADD_FAILURE() << "the 13th month was accepted";
    } catch (const ado::DatabaseError& e) {
        EXPECT_EQ(e.number(), 242);
    }
    ImportOptions options;
    options.ConnectStr = british;
    EXPECT_EQ(exchange.ImportTable(file("Id\tBorn\r\n1\t2001-02-03\r\n2\t2001-02-13 10:05\r\n"), "DayFirst", options),
              "");
    EXPECT_EQ(rows("Select Id, CONVERT(varchar(19), Born, 120) From DayFirst Order By Id"),
              "1|2001-02-03 00:00:00\n2|2001-02-13 10:05:00\n");
}

}  // namespace
}  // namespace dovrel
