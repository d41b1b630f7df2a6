// dovrelctl import and check-file against the stand-in server, run as a
// process: exit codes, the report on stderr, the mismatch text on stdout, and
// the progress bar when stderr is a terminal.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "run_process.h"
#include "support/standin_server.h"
#include "support/temp_files.h"

namespace dovrel {
namespace {

class CtlExchange : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<test::StandinServer>();
        if (!server_->start()) return;
        server_->runSql("Create Database CtlExchange");
        server_->runSql("Create Table Staff (Id int, Name nvarchar(20))\ngo\nInsert Into Staff Values (1, N'old')",
                        "CtlExchange");
    }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override { ASSERT_TRUE(server_->running()) << server_->lastError(); }

    static std::string connectStr() {
        return "provider = sqloledb;data source=" + server_->serverName() +
               ";initial catalog=CtlExchange;user id =sa;Password= Secret#1;";
    }
    static std::string query(const std::string& sql) { return server_->runSql(sql, "CtlExchange").output; }

    static std::unique_ptr<test::StandinServer> server_;
    test::TempFolder folder;
};

std::unique_ptr<test::StandinServer> CtlExchange::server_;

TEST_F(CtlExchange, ImportSucceedsOrReportsAndFails) {
    const std::string good = folder.write("good.txt", "Id\tName\r\n2\tnew\r\n3\tnewer\r\n");
    auto run = test::runDovrelctl({"import", good, "Staff", "--connect", connectStr(), "--delete"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");   // no terminal: no progress bar
    EXPECT_EQ(query("Select Id From Staff Order By Id"), "2\n3\n");

    const std::string wrong = folder.write("wrong.txt", "Id\tDept\r\n4\tx\r\n");
    run = test::runDovrelctl({"import", wrong, "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("数据表字段不匹配Dept在资料表里找不到 — Staff"), std::string::npos) << run.err;

    const std::string numbered = folder.write("numbered.txt", "Id\tName\r\n\tauto\r\n");
    run = test::runDovrelctl({"import", numbered, "Staff", "--connect", connectStr(), "--key-field", "Id",
                              "--id-mode", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(query("Select Id, Name From Staff Where Id = 5"), "5\tauto\n");

    // A key list needs its key field.
    run = test::runDovrelctl({"import", good, "Staff", "--connect", connectStr(), "--key-value", "1"});
    EXPECT_NE(run.exitCode, 0);
}

TEST_F(CtlExchange, CheckFilePrintsTheMismatch) {
    auto run = test::runDovrelctl({"check-file", folder.write("ok.txt", "name\tID\r\n"), "Staff", "--connect",
                                   connectStr()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = test::runDovrelctl({"check-file", folder.write("bad.txt", "Id\r\n"), "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Name在资料表里多出 — Staff\n");
    run = test::runDovrelctl({"check-file", folder.write("dup.txt", "Id\tid\r\n"), "Staff", "--connect",
                              connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("457"), std::string::npos) << run.err;   // the message box, on stderr
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TEST_F(CtlExchange, ProgressBarOnATerminal) {
    std::string rows = "Id\tName\r\n";
    for (int i = 100; i < 400; ++i) rows += std::to_string(i) + "\tn\r\n";
    const std::string file = folder.write("many.txt", rows);
    // script(1) gives the command a terminal and copies what it writes.
    const std::string command = shellQuoted(DOVRELCTL_PATH) + " import " + shellQuoted(file) + " Staff --connect " +
                                shellQuoted(connectStr());
    FILE* pipe = popen(("script -qec " + shellQuoted(command) + " /dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
    EXPECT_NE(output.find("reading"), std::string::npos) << output;
    EXPECT_NE(output.find("importing ["), std::string::npos) << output;
    EXPECT_NE(output.find("/300 rows"), std::string::npos) << output;
    EXPECT_NE(output.find("rows/s"), std::string::npos) << output;
    EXPECT_EQ(query("Select Count(*) From Staff Where Id >= 100"), "300\n");
}

}  // namespace
}  // namespace dovrel
