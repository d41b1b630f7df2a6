// dovrelctl import and check-file against the stand-in server, run as a
// process: exit codes, the report on stderr, the mismatch text and the
// summary line on stdout, line ends, the locale's script, and the progress
// bar when stderr is a terminal.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "run_process.h"
#include "support/closed_port.h"
#include "support/standin_database.h"
#include "support/temp_files.h"

namespace dovrel {
namespace {

class CtlExchange : public test::SharedStandinDatabase<CtlExchange> {
public:
    static constexpr const char* kDatabaseName = "CtlExchange";
    static bool prepare(test::StandinDatabase& db) {
        return db.sql("Create Table Staff (Id int, Name nvarchar(20))\ngo\nInsert Into Staff Values (1, N'old')");
    }

protected:
    static std::string connectStr() { return db().connectStr(); }
    static std::string query(const std::string& sql) { return db().run(sql).output; }
    // dovrelctl as on a Simplified Chinese machine.
    static test::ProcessResult ctl(const std::vector<std::string>& args) {
        return test::runDovrelctl(args, {"LC_ALL=zh_CN.UTF-8"});
    }

    test::TempFolder folder;
};

TEST_F(CtlExchange, ImportSucceedsOrReportsAndFails) {
    const std::string good = folder.write("good.txt", "Id\tName\r\n2\tnew\r\n3\tnewer\r\n");
    auto run = ctl({"import", good, "Staff", "--connect", connectStr(), "--delete"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no terminal: no progress bar
    EXPECT_TRUE(
        run.out.starts_with("读取 2 行，插入 2 行，删除 1 行，键值筛选跳过 0 行，"
                            "被写成 NULL、''、N''、0 或未写入的单元格 0 个，无法解码的字节 0 处，用时 "))
        << run.out;
    EXPECT_TRUE(run.out.ends_with(" 行\n") && run.out.find('\r') == std::string::npos) << run.out;
    EXPECT_EQ(query("Select Id From Staff Order By Id"), "2\n3\n");

    const std::string wrong = folder.write("wrong.txt", "Id\tDept\r\n4\tx\r\n");
    run = ctl({"import", wrong, "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("数据表字段不匹配Dept在资料表里找不到 — Staff"), std::string::npos) << run.err;

    const std::string numbered = folder.write("numbered.txt", "Id\tName\r\n\tauto\r\n");
    run = ctl({"import", numbered, "Staff", "--connect", connectStr(), "--key-field", "Id", "--id-mode", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(query("Select Id, Name From Staff Where Id = 5"), "5\tauto\n");

    // A key list needs its key field.
    run = ctl({"import", good, "Staff", "--connect", connectStr(), "--key-value", "1"});
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(CtlExchange, ExitCodesTellWhatWentWrong) {
    ASSERT_TRUE(db().sql("Create Table Dated (Id int, Born datetime null, Active bit not null)")) << db().error();
    const std::string good = folder.write("dated.txt", "Id\tBorn\tActive\r\n1\t2001年2月3日\t 1\r\n");
    const std::string changing = folder.write("changing.txt", "Id\tBorn\tActive\r\n1\tsoon\tyes\r\n");
    const std::string closed = "provider = sqloledb;data source=127.0.0.1," +
                               std::to_string(test::closedLoopbackPort()) +
                               ";initial catalog=CtlExchange;user id=sa;Password=Secret#1;";
    std::string badPassword = connectStr();
    badPassword.replace(badPassword.find("Secret#1"), 8, "Wrong#22");
    std::filesystem::create_directory(folder.path("folder"));
    const std::string staffBefore = query("Select Count(*) From Staff");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string says;  // on stderr, or on stdout for check-file's lists
    };
    const std::vector<Case> cases = {
        {{"import", good, "Dated", "--connect", connectStr()}, 0, "插入 1 行"},
        {{"import", changing, "Dated", "--connect", connectStr()}, 1, "第 2 行，列 Born：“soon” → NULL"},
        {{"import", changing, "Dated", "--connect", connectStr(), "--lenient"}, 0, "单元格 2 个"},
        {{"import", good, "Dated; Drop Table Staff--", "--connect", connectStr()}, 2, "表名不合规"},
        {{"import", good, "Dated", "--connect", connectStr(), "--encoding", "no-such"}, 2, "不认识的编码：no-such"},
        {{"import", good, "Dated", "--no-such-option"}, 2, ""},
        {{"import", good, "Dated", "--connect", closed}, 3, ""},
        {{"import", good, "Dated", "--connect", badPassword}, 3, "Login failed"},
        {{"import", folder.path("absent.txt"), "Dated", "--connect", connectStr()}, 4, "absent.txt”：文件不存在"},
        {{"import", folder.path("folder"), "Dated", "--connect", connectStr()}, 4, "这是一个文件夹"},
        {{"import", folder.write("empty.txt", ""), "Dated", "--connect", connectStr()}, 4, "文件是空的"},
        {{"check-file", good, "Dated", "--connect", connectStr()}, 0, ""},
        {{"check-file", changing, "Dated", "--connect", connectStr()}, 1, "第 2 行，列 Active：“yes” → 0"},
        {{"check-file", good, "NoSuchTable", "--connect", connectStr()}, 1, "无法查询数据表 NoSuchTable"},
        {{"check-file", good, "Dated", "--connect", closed}, 3, "无法连接数据库服务器"},
        {{"check-file", good, "Dated", "--connect", badPassword}, 3, "Login failed"},
        {{"check-file", folder.path("absent.txt"), "Dated", "--connect", connectStr()}, 4, "文件不存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2] + " " + (c.args.size() > 5 ? c.args[5] : ""));
        const auto run = ctl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
        EXPECT_NE((run.err + run.out).find(c.says), std::string::npos) << run.out << run.err;
        EXPECT_EQ((run.err + run.out).find('\r'), std::string::npos) << "messages end with LF";
    }
    EXPECT_EQ(query("Select Count(*) From Dated"), "2\n");
    EXPECT_EQ(query("Select Count(*) From Staff"), staffBefore) << "the table named in the injection is still there";
}

TEST_F(CtlExchange, EncodingsFiltersAndTheLocalesScript) {
    ASSERT_TRUE(db().sql("Create Table Names (Id int, Name nvarchar(20))\ngo\nInsert Into Names Values (9, N'old')"))
        << db().error();
    const std::string gbk = folder.write("gbk.txt", "Id\tName\r\n1\t\xD5\xC5\xC8\xFD\r\n2\t\xC2\xAC\r\n");
    auto run = ctl({"import", gbk, "Names", "--connect", connectStr(), "--encoding", "gbk"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(query("Select Name From Names Where Id < 9 Order By Id"), "张三\n卢\n");
    // A key filter that keeps nothing would only delete: stopped unless allowed.
    run = ctl({"import", gbk, "Names", "--connect", connectStr(), "--encoding", "gbk", "--key-field", "Id",
               "--key-value", "5", "--delete"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("--allow-empty"), std::string::npos) << run.err;
    EXPECT_EQ(query("Select Count(*) From Names"), "3\n");
    run = ctl({"import", gbk, "Names", "--connect", connectStr(), "--encoding", "gbk", "--key-field", "Id",
               "--key-value", "5", "--delete", "--allow-empty"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(query("Select Count(*) From Names"), "0\n");
    // Traditional Chinese where the window program shows it.
    run = test::runDovrelctl({"import", gbk, "Names", "--connect", connectStr(), "--encoding", "gbk"},
                             {"LC_ALL=zh_TW.UTF-8"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("讀取 2 行")) << run.out;
    run = test::runDovrelctl({"import", "--help"});
    EXPECT_NE(run.out.find("Exit codes: 0 success; 1 data refused"), std::string::npos) << run.out;
}

TEST_F(CtlExchange, CheckFilePrintsTheMismatch) {
    auto run = ctl({"check-file", folder.write("ok.txt", "name\tID\r\n"), "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = ctl({"check-file", folder.write("bad.txt", "Id\r\n"), "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Name在资料表里多出 — Staff\n");
    run = ctl({"check-file", folder.write("dup.txt", "Id\tid\r\n"), "Staff", "--connect", connectStr()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("457"), std::string::npos) << run.err;  // the message box, on stderr
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
    const std::string command = "LC_ALL=zh_CN.UTF-8 " + shellQuoted(DOVRELCTL_PATH) + " import " + shellQuoted(file) +
                                " Staff --connect " + shellQuoted(connectStr());
    FILE* pipe = popen(("script -qec " + shellQuoted(command) + " /dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
    EXPECT_NE(output.find("读取 ["), std::string::npos) << output;
    EXPECT_NE(output.find("导入 ["), std::string::npos) << output;
    // Once read, the total is the real row count, and the bar ends full.
    EXPECT_NE(output.find("导入 [##############################] 300/300 行"), std::string::npos) << output;
    EXPECT_NE(output.find("行/秒"), std::string::npos) << output;
    EXPECT_EQ(query("Select Count(*) From Staff Where Id >= 100"), "300\n");
}

}  // namespace
}  // namespace dovrel
