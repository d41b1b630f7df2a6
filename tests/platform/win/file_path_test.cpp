// File names reach Windows as wide paths: a source file whose name the
// ANSI code page cannot hold is found and read like any other.
#include "platform/file_path.h"

#include <gtest/gtest.h>

#include "exchange/detail/source_text.h"
#include "platform/win/wide_text.h"
#include "win_test_support.h"

namespace dovrel::platform {
namespace {

using namespace exchange::detail;

TEST(FilePath, SourceFilesWithUnicodeNamesAreFoundAndRead) {
    test::win::TempFolder temp("源 ā");
    const std::filesystem::path file = temp.path() / filePath("人事 ā 😀.txt");
    test::win::writeFile(file, "Name\tDept\r\n甲\t人事\r\n");
    const std::string name = win::toUtf8(file.wstring());

    EXPECT_TRUE(normalFileExists(name));
    EXPECT_EQ(readLeadingLines(name, 1), std::vector<std::string>{"Name\tDept"});
    EXPECT_EQ(loadSourceText(name).text, "Name\tDept\r\n甲\t人事\r\n");
    EXPECT_FALSE(normalFileExists(win::toUtf8((temp.path() / L"missing.txt").wstring())));
    EXPECT_FALSE(normalFileExists(name + "\xFF")) << "a name that is no UTF-8 names no file";
}

}  // namespace
}  // namespace dovrel::platform
