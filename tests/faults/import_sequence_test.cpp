// What the import sends, and in which order, seen from the driver's side:
// this test program puts its own SQLExecDirectW and SQLSetConnectAttr in
// front of the driver manager's (the data layer is linked in statically, so
// its calls reach these first). They record every statement and can make
// restoring autocommit fail right after a commit.
#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "exchange/exchange.h"
#include "platform/messages.h"
#include "support/standin_database.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace {

std::vector<std::string> sent;  // every statement text, in order
bool failAutocommitOn = false;  // the next switch back to autocommit fails

template <class Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length) {
    std::string ascii;
    for (SQLINTEGER i = 0; length == SQL_NTS ? text[i] != 0 : i < length; ++i)
        ascii += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    sent.push_back(ascii);
    static auto real = next<SQLRETURN(SQL_API*)(SQLHSTMT, SQLWCHAR*, SQLINTEGER)>("SQLExecDirectW");
    return real(statement, text, length);
}

extern "C" SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC connection, SQLINTEGER attribute, SQLPOINTER value,
                                               SQLINTEGER length) {
    if (failAutocommitOn && attribute == SQL_ATTR_AUTOCOMMIT && reinterpret_cast<SQLULEN>(value) == SQL_AUTOCOMMIT_ON) {
        failAutocommitOn = false;
        return SQL_ERROR;
    }
    static auto real = next<SQLRETURN(SQL_API*)(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER)>("SQLSetConnectAttr");
    return real(connection, attribute, value, length);
}

namespace dovrel {
namespace {

class ImportSequence : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        db_ = new test::StandinDatabase("SequenceDb");
        ready_ = db_->start() && db_->sql(
                                     "Create Table Staff (Id int, Born datetime null)\ngo\n"
                                     "Create Table Victim (Id int)\ngo\nInsert Into Victim Values (1)");
    }
    static void TearDownTestSuite() {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(ready_) << db_->error();
        sent.clear();
    }
    std::string file(const std::string& text) { return folder.write("f" + std::to_string(++files) + ".txt", text); }
    bool wasSent(const std::string& text) const { return std::find(sent.begin(), sent.end(), text) != sent.end(); }

    static inline test::StandinDatabase* db_ = nullptr;
    static inline bool ready_ = false;
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scoped{messages};
    test::TempFolder folder;
    Exchange exchange;
    int files = 0;
};

TEST_F(ImportSequence, DatesAreReadYearFirstOnEveryLogin) {
    ImportSummary summary;
    ASSERT_EQ(exchange.ImportTable(file("Id\tBorn\r\n1\t2001/2/3\r\n"), "Staff",
                                   {.CanDelete = 1, .ConnectStr = db_->connectStr()}, summary),
              "");
    const auto dateFormat = std::find(sent.begin(), sent.end(), "SET DATEFORMAT ymd");
    const auto firstInsert =
        std::find_if(sent.begin(), sent.end(), [](const std::string& s) { return s.starts_with("Insert Into"); });
    ASSERT_NE(dateFormat, sent.end());
    ASSERT_NE(firstInsert, sent.end());
    EXPECT_LT(dateFormat, firstInsert);
    EXPECT_EQ(db_->rows("Select Id, Born From Staff"), "1|2001-02-03 00:00:00\n");
}

TEST_F(ImportSequence, NamesThatAreNoIdentifiersSendNothing) {
    const std::string text = "Id\tBorn\r\n1\t\r\n";
    const std::vector<std::pair<std::string, ImportOptions>> attempts = {
        {"Staff; DROP TABLE Victim--", {}},
        {"Staff Where 1=1; Drop Table Victim--", {}},
        {"[Staff]; Drop Table Victim--", {}},
        {"a.b.c", {}},
        {"[Sta'ff]", {}},
    };
    for (auto [table, options] : attempts) {
        SCOPED_TRACE(table + " " + options.IDname + options.KeyField);
        options.ConnectStr = db_->connectStr();
        ImportSummary summary;
        const std::string report = exchange.ImportTable(file(text), table, options, summary);
        EXPECT_EQ(summary.outcome, ImportOutcome::BadArgument) << report;
        EXPECT_TRUE(sent.empty()) << sent.front();
    }
    // A column the host names for numbering is looked up in brackets, whatever it holds.
    const std::string column = "Id) From Staff; Drop Table Victim--";
    for (const ImportOptions& options :
         {ImportOptions{.IDmode = 2, .IDname = column}, ImportOptions{.KeyField = column, .IDmode = 1}}) {
        ImportOptions withServer = options;
        withServer.ConnectStr = db_->connectStr();
        sent.clear();
        exchange.ImportTable(file(text), "Staff", withServer);
        for (const std::string& statement : sent) {
            if (statement.find("Victim") != std::string::npos) {
                EXPECT_NE(statement.find("[" + column + "]"), std::string::npos) << statement;
            }
        }
    }
    EXPECT_EQ(db_->rows("Select Id From Victim"), "1\n");
    // The names that are fine: plain, bracketed, schema.table.
    for (const char* table : {"Staff", "[Staff]", "dbo.Staff", "[dbo].[Staff]"}) {
        ImportSummary summary;
        EXPECT_EQ(exchange.ImportTable(file(text), table, {.CanDelete = 1, .ConnectStr = db_->connectStr()}, summary),
                  "")
            << table;
    }
}

TEST_F(ImportSequence, ACommittedImportIsASuccessWhenAutocommitCannotBeRestored) {
    failAutocommitOn = true;
    ImportSummary summary;
    EXPECT_EQ(exchange.ImportTable(file("Id\tBorn\r\n7\t\r\n8\t\r\n"), "Staff",
                                   {.CanDelete = 1, .ConnectStr = db_->connectStr()}, summary),
              "");
    EXPECT_FALSE(failAutocommitOn) << "the restore was never tried";
    EXPECT_EQ(summary.outcome, ImportOutcome::Success);
    EXPECT_EQ(summary.rowsInserted, 2u);
    ASSERT_EQ(summary.warnings.size(), 1u);
    EXPECT_TRUE(summary.warnings[0].starts_with("数据已提交")) << summary.warnings[0];
    EXPECT_EQ(db_->rows("Select Id From Staff Order By Id"), "7\n8\n");
}

}  // namespace
}  // namespace dovrel
