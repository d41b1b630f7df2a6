// OpenCC's data on Windows: the s2tw configuration and dictionaries are
// taken from the folder given, whatever its name, and the program uses the
// folder "opencc" beside its .exe and no other.
#include "platform/win/opencc_data.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/codepage.h"
#include "platform/file_path.h"
#include "win_test_support.h"

namespace dovrel::platform::win {
namespace {

namespace fs = std::filesystem;

// The data the build places beside the test programs.
const fs::path kShippedData = programFolder() / L"opencc";

// Data of its own: "为" becomes "X", nothing else changes.
void writeMarkingData(const fs::path& folder) {
    fs::create_directories(folder);
    test::win::writeFile(folder / L"s2tw.json", R"({"name": "marks", "segmentation": {"type": "mmseg",
        "dict": {"type": "text", "file": "marks.txt"}},
        "conversion_chain": [{"dict": {"type": "text", "file": "marks.txt"}}]})");
    test::win::writeFile(folder / L"marks.txt", "为\tX\n");
}

std::wstring currentDirectory() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    return path;
}

TEST(OpenCcData, TheFolderGivenIsUsedWhateverItsName) {
    // Neither code page 1252 nor 936 nor 950 can hold this name.
    test::win::TempFolder temp("数据 ā");
    const fs::path shipped = temp.path() / filePath("資料 ā 😀");
    fs::copy(kShippedData, shipped);
    const fs::path marking = temp.path() / filePath("标记");
    writeMarkingData(marking);
    const std::wstring before = currentDirectory();

    EXPECT_EQ(openS2twConverter(shipped)->Convert("为启动数据库"), "為啟動數據庫") << "Taiwan standard: 為 and 啟";
    EXPECT_EQ(openS2twConverter(marking)->Convert("为启动"), "X启动");
    EXPECT_EQ(currentDirectory(), before) << "the current directory is given back";
    EXPECT_THROW(openS2twConverter(temp.path()), std::exception) << "a folder without data";
    EXPECT_THROW(openS2twConverter(temp.path() / L"missing"), std::exception);
    EXPECT_EQ(currentDirectory(), before);
}

TEST(OpenCcData, TheProgramUsesTheFolderBesideItsExe) {
    if (oemCodePage() == 936) GTEST_SKIP() << "code page 936 converts nothing";
    test::win::TempFolder temp("程序 ā");
    const fs::path program = temp.path() / L"dovrelctl.exe";
    fs::copy_file(programFolder() / L"dovrelctl.exe", program);

    test::win::ProgramRun run = test::win::runProgram(program, {"localize", "为启动"});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "为启动\n") << "without data beside it nothing is converted: no other folder is looked in";

    writeMarkingData(temp.path() / L"opencc");
    run = test::win::runProgram(program, {"localize", "为启动"});
    EXPECT_EQ(run.output, "X启动\n") << "the data beside the program is the data used";

    fs::remove_all(temp.path() / L"opencc");
    fs::copy(kShippedData, temp.path() / L"opencc");
    run = test::win::runProgram(program, {"localize", "为启动"});
    EXPECT_EQ(run.output, "為啟動\n");
}

}  // namespace
}  // namespace dovrel::platform::win
