// Damaged and odd source files: broken encodings, NUL bytes, megabyte
// lines, stray carriage returns, headers without names, rows wider than the
// header. Each one gives a grid of valid UTF-8 or an error number, never a
// crash; what is read reaches the table unchanged.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "exchange/exchange.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "support/standin_database.h"
#include "support/temp_files.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kFffd = "\xEF\xBF\xBD";  // U+FFFD, for a byte that is no character
const std::string kBom = "\xEF\xBB\xBF";

std::string operator""_b(const char* text, std::size_t size) { return std::string(text, size); }

Rows cellsOf(const SourceGrid& grid) {
    Rows rows(grid.rows());
    for (std::size_t r = 0; r < grid.rows(); ++r)
        for (std::size_t c = 0; c < grid.columns(); ++c) rows[r].emplace_back(grid.cell(c, r));
    return rows;
}

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

struct OddFile {
    std::string what;
    std::string bytes;
    int error = 0;                 // the error number GetSourceData reports, 0 when it reads
    Rows cells;                    // what it reads
    int16_t check = 1;             // CheckSourceData without a server to ask (nothing to compare)
    std::string description = {};  // the error's description, when not the standard one
};

std::vector<OddFile> oddFiles() {
    const std::string megabyte(1 << 20, 'v');
    const std::string zhang = "\xD5\xC5";  // 张 in code page 936
    return {
        {"an empty file", "", err::InputPastEnd, {}, -1},
        {"a lone CR", "\r", err::DivisionByZero, {}, -1},
        {"a title and nothing else", "[T]\r", err::InputPastEnd, {}, -1},
        {"lone CRs end lines", "A\tB\r1\t2\r\r3", 0, {{"A", "B"}, {"1", "2"}, {"", ""}, {"3", ""}}},
        {"lone LFs are part of the line", "A\tB\n1\t2\r\n", 0, {{"A", "B\n1", "2"}}},
        {"LFs end lines in a file without CRs", "A\tB\n1\t2\n\n", 0, {{"A", "B"}, {"1", "2"}}},
        {"a header of only tabs", "\t\t\t\r\n1\t2\r\n", 0, {{"", "", ""}, {"1", "2", ""}}, -1},
        {"a header of one tab", "\t\r\n1\r\n", err::SubscriptOutOfRange, {}, -1},
        {"a header of blanks", "   \r\n1\r\n", err::SubscriptOutOfRange, {}},
        {"more fields than the header",
         "A\tB\r\n1\t2\r\n1\t2\t3\r\n",
         err::SubscriptOutOfRange,
         {},
         1,
         "第 3 行有 3 个值，比标题行的 2 个列名多"},
        {"invalid in UTF-8 and in GBK", "A\tB\r\n\xFFx\tz\x81\r\n", 0, {{"A", "B"}, {kFffd + "x", "z" + kFffd}}},
        {"a lead byte before a tab", "A\tB\r\n\x81\tq\r\n", 0, {{"A", "B"}, {kFffd, "q"}}},
        // Not UTF-8 (surrogates are not characters), so read as code page
        // 936, where these bytes are two characters.
        {"a lone surrogate in UTF-8",
         "A\tB\r\n\xED\xA0\x80\tq\r\n",
         0,
         {{"A", "B"}, {"\xE9\xA0\x8E\xE2\x82\xAC", "q"}}},
        {"a byte-order mark before invalid bytes", kBom + "A\tB\r\n\xFF\t\xC3\r\n", 0, {{"A", "B"}, {kFffd, kFffd}}},
        {"a byte-order mark before a lone surrogate",
         kBom + "A\tB\r\nx\xED\xA0\x80y\tq\r\n",
         0,
         {{"A", "B"}, {"x" + kFffd + kFffd + kFffd + "y", "q"}}},
        {"a byte-order mark before a cut character",
         kBom + "A\tB\r\n\xE5\xBC\tq\xE5\r\n",
         0,
         {{"A", "B"}, {kFffd + kFffd, "q" + kFffd}}},
        {"NUL bytes inside values", "A\tB\r\nx\0y\t\0\r\n"_b, 0, {{"A", "B"}, {"x\0y"_b, "\0"_b}}},
        {"a NUL byte in the header", "A\0\tB\r\n1\t2\r\n"_b, 0, {{"A\0"_b, "B"}, {"1", "2"}}},
        {"a line of 1 MB", "A\tB\r\n" + megabyte + "\tw\r\n", 0, {{"A", "B"}, {megabyte, "w"}}},
        {"a header name of 1 MB", megabyte + "\tB\r\n1\t2\r\n", 0, {{megabyte, "B"}, {"1", "2"}}},
        {"a line of 1 MB in code page 936 with one bad byte",
         "A\r\n" + repeat(zhang, 1 << 19) + "\xFF\r\n",
         0,
         {{"A"}, {repeat("张", 1 << 19) + kFffd}}},
    };
}

class SourceFileFaults : public ::testing::Test {
protected:
    void SetUp() override { platform::overrideCodePages(platform::CodePages{936, 936}); }
    void TearDown() override { platform::overrideCodePages(std::nullopt); }

    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
    test::TempFolder folder;
    Exchange exchange;
};

TEST_F(SourceFileFaults, EveryOddFileGivesAGridOfUtf8OrAnError) {
    int n = 0;
    for (const OddFile& odd : oddFiles()) {
        SCOPED_TRACE(odd.what);
        const std::string file = folder.write("odd" + std::to_string(++n) + ".txt", odd.bytes);
        const SourceGrid grid = exchange.GetSourceData(file, "T");
        if (odd.error) {
            EXPECT_TRUE(grid.empty());
            ASSERT_TRUE(grid.error());
            EXPECT_EQ(grid.error()->Number, odd.error);
            EXPECT_EQ(grid.error()->Description,
                      odd.description.empty() ? errorDescription(odd.error) : odd.description);
            continue;
        }
        ASSERT_FALSE(grid.error()) << grid.error()->Number << grid.error()->Description;
        const Rows cells = cellsOf(grid);
        for (const auto& row : cells)
            for (const std::string& cell : row) EXPECT_TRUE(platform::isValidUtf8(cell)) << cell.substr(0, 40);
        EXPECT_EQ(cells, odd.cells);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SourceFileFaults, TheColumnCheckAnswersEveryOddFile) {
    // Without a server the table cannot be queried and nothing is compared:
    // a header the check can read passes, one it cannot gives -1.
    int n = 0;
    for (const OddFile& odd : oddFiles()) {
        SCOPED_TRACE(odd.what);
        std::string rt;
        const std::string file = folder.write("check" + std::to_string(++n) + ".txt", odd.bytes);
        EXPECT_EQ(exchange.CheckSourceData(file, "T", rt), odd.check);
        EXPECT_EQ(rt, "");
    }
    // Files without a header line, and a header of only tabs, which holds
    // the empty name twice, are shown as messages.
    std::vector<std::string> shown;
    for (const Message& message : messages.shown) shown.push_back(message.text);
    const std::string pastEnd = std::to_string(err::InputPastEnd) + errorDescription(err::InputPastEnd);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         pastEnd, pastEnd, std::to_string(err::DuplicateKey) + errorDescription(err::DuplicateKey)}));
}

// What is read is what the table receives, byte for byte, or the import
// reports why not.
class SourceFileImport : public SourceFileFaults {
protected:
    static void SetUpTestSuite() {
        db_ = new test::StandinDatabase("OddFiles");
        ready_ = db_->start() && db_->sql("Create Table Odd (Id int not null, V nvarchar(max) null)");
    }
    static void TearDownTestSuite() {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override {
        SourceFileFaults::SetUp();
        ASSERT_TRUE(ready_) << db_->error();
    }

    // Imports `bytes` over the table's rows and returns the report.
    std::string import(const std::string& bytes) {
        return exchange.ImportTable(folder.write("import" + std::to_string(++files_) + ".txt", bytes), "Odd",
                                    ImportOptions{.CanDelete = 1, .ConnectStr = db_->connectStr()});
    }
    // The table as the file's grid says it should be.
    std::string expectedRows(const std::string& bytes) {
        const SourceGrid grid = exchange.GetSourceData(folder.write("expected.txt", bytes), "T");
        std::string out;
        for (std::size_t r = 1; r < grid.rows(); ++r)
            out += std::string(grid.cell(0, r)) + "|" + std::string(grid.cell(1, r)) + "\n";
        return out;
    }

    static inline test::StandinDatabase* db_ = nullptr;
    static inline bool ready_ = false;
    int files_ = 0;
};

TEST_F(SourceFileImport, OddValuesArriveUnchanged) {
    const std::string header = "Id\tV\r\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"UTF-8 with quotes, brackets and a megabyte",
         header + "1\tO'Neil'); Drop Table Odd --\r\n2\t\xF0\x9F\x98\x80 ]\\\r\n3\t" + std::string(1 << 20, 'm') +
             "\r\n"},
        {"code page 936 with bytes it cannot read", header + "1\t\xFFx\r\n2\t\xED\xA0\x80\r\n3\t\xD5\xC5\x81\r\n"},
        {"a byte-order mark before invalid bytes", kBom + header + "1\t\xFF\r\n2\tq\xED\xA0\x80\r\n"},
    };
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        EXPECT_EQ(import(bytes), "");
        const std::string expected = expectedRows(bytes);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(db_->rows("Select Id, V From Odd Order By Id"), expected);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SourceFileImport, UnreadableFilesAreReportedAndChangeNothing) {
    ASSERT_EQ(import("Id\tV\r\n7\tkept\r\n"), "");
    const std::string kept = "7|kept\n";
    const std::string mismatch = "数据表字段不匹配";
    const std::string subscript = std::to_string(err::SubscriptOutOfRange) + "第 3 行有 3 个值，比标题行的 2 个列名多";
    // A row wider than the header: the read fails after the check passed.
    EXPECT_EQ(import("Id\tV\r\n1\ta\r\n2\tb\tc\r\n"), subscript + "\r\n");
    // The driver cuts a statement at a NUL character, so a value holding one
    // cannot be sent: its batch is refused and reported, nothing is written.
    const std::string withNul = "Id\tV\r\n1\tx\0y\r\n"_b;
    const std::string refused =
        "更新数据库存失败，请重新导入文件！\r\nInsert Into Odd ([Id],[V]) Values (1,N'x\0y')\r\n"_b;
    EXPECT_EQ(import(withNul).substr(0, refused.size()), refused);
    // No header the check can use.
    EXPECT_EQ(import(""), mismatch + "\r\n");
    EXPECT_EQ(import("\r"), mismatch + "\r\n");
    EXPECT_EQ(import("\t\t\r\n1\t2\r\n"), mismatch + "\r\n");
    // Header names the table lacks.
    EXPECT_EQ(import("Id\0\tV\r\n1\t2\r\n"_b), mismatch + "Id\0在资料表里找不到 — OddId在资料表里多出 — Odd\r\n"_b);
    EXPECT_EQ(db_->rows("Select Id, V From Odd"), kept);
    // The empty file and the duplicate empty names were shown as messages.
    EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
}  // namespace dovrel
