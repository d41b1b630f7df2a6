// One bad row at a random place of a load: the server refuses its batch,
// the whole import is rolled back, and the report names exactly that batch.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "exchange/exchange.h"
#include "platform/messages.h"
#include "support/standin_database.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

constexpr int kRows = 1050;  // ten full batches and a last one of 50 rows
const std::string kUpdateFailed = "更新数据库存失败，请重新导入文件！";
const char* const kContents = "Select Id, Qty, Score, Name, Note From BadRows Order By Id";

// The ways a row can be refused by the server.
enum class Fault {
    TextInIntColumn,  // writes no value: too few values for the columns
    NullIntoNotNull,  // an empty number where the column at its position allows NULL, but its own does not
    TextTooLong,      // longer than the column holds
    DuplicateKey,     // the key of a row the table already has
};

const char* nameOf(Fault fault) {
    switch (fault) {
    case Fault::TextInIntColumn: return "text in an int column";
    case Fault::NullIntoNotNull: return "NULL into NOT NULL";
    case Fault::TextTooLong: return "text too long";
    case Fault::DuplicateKey: return "duplicate key";
    }
    return "";
}

// Rows Id, Qty, Score, Name, Note; every row's name ("row<r>") is unique,
// so each statement of a report can be told apart.
std::string sourceText(int badRow, Fault fault) {
    std::string text = "Id\tQty\tScore\tName\tNote\r\n";
    for (int r = 1; r <= kRows; ++r) {
        std::string id = std::to_string(1000 + r), qty = std::to_string(r), score = r % 3 ? std::to_string(r % 7) : "";
        std::string note = "ok";
        if (r == badRow) {
            switch (fault) {
            case Fault::TextInIntColumn: score = "abc"; break;
            case Fault::NullIntoNotNull: qty = ""; break;
            case Fault::TextTooLong: note = "eleven long"; break;
            case Fault::DuplicateKey: id = "3"; break;
            }
        }
        text += id + "\t" + qty + "\t" + score + "\trow" + std::to_string(r) + "\t" + note + "\r\n";
    }
    return text;
}

std::vector<std::string> statementsOf(const std::string& batch) {
    std::vector<std::string> statements;
    for (std::size_t begin = 0; begin < batch.size();) {
        std::size_t end = batch.find("\r\n", begin);
        if (end == std::string::npos) {
            statements.push_back(batch.substr(begin) + "<no line end>");
            break;
        }
        statements.push_back(batch.substr(begin, end - begin));
        begin = end + 2;
    }
    return statements;
}

class BatchEvents : public ExchangeEvents {
public:
    void AfterImportARow(int32_t, int32_t CurrentRow) override { rows.push_back(CurrentRow); }
    std::vector<int32_t> rows;
};

TEST(BadRow, TheFailedBatchIsReportedAndNothingIsKept) {
    test::StandinDatabase db("BadRowDb");
    ASSERT_TRUE(db.start()) << db.error();
    // The table's second column allows NULL, the file's second (Qty) does not.
    ASSERT_TRUE(
        db.sql("Create Table BadRows (Id int primary key, Score int null, Qty int not null, "
               "Name nvarchar(20) not null, Note nvarchar(10) null)\ngo\n"
               "Insert Into BadRows Values (1, null, 10, N'first', N'a')\ngo\n"
               "Insert Into BadRows Values (3, 7, 30, N'third', null)"))
        << db.error();
    const std::string before = db.rows(kContents);
    ASSERT_EQ(before, "1|10|NULL|first|a\n3|30|7|third|NULL\n");

    test::TempFolder folder;
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages(messages);
    std::mt19937 random(1234567);
    const Fault faults[] = {Fault::TextInIntColumn, Fault::NullIntoNotNull, Fault::TextTooLong, Fault::DuplicateKey};

    for (int round = 0; round < 10; ++round) {
        const Fault fault = faults[round % 4];
        // The last round puts the row into the short last batch, which is
        // sent after the loop and without an event.
        const int badRow =
            round == 9 ? kRows - static_cast<int>(random() % 50) : 1 + static_cast<int>(random() % kRows);
        const int first = (badRow - 1) / 100 * 100 + 1;
        const int last = std::min(first + 99, kRows);
        SCOPED_TRACE(std::string(nameOf(fault)) + " in row " + std::to_string(badRow));

        BatchEvents events;
        Exchange exchange;
        exchange.SetEvents(&events);
        const std::string file = folder.write("bad" + std::to_string(round) + ".txt", sourceText(badRow, fault));
        const std::string report = exchange.ImportTable(file, "BadRows", ImportOptions{.ConnectStr = db.connectStr()});

        const std::string head = kUpdateFailed + "\r\n";
        ASSERT_EQ(report.substr(0, head.size()), head) << report.substr(0, 300);
        // After the batch: the server's message and the batch's first line in the file.
        const std::size_t server = report.find("服务器的消息：");
        ASSERT_NE(server, std::string::npos) << report.substr(0, 300);
        EXPECT_TRUE(report.ends_with("这一批从文件的第 " + std::to_string(first + 1) + " 行开始。\r\n"));
        const std::vector<std::string> statements = statementsOf(report.substr(head.size(), server - head.size()));
        ASSERT_EQ(statements.size(), static_cast<std::size_t>(last - first + 1));
        const std::string prefix = "Insert Into BadRows ([Id],[Qty],[Score],[Name],[Note]) Values (";
        for (std::size_t s = 0; s < statements.size(); ++s) {
            const int row = first + static_cast<int>(s);
            EXPECT_EQ(statements[s].substr(0, prefix.size()), prefix) << statements[s];
            EXPECT_NE(statements[s].find(",N'row" + std::to_string(row) + "',"), std::string::npos)
                << "statement " << s << " of the batch should be row " << row << ": " << statements[s];
        }
        const std::string& bad = statements[static_cast<std::size_t>(badRow - first)];
        switch (fault) {
        case Fault::TextInIntColumn: EXPECT_EQ(bad.find("abc"), std::string::npos) << bad; break;
        case Fault::NullIntoNotNull:
            EXPECT_EQ(bad.substr(prefix.size(), 10), std::to_string(1000 + badRow) + ",Null,");
            break;
        case Fault::TextTooLong: EXPECT_NE(bad.find("N'eleven long'"), std::string::npos) << bad; break;
        case Fault::DuplicateKey: EXPECT_EQ(bad.substr(prefix.size(), 2), "3,") << bad; break;
        }
        // One event per full batch up to the failed one; none for the short last batch.
        EXPECT_EQ(events.rows.size(), static_cast<std::size_t>(std::min(last, kRows / 100 * 100) / 100));
        EXPECT_EQ(db.rows(kContents), before);
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace dovrel
