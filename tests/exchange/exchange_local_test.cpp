// The Exchange class and its helpers where no server is needed: results for
// missing files and bad headers, messages, keyed collections, column kinds,
// and the failure paths of the database helpers without a usable connection.
#include <gtest/gtest.h>

#include "db/ado.h"
#include "exchange/detail/column_utilities.h"
#include "exchange/detail/convert_text.h"
#include "exchange/detail/triggers.h"
#include "exchange/exchange.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using namespace exchange::detail;

const std::string kMismatch = "数据表字段不匹配";

class ExchangeLocal : public ::testing::Test {
protected:
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
    test::TempFolder folder;
    Exchange exchange;
};

TEST_F(ExchangeLocal, OnlyOneEnablesTriggerHandling) {
    EXPECT_EQ(exchange.IntDropTrigger(), 0);
    exchange.SetIntDropTrigger(1);
    EXPECT_EQ(exchange.IntDropTrigger(), 1);
    exchange.SetIntDropTrigger(-1);
    EXPECT_EQ(exchange.IntDropTrigger(), -1);
}

TEST_F(ExchangeLocal, CheckSourceDataWithoutFileOrTable) {
    std::string rt = "kept";
    EXPECT_EQ(exchange.CheckSourceData(folder.path("absent.txt"), "T", rt), -1);
    EXPECT_EQ(exchange.CheckSourceData(folder.write("a.txt", "A\r\n"), "", rt), -1);
    EXPECT_EQ(rt, "kept");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ExchangeLocal, CheckSourceDataShowsDuplicateNamesAndReadErrors) {
    std::string rt;
    EXPECT_EQ(exchange.CheckSourceData(folder.write("dup.txt", "Name\tname\r\n1\t2\r\n"), "T", rt), -1);
    // The looser title test: a first line beginning with "[" is skipped even without "]".
    EXPECT_EQ(exchange.CheckSourceData(folder.write("dup2.txt", "[Staff\r\nA\tB\tA\r\n"), "T", rt), -1);
    EXPECT_EQ(exchange.CheckSourceData(folder.write("empty.txt", ""), "T", rt), -1);
    ASSERT_EQ(messages.shown.size(), 3u);
    const std::string duplicate = std::to_string(err::DuplicateKey) + errorDescription(err::DuplicateKey);
    EXPECT_EQ(messages.shown[0].text, duplicate);
    EXPECT_EQ(messages.shown[1].text, duplicate);
    EXPECT_EQ(messages.shown[2].text, std::to_string(err::InputPastEnd) + errorDescription(err::InputPastEnd));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].title, kAppTitle);
    EXPECT_EQ(rt, "");
}

TEST_F(ExchangeLocal, CheckSourceDataEmptyHeaderIsMinusOneWithoutMessage) {
    std::string rt;
    EXPECT_EQ(exchange.CheckSourceData(folder.write("e1.txt", "\r\nA\r\n"), "T", rt), -1);
    EXPECT_EQ(exchange.CheckSourceData(folder.write("e2.txt", "[T]\r\n\t\r\n"), "T", rt), -1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ExchangeLocal, CheckSourceDataWithoutAReachableTableComparesNothing) {
    const std::string file = folder.write("ok.txt", "Name\tAge\r\n");
    std::string rt;
    EXPECT_EQ(exchange.CheckSourceData(file, "T", rt), 1);
    EXPECT_EQ(rt, "");
    rt = "earlier";
    EXPECT_EQ(exchange.CheckSourceData(file, "T", rt), -1);
    EXPECT_EQ(rt, "earlier");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ExchangeLocal, ImportRefusedOrFailedComesBackAsText) {
    EXPECT_EQ(exchange.ImportTable(folder.path("absent.txt"), "T"), kMismatch + "\r\n");
    EXPECT_EQ(exchange.ImportTable(folder.write("dup.txt", "A\ta\r\n"), "T"), kMismatch + "\r\n");
    // Only a file and a table: no connection string, so the probe of the
    // table fails and its error is the report.
    const std::string report = exchange.ImportTable(folder.write("ok.txt", "A\r\n1\r\n"), "T");
    ASSERT_FALSE(report.empty());
    EXPECT_NE(report.find_first_of("-0123456789"), std::string::npos);
    EXPECT_TRUE(report.front() == '-' || (report.front() >= '0' && report.front() <= '9')) << report;
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    // A read error is the report too, before any connection is made.
    EXPECT_EQ(exchange.ImportTable(folder.write("wide.txt", "A\r\n1\t2\r\n"), "T"),
              std::to_string(err::SubscriptOutOfRange) + "第 2 行有 2 个值，比标题行的 1 个列名多\r\n");
}

TEST_F(ExchangeLocal, ReportTextsPassThroughTheHostsLocalizer) {
    exchange.SetLocalizer([](const std::string& text) { return "<" + text + ">"; });
    EXPECT_EQ(exchange.ImportTable(folder.path("absent.txt"), "T"), "<" + kMismatch + ">\r\n");
}

TEST_F(ExchangeLocal, GetSourceDataReportsReadErrorsInTheGrid) {
    EXPECT_TRUE(exchange.GetSourceData(folder.path("absent.txt"), "T").empty());
    EXPECT_FALSE(exchange.GetSourceData(folder.path("absent.txt"), "T").error());
    SourceGrid failed = exchange.GetSourceData(folder.write("wide.txt", "A\r\n1\t2\r\n"), "T");
    EXPECT_TRUE(failed.empty());
    ASSERT_TRUE(failed.error());
    EXPECT_EQ(failed.error()->Number, err::SubscriptOutOfRange);
    EXPECT_EQ(failed.error()->Description, "第 2 行有 2 个值，比标题行的 1 个列名多");
    SourceGrid grid = exchange.GetSourceData(folder.write("ok.txt", "A\tB\r\n1\t2\r\n"), "T", true, "", "C", "1");
    EXPECT_EQ(grid.rows(), 2u);
    EXPECT_EQ(grid.cell(1, 1), "2");
}

class CountingEvents : public ExchangeEvents {
public:
    void AfterGetSourceDataARow(int32_t, int32_t ReadSize) override { last = ReadSize, ++count; }
    int count = 0;
    int32_t last = 0;
};

TEST_F(ExchangeLocal, AttachedSinkReceivesReadEvents) {
    const std::string file = folder.write("ok.txt", "A\r\n1\r\n2\r\n3\r\n");
    CountingEvents events;
    exchange.SetEvents(&events);
    exchange.GetSourceData(file, "T");
    EXPECT_EQ(events.count, 3);
    EXPECT_EQ(events.last, 3);
    exchange.SetEvents(nullptr);
    exchange.GetSourceData(file, "T");
    EXPECT_EQ(events.count, 3);
}

TEST_F(ExchangeLocal, KeyedCollectionsOfTexts) {
    TextCollection names;
    names.Add("Name", "Name");
    names.Add("Age", "Age");
    EXPECT_TRUE(exchange.MemExistVal(names, "NAME"));
    EXPECT_TRUE(exchange.MemExistVal(names, "age"));
    EXPECT_FALSE(exchange.MemExistVal(names, "Dept"));
    EXPECT_FALSE(exchange.MemExist(names, "Name"));  // a text is no object
    try {
        names.Add("nAmE", "x");
        ADD_FAILURE() << "a duplicate key was accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::DuplicateKey);
    }
    EXPECT_EQ(names.Items(), (std::vector<std::string>{"Name", "Age"}));
}

TEST(ExchangeHelpers, FieldKindByAdoType) {
    for (int type : {8, 129, 130, 200, 201, 202, 203}) EXPECT_EQ(FieldKind(type), 1) << type;
    for (int type : {7, 133, 134, 135}) EXPECT_EQ(FieldKind(type), 2) << type;
    for (int type : {2, 3, 4, 5, 6, 11, 14, 16, 17, 18, 19, 20, 21, 131}) EXPECT_EQ(FieldKind(type), 3) << type;
    for (int type : {0, 12, 72, 128, 204, 205, 1, 9, 132}) EXPECT_EQ(FieldKind(type), 4) << type;
    EXPECT_EQ(FieldKind(ado::Field("Active", ado::adBoolean, ado::adFldIsNullable)), 3);
}

TEST(ExchangeHelpers, NothingRunsWithoutConnectionOrName) {
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scoped(messages);
    EXPECT_FALSE(ExecuteSql(nullptr, "Delete From T"));
    EXPECT_EQ(ListTriggers(nullptr, "T", "\t"), "");
    EXPECT_EQ(TriggerText(nullptr, "trg"), "");
    ado::Connection closed;  // never opened: an empty name must not reach it
    EXPECT_EQ(ListTriggers(&closed, "", "\t"), "");
    EXPECT_EQ(TriggerText(&closed, ""), "");
    EXPECT_TRUE(messages.shown.empty());
    // On a connection that is not open, the statement fails.
    EXPECT_TRUE(ExecuteSql(&closed, "Delete From T"));
}

TEST(ExchangeHelpers, LookupsWithoutAServerGiveMinusOneQuietly) {
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scoped(messages);
    EXPECT_EQ(ColumnKind("", "T", "A"), -1);
    std::optional<ErrorReport> failure;
    EXPECT_EQ(NextValue("T", "A", "", &failure), -1);
    EXPECT_TRUE(failure.has_value());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ExchangeHelpers, ConvertTextLeavesTextAlone) {
    EXPECT_EQ(ConvertText("張三 abc", true), "張三 abc");
    EXPECT_EQ(ConvertText("张三 abc", false), "张三 abc");
}

}  // namespace
}  // namespace dovrel
