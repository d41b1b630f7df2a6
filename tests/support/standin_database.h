#pragma once
// One database on a stand-in server, as most tests that talk to a server
// need it: its connection string (which follows the server to a new port
// after a restart), setup SQL through the independent client, and a query's
// rows as text. SharedStandinDatabase gives the tests of one suite one such
// database.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/standin_server.h"

namespace dovrel::test {

class StandinDatabase {
public:
    // Each login is "NAME:PASSWORD[:LANGUAGE]"; the first one is the owner's ("sa:Secret#1").
    explicit StandinDatabase(std::string database, std::vector<std::string> logins = {"sa:Secret#1"})
        : database_(std::move(database)), server_(std::string{}, std::move(logins)) {}

    // Starts the server and creates the database; false with the reason in error().
    bool start();
    StandinServer& server() { return server_; }
    const std::string& name() const { return database_; }
    const std::string& error() const { return error_; }

    // The connection string a host would give: the program's database form
    // for the owner, or another password.
    std::string connectStr(const std::string& password = "Secret#1") const;
    // Runs setup statements; false (reason in error()) when one failed.
    bool sql(const std::string& text);
    // The independent client's whole answer to `text` in this database.
    SqlRun run(const std::string& text) const { return server_.runSql(text, database_); }
    // Every row of `query` through the program's own data layer: values
    // separated by "|", rows ended by "\n", NULL as "NULL". A query that
    // fails gives "failed: " and the reason.
    std::string rows(const std::string& query) const;

private:
    std::string database_;
    StandinServer server_;
    std::string error_;
};

// The tests of a suite share one database, made before the first of them
// and gone after the last; a test fails at once when it could not be made.
template <class Suite>
class SharedStandinDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        db_ = std::make_unique<StandinDatabase>(Suite::kDatabaseName, Suite::logins());
        ready_ = db_->start() && Suite::prepare(*db_);
    }
    static void TearDownTestSuite() { db_.reset(); }
    void SetUp() override { ASSERT_TRUE(ready_) << "stand-in database not usable: " << db_->error(); }

    // What a suite may change: its logins, and setup after the database exists.
    static std::vector<std::string> logins() { return {"sa:Secret#1"}; }
    static bool prepare(StandinDatabase&) { return true; }

    static StandinDatabase& db() { return *db_; }

private:
    static inline std::unique_ptr<StandinDatabase> db_;
    static inline bool ready_ = false;
};

}  // namespace dovrel::test
