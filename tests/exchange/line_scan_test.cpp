// The byte scans behind reading source files, against plain loops: lines of
// every length around the sixteen-byte blocks, lines longer than a lane
// counter can count, and texts without a final carriage return.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "exchange/detail/line_scan.h"

namespace dovrel::exchange::detail {
namespace {

LineExtent plainScan(std::string_view text, std::size_t begin) {
    LineExtent line{begin, 0};
    for (; line.end < text.size() && text[line.end] != '\r'; ++line.end) line.tabs += text[line.end] == '\t';
    return line;
}

void expectScansAgree(const std::string& text) {
    std::size_t crs = 0;
    for (char c : text) crs += c == '\r';
    EXPECT_EQ(countByte(text, '\r'), crs);
    for (std::size_t begin = 0; begin <= text.size(); begin = plainScan(text, begin).end + 1) {
        const LineExtent expected = plainScan(text, begin), got = scanLine(text, begin);
        EXPECT_EQ(got.end, expected.end) << "line at " << begin << " of " << text.size() << " bytes";
        EXPECT_EQ(got.tabs, expected.tabs) << "line at " << begin << " of " << text.size() << " bytes";
    }
}

TEST(LineScan, LinesOfEveryLengthAroundTheBlocks) {
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t tabAt = 0; tabAt <= length; ++tabAt) {
            std::string line(length, 'x');
            if (tabAt < length) line[tabAt] = '\t';
            expectScansAgree(line + "\r\n" + line + "\ty\r" + line);
            expectScansAgree("\t\t" + line + "\r" + std::string(tabAt, '\t') + "\n\r");
        }
    }
    // A tab right after the carriage return is the next line's.
    EXPECT_EQ(scanLine("ab\r\tc", 0).tabs, 0u);
    EXPECT_EQ(scanLine("ab\r\tc", 0).end, 2u);
    // A lone line feed is part of the line.
    EXPECT_EQ(scanLine("a\nb\tc\r", 0).end, 5u);
    EXPECT_EQ(scanLine("", 0).end, 0u);
}

TEST(LineScan, LongLinesAndRandomTexts) {
    // More tabs than one lane counter holds (255 blocks of 16 bytes).
    const std::string tabs(255 * 16 * 3 + 7, '\t');
    EXPECT_EQ(scanLine(tabs + "\rx", 0).tabs, tabs.size());
    EXPECT_EQ(countByte(tabs, '\t'), tabs.size());
    std::mt19937 random(11);
    const char alphabet[] = {'a', '\t', '\r', '\n', '\xE4', '\xB8', '\xAD', ' '};
    for (int n = 0; n < 3000; ++n) {
        std::string text(random() % (n % 10 == 0 ? 9000 : 200), 'a');
        for (char& c : text) c = alphabet[random() % (random() % 4 == 0 ? 8 : 2)];
        expectScansAgree(text);
    }
}

}  // namespace
}  // namespace dovrel::exchange::detail
