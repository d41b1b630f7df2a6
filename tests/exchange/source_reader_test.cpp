// Reading source files into grids: format, key filter, events, errors and
// decoding, without a server (the key column's kind is given directly).
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "exchange/detail/encoding_guess.h"
#include "exchange/detail/refusal.h"
#include "exchange/detail/source_reader.h"
#include "exchange/detail/source_text.h"
#include "platform/codepage.h"
#include "platform/runtime_error.h"
#include "support/temp_files.h"

namespace dovrel::exchange::detail {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Events = std::vector<std::pair<int32_t, int32_t>>;

class RecordingEvents : public ExchangeEvents {
public:
    void AfterGetSourceDataARow(int32_t TotalSize, int32_t ReadSize) override {
        read.emplace_back(TotalSize, ReadSize);
    }
    void AfterImportARow(int32_t, int32_t) override { ++other; }
    void AfterExportTableARow(int32_t, int32_t) override { ++other; }
    Events read;
    int other = 0;
};

Rows cellsOf(const SourceGrid& grid) {
    Rows rows(grid.rows());
    for (std::size_t r = 0; r < grid.rows(); ++r)
        for (std::size_t c = 0; c < grid.columns(); ++c) rows[r].emplace_back(grid.cell(c, r));
    return rows;
}

class SourceReader : public ::testing::Test {
protected:
    void SetUp() override { platform::overrideCodePages(platform::CodePages{936, 936}); }
    void TearDown() override { platform::overrideCodePages(std::nullopt); }

    SourceGrid read(const std::string& bytes, SourceReadOptions options = {}, const std::string& name = "source.txt") {
        options.events = &events;
        return readSourceData(folder.write(name, bytes), "T", options);
    }
    Rows rows(const std::string& bytes, SourceReadOptions options = {}) { return cellsOf(read(bytes, options)); }
    int errorNumber(const std::string& bytes, SourceReadOptions options = {}) {
        try {
            read(bytes, options);
        } catch (const RuntimeError& e) {
            return e.number();
        }
        return 0;
    }
    static SourceReadOptions filter(const std::string& field, const std::string& keys, int16_t kind) {
        SourceReadOptions options;
        options.keyField = field;
        options.keyValue = keys;
        options.keyKind = [kind] { return kind; };
        return options;
    }

    test::TempFolder folder;
    RecordingEvents events;
};

TEST_F(SourceReader, TitleHeaderAndDataLines) {
    EXPECT_EQ(rows("[Staff]\r\nA\tB\r\n1\t2\r\n"), (Rows{{"A", "B"}, {"1", "2"}}));
    EXPECT_EQ(rows("[Staff\r\nA\r\n"), (Rows{{"[Staff"}, {"A"}}));
    EXPECT_EQ(rows("A\tB\t\r\n1\t2\t\r\n"), (Rows{{"A", "B"}, {"1", "2"}}));
    EXPECT_EQ(rows(" A\tB \r\n x\ty \r\n"), (Rows{{"A", "B"}, {" x", "y "}}));
    EXPECT_EQ(rows("A\tB\tC\r\n1\t\t3\r\n1\r\n\r\nx\ty\tz"),
              (Rows{{"A", "B", "C"}, {"1", "", "3"}, {"1", "", ""}, {"", "", ""}, {"x", "y", "z"}}));
    // Consecutive tabs in the header give empty names; only one trailing tab goes.
    EXPECT_EQ(rows("A\t\tB\t\t\r\n"), (Rows{{"A", "", "B", ""}}));
    EXPECT_EQ(events.read.size(), 8u);
    EXPECT_EQ(events.other, 0);
}

TEST_F(SourceReader, LinesEndAtCarriageReturns) {
    // CR LF and a lone CR end a line; a lone LF belongs to the line.
    EXPECT_EQ(rows("A\tB\r1\t2\r\n3\t4\n5\r\n"), (Rows{{"A", "B"}, {"1", "2"}, {"3", "4\n5"}}));
    EXPECT_EQ(rows("A\r\r\nx"), (Rows{{"A"}, {""}, {"x"}}));
}

TEST_F(SourceReader, HeaderOnlyGivesTheNamesAndNoEvent) {
    SourceGrid grid = read("Name\tAge\r\n");
    EXPECT_EQ(grid.rows(), 1u);
    EXPECT_EQ(grid.dataRows(), 0u);
    EXPECT_EQ(grid.columns(), 2u);
    EXPECT_TRUE(events.read.empty());
    EXPECT_FALSE(grid.error());
}

TEST_F(SourceReader, CellsOutsideTheGridReadEmpty) {
    SourceGrid grid = read("A\tB\r\n1\r\n");
    std::vector<std::string_view> cells{"stale"};
    grid.rowCells(1, cells);
    EXPECT_EQ(cells, (std::vector<std::string_view>{"1", ""}));
    EXPECT_EQ(grid.cell(2, 1), "");
    EXPECT_EQ(grid.cell(0, 2), "");
    grid.rowCells(5, cells);
    EXPECT_EQ(cells, (std::vector<std::string_view>{"", ""}));
}

TEST_F(SourceReader, EventsCarryTheEstimateAndTheRowBeingFilled) {
    // Estimate = file bytes / header bytes, rounded half to even.
    read("ABCD\r\nxy\r\n");                   // 10 / 4 = 2.5
    read("ABCD\r\nxyzabc\r\n");               // 14 / 4 = 3.5
    read("AB\r\n1\r\n2\r\n3\r\n4\r\n5\r\n");  // 19 / 2 = 9.5
    EXPECT_EQ(events.read, (Events{{2, 1}, {4, 1}, {10, 1}, {10, 2}, {10, 3}, {10, 4}, {10, 5}}));
}

TEST_F(SourceReader, HeaderSizeCountsAnsiBytes) {
    // 姓名<tab>年龄 is 13 bytes of UTF-8 but 9 of code page 936.
    const std::string file = "姓名\t年龄\r\n张三\t30\r\n";
    read(file);
    ASSERT_EQ(events.read.size(), 1u);
    EXPECT_EQ(events.read[0].first, static_cast<int32_t>(static_cast<double>(file.size()) / 9.0 + 0.5));
}

TEST_F(SourceReader, NumericKeyFilter) {
    SourceReadOptions options = filter("Id", "1,2", 3);
    EXPECT_EQ(rows("Id\tName\r\n1\ta\r\n12\tb\r\n2\tc\r\n", options), (Rows{{"Id", "Name"}, {"1", "a"}, {"2", "c"}}));
    // The dropped line still raises its event; the row number waits for the next accepted line.
    EXPECT_EQ(events.read, (Events{{4, 1}, {4, 2}, {4, 2}}));  // 25 bytes / 7
}

TEST_F(SourceReader, KeyValueIsTakenFromItsOwnColumn) {
    EXPECT_EQ(rows("A\tId\tB\r\nx\t1\ty\r\n1\t3\t1\r\nz\t1\t\r\n2\t2\r\n", filter("Id", "1", 3)),
              (Rows{{"A", "Id", "B"}, {"x", "1", "y"}, {"z", "1", ""}}));
    EXPECT_EQ(rows("Id\tB\r\n1\r\n1\t\r\n11\t1\r\n", filter("Id", "1", 3)), (Rows{{"Id", "B"}, {"1", ""}, {"1", ""}}));
}

TEST_F(SourceReader, TextKeyFilterIsCaseSensitive) {
    EXPECT_EQ(rows("K\r\nA1\r\na1\r\nB2\r\n'A1'\r\n", filter("K", "'A1','B2'", 1)), (Rows{{"K"}, {"A1"}, {"B2"}}));
}

TEST_F(SourceReader, OtherKeyKindsMatchSubstrings) {
    EXPECT_EQ(rows("K\tV\r\n3\ta\r\n4\tb\r\n\tc\r\n13\td\r\n", filter("K", "13", 4)),
              (Rows{{"K", "V"}, {"3", "a"}, {"", "c"}, {"13", "d"}}));
    // A column whose kind could not be learnt (-1) falls under the same rule.
    EXPECT_EQ(rows("K\r\n3\r\n4\r\n", filter("K", "13", -1)), (Rows{{"K"}, {"3"}}));
}

TEST_F(SourceReader, FilterNeedsAKeyFieldThatNamesAHeaderColumn) {
    int asked = 0;
    SourceReadOptions options = filter("id", "1", 3);  // the header says Id: no filter
    options.keyKind = [&] { return ++asked, int16_t{3}; };
    EXPECT_EQ(rows("Id\r\n1\r\n2\r\n", options).size(), 3u);
    options.keyField = "";
    EXPECT_EQ(rows("Id\r\n1\r\n2\r\n", options).size(), 3u);
    options.keyField = "Id";
    options.keyValue = "";
    EXPECT_EQ(rows("Id\r\n1\r\n2\r\n", options).size(), 3u);
    EXPECT_EQ(asked, 0);
    options.keyValue = "2";
    EXPECT_EQ(rows("Id\r\n1\r\n2\r\n", options), (Rows{{"Id"}, {"2"}}));
    EXPECT_EQ(asked, 1);
}

TEST_F(SourceReader, FailuresEndTheReadWithTheirErrorNumbers) {
    EXPECT_EQ(errorNumber(""), err::InputPastEnd);
    EXPECT_EQ(errorNumber("[Title]"), err::InputPastEnd);
    EXPECT_EQ(errorNumber("\r\n1\r\n"), err::DivisionByZero);                 // a header of 0 bytes
    EXPECT_EQ(errorNumber("  \t\r\n1\r\n"), err::SubscriptOutOfRange);        // no names left
    EXPECT_EQ(errorNumber("A\tB\r\n1\t2\t3\r\n"), err::SubscriptOutOfRange);  // more values than names
    EXPECT_EQ(errorNumber("A\tB\r\n1\t2\t\r\n"), 0);                          // one trailing tab is no value
    // With the filter on, a line without the key value fails, an empty one too...
    EXPECT_EQ(errorNumber("A\tK\r\n1\r\n", filter("K", "1", 3)), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber("A\tK\r\n\r\n1\t1\r\n", filter("K", "1", 3)), err::SubscriptOutOfRange);
    // ...while a dropped line may carry any number of values.
    EXPECT_EQ(errorNumber("K\r\n2\t9\t9\r\n1\r\n", filter("K", "1", 3)), 0);
}

TEST_F(SourceReader, MissingFilesAndEmptyTableNamesGiveAnEmptyGrid) {
    EXPECT_TRUE(readSourceData(folder.path("absent.txt"), "T", {}).empty());
    EXPECT_TRUE(readSourceData(folder.write("present.txt", "A\r\n1\r\n"), "", {}).empty());
    EXPECT_TRUE(readSourceData(folder.write(".hidden.txt", "A\r\n1\r\n"), "T", {}).empty());
    std::filesystem::create_directory(folder.path("folder"));
    EXPECT_TRUE(readSourceData(folder.path("folder"), "T", {}).empty());
    EXPECT_FALSE(readSourceData(folder.path("present.txt"), "T", {}).empty());
}

TEST_F(SourceReader, AnyFileNameIsReadAsTabSeparatedText) {
    EXPECT_EQ(cellsOf(read("A\tB\r\n1\t2\r\n", {}, "book.Xls")), (Rows{{"A", "B"}, {"1", "2"}}));
}

TEST_F(SourceReader, ToBig5ReturnsTheSameGrid) {
    const std::string file = "[T]\r\n 名\tB \r\n张三\t2\r\n";
    SourceReadOptions big5;
    big5.toBig5 = true;
    EXPECT_EQ(rows(file, big5), rows(file));
}

TEST_F(SourceReader, DecodesUtf8WithOrWithoutMarkAndAnsiOtherwise) {
    const Rows expected{{"姓名", "年龄"}, {"张三", "30"}};
    EXPECT_EQ(rows("\xEF\xBB\xBF姓名\t年龄\r\n张三\t30\r\n"), expected);
    EXPECT_EQ(rows("姓名\t年龄\r\n张三\t30\r\n"), expected);
    EXPECT_EQ(rows("\xD0\xD5\xC3\xFB\t\xC4\xEA\xC1\xE4\r\n\xD5\xC5\xC8\xFD\t30\r\n"), expected);
    // A mark before a title line: the title is still recognised.
    EXPECT_EQ(rows("\xEF\xBB\xBF[T]\r\nA\r\n1\r\n"), (Rows{{"A"}, {"1"}}));
    // Bytes the code page cannot read become U+FFFD; the rest of the line survives.
    EXPECT_EQ(rows("A\tB\r\n\xD5\xC5\xC8\xFD\t\xFF\r\n"), (Rows{{"A", "B"}, {"张三", "\xEF\xBF\xBD"}}));
}

TEST_F(SourceReader, ReadsMoreRowsThanASixteenBitCounterHolds) {
    std::string file = "[Big]\r\nId\tName\r\n";
    const int count = 40000;
    for (int i = 1; i <= count; ++i) file += std::to_string(i) + "\tname" + std::to_string(i) + "\r\n";
    SourceGrid grid = read(file);
    ASSERT_EQ(grid.dataRows(), static_cast<std::size_t>(count));
    EXPECT_EQ(grid.cell(0, 32767), "32767");
    EXPECT_EQ(grid.cell(1, count), "name40000");
    EXPECT_EQ(events.read.back().second, count);
}

TEST_F(SourceReader, TheFileIsClosedOnEveryPath) {
    const int before = test::openFileCount();
    EXPECT_EQ(errorNumber("A\r\n1\t2\r\n"), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber("\r\n"), err::DivisionByZero);
    read("A\r\n1\r\n");
    EXPECT_EQ(readLeadingLines(folder.write("h.txt", "A\r\nB\r\nC\r\n"), 2), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(test::openFileCount(), before);
}

TEST(SourceText, LeadingLinesDecodeLikeTheWholeFile) {
    platform::overrideCodePages(platform::CodePages{936, 936});
    test::TempFolder folder;
    // The header is valid UTF-8 but a later line is not: the file is ANSI.
    const std::string gbkName = "\xD5\xC5\xC8\xFD";  // 张三 in code page 936
    std::string file = "\xE5\xBC\xA0\r\n" + std::string(200000, 'x') + "\r\n" + gbkName + "\r\n";
    auto lines = readLeadingLines(folder.write("mixed.txt", file), 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0], "张");
    EXPECT_EQ(loadSourceText(folder.path("mixed.txt")).text.substr(0, lines[0].size()), lines[0]);
    // Valid UTF-8 throughout (a character across the reading chunks included).
    std::string utf8 = "张\r\n" + std::string(65530, 'y') + "三\r\n";
    EXPECT_EQ(readLeadingLines(folder.write("utf8.txt", utf8), 1), std::vector<std::string>{"张"});
    platform::overrideCodePages(std::nullopt);
}

std::string dataFile(const std::string& name) {
    return std::string(DOVREL_SOURCE_DIR) + "/tests/exchange/data/" + name;
}

TEST_F(SourceReader, LinesEndAtLineFeedsInAFileWithoutCarriageReturns) {
    EXPECT_EQ(cellsOf(readSourceData(dataFile("lf_only.txt"), "T", {})),
              (Rows{{"Id", "Name"}, {"1", "王五"}, {"2", "b"}}));
    // One carriage return anywhere keeps the carriage-return rule for the whole file.
    EXPECT_EQ(rows("A\tB\n1\t2\r\n"), (Rows{{"A", "B\n1", "2"}}));
    SourceGrid grid = read("[T]\nA\tB\n1\t2\n\n3\n");
    EXPECT_EQ(cellsOf(grid), (Rows{{"A", "B"}, {"1", "2"}, {"", ""}, {"3", ""}}));
    EXPECT_EQ(grid.lineNumber(0), 2u);
    EXPECT_EQ(grid.lineNumber(3), 5u);
    EXPECT_EQ(grid.lineNumber(1), 3u);
}

TEST_F(SourceReader, EmptyLinesAtTheEndAreNoDataRows) {
    for (const char* file :
         {"A\r\n1\r\n\r\n", "A\r\n1\r\n\r\n\r\n\r\n", "A\r\n1\r\r", "A\n1\n\n\n", "A\r\n1\r\n\r\n\n"}) {
        events.read.clear();
        EXPECT_EQ(rows(file), (Rows{{"A"}, {"1"}})) << file;
        EXPECT_EQ(events.read.size(), 1u) << file;
    }
    EXPECT_EQ(rows("A\r\n\r\n1\r\n\r\n"), (Rows{{"A"}, {""}, {"1"}}));
    // With the filter on, an empty last line is no line without a key.
    EXPECT_EQ(errorNumber("K\r\n1\r\n\r\n", filter("K", "1", 3)), 0);
}

TEST_F(SourceReader, WideLinesAreReportedWithTheirLineAndCounts) {
    try {
        read("[T]\r\nA\tB\r\n1\t2\r\n1\t2\t3\r\n");
        ADD_FAILURE() << "a line wider than the header was read";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::SubscriptOutOfRange);
        EXPECT_EQ(e.description(), "第 4 行有 3 个值，比标题行的 2 个列名多");
    }
}

TEST_F(SourceReader, DecodesByNameMarkOrTheBytesThemselves) {
    const Rows names{{"Id", "Name", "Born"}, {"1", "张三", "2001年2月3日"}, {"2", "李四", "2001/2/3 10:00"}};
    EXPECT_EQ(cellsOf(readSourceData(dataFile("utf16le_bom.txt"), "T", {})), names);
    std::u16string text = u"A\tB\r\n张\t三\r\n";
    std::string bigEndian = "\xFE\xFF";
    for (char16_t c : text) bigEndian += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    EXPECT_EQ(rows(bigEndian), (Rows{{"A", "B"}, {"张", "三"}}));
    // A GBK file whose every byte also happens to be valid UTF-8.
    const Rows gbk{{"Id", "Name", "Dept"}, {"1", "卢", "路"}, {"2", "莫", "拥细"}};
    EXPECT_EQ(cellsOf(readSourceData(dataFile("gbk_names.txt"), "T", {})), gbk);
    // A named encoding wins over the bytes' look, and over the machine's code page.
    SourceReadOptions big5;
    big5.encoding = "big5";
    EXPECT_EQ(rows("A\r\n\xB1\x69\xA4\x54\r\n", big5), (Rows{{"A"}, {"張三"}}));
    SourceReadOptions named;
    named.encoding = "gbk";
    EXPECT_EQ(rows("A\r\n\xC2\xAC\r\n", named), (Rows{{"A"}, {"卢"}}));
    named.encoding = "utf-8";
    EXPECT_EQ(rows("A\r\n\xC2\xAC\r\n", named), (Rows{{"A"}, {"¬"}}));
    named.encoding = "no-such-encoding";
    try {
        read("A\r\n", named);
        ADD_FAILURE() << "an unknown encoding was accepted";
    } catch (const Refusal& e) {
        EXPECT_EQ(e.outcome(), ImportOutcome::BadArgument);
    }
}

TEST_F(SourceReader, StrictReadingRefusesWhatItCannotDecodeOrDecide) {
    SourceReadOptions strict;
    strict.strict = true;
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"A\r\n1\r\n\xD5\xC5\xFF\r\n", "第 3 行有无法按 CP936 编码读取的字节（全文件共 1 处）"},
        {"\xEF\xBB\xBF"
         "A\nx\xFF\n\xFF\n",
         "第 2 行有无法按 UTF-8 编码读取的字节（全文件共 2 处）"},
        {"A\r\n\xC2\xAC\r\n", "无法确定文件是 UTF-8 还是 CP936 编码，请指明文件的编码（--encoding）"},
    };
    for (const auto& [bytes, why] : refused) {
        try {
            read(bytes, strict);
            ADD_FAILURE() << "read: " << bytes;
        } catch (const Refusal& e) {
            EXPECT_EQ(e.outcome(), ImportOutcome::Refused);
            EXPECT_EQ(e.description(), why);
        }
        // Without strictness the same file reads, its unreadable bytes counted.
        const SourceGrid grid = read(bytes);
        EXPECT_EQ(grid.replacedBytes(), why.starts_with("第 3") ? 1u : why.starts_with("第 2") ? 2u : 0u);
    }
}

TEST(EncodingGuess, JudgesBothReadingsByTheirCharacters) {
    struct Case {
        const char* what;
        std::string bytes;  // valid UTF-8, not plain ASCII
        int codePage;
        EncodingGuess guess;
    };
    const std::vector<Case> cases = {
        {"Chinese in UTF-8", "姓名\t张三\r\n", 936, EncodingGuess::Utf8},
        {"GBK 壹 and 莫, Cyrillic and Latin Extended in UTF-8", "1\t\xD2\xBC\r\n2\t\xC4\xAA\r\n", 936,
         EncodingGuess::Ansi},
        {"GBK 拥细 among ASCII", std::string(5000, 'x') + "\t\xD3\xB5\xCF\xB8\r\n", 936, EncodingGuess::Ansi},
        {"GBK 卢 alone, the sign ¬ in UTF-8: both plausible", "\xC2\xAC\r\n", 936, EncodingGuess::Uncertain},
        {"UTF-8 Cyrillic, GBK's extension area: neither plausible", "Иван\r\n", 936, EncodingGuess::Uncertain},
        {"UTF-8 that no double-byte code page reads", "张三\t", 950, EncodingGuess::Utf8},
        {"a single-byte code page keeps valid UTF-8", "\xC2\xAC", 1252, EncodingGuess::Utf8},
    };
    for (const Case& c : cases) EXPECT_EQ(guessUtf8OrAnsi(c.bytes, c.codePage), c.guess) << c.what;
}

}  // namespace
}  // namespace dovrel::exchange::detail
