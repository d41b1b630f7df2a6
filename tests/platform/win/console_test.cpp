// dovrelctl's command line and output on Windows: the arguments come from
// the wide command line whatever the ANSI code page, and a pipe gets the
// UTF-8 bytes. (Wine without a display has no console screen to read back,
// so the console's own path is not tested here.)
#include "platform/console.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/win/opencc_data.h"
#include "win_test_support.h"

namespace dovrel::platform {
namespace {

TEST(Console, PipesGetUtf8AndArgumentsComeWhole) {
    const test::win::ProgramRun run =
        test::win::runProgram(win::programFolder() / L"dovrelctl.exe", {"localize", "人事 \"引号\" ā"});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, oemCodePage() == 936 ? "人事 \"引号\" ā\n" : "人事 \"引號\" ā\n");
}

}  // namespace
}  // namespace dovrel::platform
