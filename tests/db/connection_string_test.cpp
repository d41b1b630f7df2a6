// The two connection-string forms, the OLE DB reading of a connection
// string and its translation for the ODBC driver.
#include <gtest/gtest.h>

#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "core/run_state.h"

namespace dovrel {
namespace {

ConnectionSettingsRecord settings(std::string server, std::string database, std::string user, std::string password) {
    return {std::move(server), std::move(database), std::move(user), std::move(password)};
}

TEST(BuildConnectionString, BothFormsByteForByte) {
    const auto s = settings("HRSRV", "Ostrel", "sa", "pw");
    EXPECT_EQ(buildConnectionString(s, true),
              "provider = sqloledb;data source=HRSRV;initial catalog= Master;user id =sa;Password= pw;");
    EXPECT_EQ(buildConnectionString(s, false),
              "provider = sqloledb;data source=HRSRV;initial catalog=Ostrel;user id =sa;Password= pw;");
}

TEST(BuildConnectionString, InsertsValuesAsTheyStand) {
    EXPECT_EQ(buildConnectionString(settings("SRV", "DB", "", ""), true),
              "provider = sqloledb;data source=SRV;initial catalog= Master;user id =;Password= ;");
    EXPECT_EQ(buildConnectionString(settings("SRV", "DB", "u", "a;b"), false),
              "provider = sqloledb;data source=SRV;initial catalog=DB;user id =u;Password= a;b;");
    EXPECT_EQ(buildConnectionString(settings("host\\SQLEXPRESS", " My DB ", "u", "p"), false),
              "provider = sqloledb;data source=host\\SQLEXPRESS;initial catalog= My DB ;user id =u;Password= p;");
}

TEST(BuildConnectionString, ReadsTheRunState) {
    resetRunState();
    runState().ConnectionSettings = settings("10.1.2.3", "人事", "用户", "密码");
    EXPECT_EQ(BuildConnectionString(true),
              "provider = sqloledb;data source=10.1.2.3;initial catalog= Master;user id =用户;Password= 密码;");
    EXPECT_EQ(BuildConnectionString(false),
              "provider = sqloledb;data source=10.1.2.3;initial catalog=人事;user id =用户;Password= 密码;");
    resetRunState();
}

TEST(ParseConnectionString, KeywordsIgnoreCaseAndBlanks) {
    const auto keys = connstr::parse(
        buildConnectionString(settings("HRSRV", "Ostrel", "sa", "pw"), true));
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys.at("provider"), "sqloledb");
    EXPECT_EQ(keys.at("data source"), "HRSRV");
    EXPECT_EQ(keys.at("initial catalog"), "Master");
    EXPECT_EQ(keys.at("user id"), "sa");
    EXPECT_EQ(keys.at("password"), "pw");

    const auto upper = connstr::parse("  DATA Source =  a b  ;;User ID=x;");
    EXPECT_EQ(upper.at("data source"), "a b");
    EXPECT_EQ(upper.at("user id"), "x");
    EXPECT_EQ(connstr::parse("a=1;a=2").at("a"), "2");
    EXPECT_TRUE(connstr::parse("").empty());
    EXPECT_TRUE(connstr::parse(" ; ;").empty());
    EXPECT_EQ(connstr::parse("password=").at("password"), "");
}

TEST(ParseConnectionString, QuotedValuesAreTakenLiterally) {
    const auto keys = connstr::parse("Password=\" a;b \";User Id='it''s';x=\"say \"\"hi\"\"\" ;y=a'b\"c");
    EXPECT_EQ(keys.at("password"), " a;b ");
    EXPECT_EQ(keys.at("user id"), "it's");
    EXPECT_EQ(keys.at("x"), "say \"hi\"");
    EXPECT_EQ(keys.at("y"), "a'b\"c");  // quotes inside an unquoted value are ordinary
    EXPECT_EQ(connstr::parse("a==b=c").at("a=b"), "c");
}

TEST(ParseConnectionString, GarbageIsADatabaseError) {
    for (const char* bad : {"garbage", "a=1;garbage;b=2", "=value", "password='open", "a='x' y;b=1", "a"}) {
        SCOPED_TRACE(bad);
        try {
            connstr::parse(bad);
            ADD_FAILURE() << "accepted";
        } catch (const ado::DatabaseError& e) {
            EXPECT_EQ(e.number(), -2147217805);
            EXPECT_FALSE(e.description().empty());
        }
    }
    // A password with ";" splits the string: the rest reads as a keyword without "=".
    EXPECT_THROW(connstr::parse(buildConnectionString(settings("S", "D", "u", "a;b"), true)), ado::DatabaseError);
}

TEST(QuoteOdbcValue, BracesOnlyWhenNeeded) {
    EXPECT_EQ(connstr::quoteOdbcValue("plain"), "plain");
    EXPECT_EQ(connstr::quoteOdbcValue(""), "");
    EXPECT_EQ(connstr::quoteOdbcValue("a}b"), "a}b");  // a brace alone needs no quoting
    EXPECT_EQ(connstr::quoteOdbcValue(" lead"), " lead");
    EXPECT_EQ(connstr::quoteOdbcValue("a;b"), "{a;b}");
    EXPECT_EQ(connstr::quoteOdbcValue("a}b;c"), "{a}b;c}");
    EXPECT_EQ(connstr::quoteOdbcValue("a;b}"), "{a;b}}");
    EXPECT_EQ(connstr::quoteOdbcValue("{x}"), "{{x}}");
    EXPECT_EQ(connstr::quoteOdbcValue("密码"), "密码");
    EXPECT_THROW(connstr::quoteOdbcValue("x};y"), ado::DatabaseError);
}

TEST(TranslateConnectionString, MasterFormForTheDriver) {
    const auto target =
        connstr::translate(buildConnectionString(settings("HRSRV", "Ostrel", "sa", "pw"), true), "FreeTDS");
    EXPECT_EQ(target.connectionString,
              "Driver={FreeTDS};Server=HRSRV;Database=Master;UID=sa;PWD=pw;TDS_Version=7.4;ClientCharset=UTF-8;");
    EXPECT_EQ(target.loginTimeoutSeconds, connstr::kLoginTimeoutSeconds);
}

TEST(TranslateConnectionString, DataSourceForms) {
    const auto server = [](const std::string& dataSource) {
        const std::string odbc =
            connstr::translate("provider=sqloledb;data source=" + dataSource + ";user id=u;password=p", "D")
                .connectionString;
        const auto start = odbc.find("Server=");
        return odbc.substr(start, odbc.find(";Database") == std::string::npos ? odbc.find(";UID") - start
                                                                               : odbc.find(";Database") - start);
    };
    EXPECT_EQ(server("host\\SQLEXPRESS"), "Server=host\\SQLEXPRESS");
    EXPECT_EQ(server("127.0.0.1,14330"), "Server=127.0.0.1;Port=14330");
    EXPECT_EQ(server("tcp:db.example , 1500"), "Server=db.example;Port=1500");
    EXPECT_EQ(server("host\\inst,1500"), "Server=host;Port=1500");
    EXPECT_EQ(server("."), "Server=127.0.0.1");
    EXPECT_EQ(server("(local)"), "Server=127.0.0.1");
    EXPECT_EQ(server("(LOCAL)\\SQLEXPRESS"), "Server=127.0.0.1\\SQLEXPRESS");
    EXPECT_EQ(server(""), "Server=127.0.0.1");
    EXPECT_EQ(server("my server"), "Server=my server");
    EXPECT_THROW(server("host,12ab"), ado::DatabaseError);
}

TEST(TranslateConnectionString, SynonymsQuotingAndTimeouts) {
    const auto target = connstr::translate(
        "Server=h;Database=人事;UID='a;b';PWD=\"x}y\";Connect Timeout=3;Application Name=Dovrel", "FreeTDS");
    EXPECT_EQ(target.connectionString,
              "Driver={FreeTDS};Server=h;Database=人事;UID={a;b};PWD=x}y;APP=Dovrel;TDS_Version=7.4;"
              "ClientCharset=UTF-8;");
    EXPECT_EQ(target.loginTimeoutSeconds, 3u);
    EXPECT_EQ(connstr::translate("data source=h;connection timeout=0", "D").loginTimeoutSeconds, 0u);
    EXPECT_THROW(connstr::translate("data source=h;connect timeout=soon", "D"), ado::DatabaseError);

    const auto empty = connstr::translate(buildConnectionString(settings("h", "", "", ""), false), "D");
    EXPECT_EQ(empty.connectionString, "Driver={D};Server=h;Database=;UID=;PWD=;TDS_Version=7.4;ClientCharset=UTF-8;");
    EXPECT_EQ(connstr::translate("Provider=SQLOLEDB.1;Integrated Security=SSPI;Data Source=h", "D").connectionString,
              "Driver={D};Server=h;Trusted_Connection=Yes;TDS_Version=7.4;ClientCharset=UTF-8;");
}

TEST(TranslateConnectionString, OdbcStringsPassAndUnusableOnesFail) {
    for (const char* odbc : {"Driver={FreeTDS};Server=h;PWD={a;b=c};", "DSN=hr;UID=u", " dsn = hr ",
                             "Driver={FreeTDS};PWD={x}};dsn=y}"}) {
        SCOPED_TRACE(odbc);
        EXPECT_TRUE(connstr::isOdbc(odbc));
        EXPECT_EQ(connstr::translate(odbc, "Other").connectionString, odbc);
        EXPECT_EQ(connstr::toOdbc(odbc), odbc);
    }
    // A quoted OLE DB value that merely contains "dsn=" is not an ODBC string.
    EXPECT_FALSE(connstr::isOdbc("provider=sqloledb;password='a;dsn=b'"));
    EXPECT_FALSE(connstr::isOdbc(buildConnectionString(settings("S", "D", "u", "p"), true)));

    for (const char* bad : {"", "   ", "nonsense", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(connstr::translate(bad, "D"), ado::DatabaseError);
    }
}

TEST(TranslateConnectionString, FindsTheInstalledDriver) {
    // tdsodbc registers itself as "FreeTDS" on the machines the program runs on.
    const std::string odbc = connstr::toOdbc("data source=h");
    EXPECT_TRUE(odbc.starts_with("Driver={")) << odbc;
    EXPECT_NE(odbc.find(";Server=h;"), std::string::npos) << odbc;
}

}  // namespace
}  // namespace dovrel
