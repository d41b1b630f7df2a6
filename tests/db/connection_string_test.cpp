// The two connection-string forms, the OLE DB reading of a connection
// string and its translation for the ODBC driver.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

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
    EXPECT_EQ(connectionStringFor(s, true),
              "provider = sqloledb;data source=HRSRV;initial catalog= Master;user id =sa;Password= pw;");
    EXPECT_EQ(connectionStringFor(s, false),
              "provider = sqloledb;data source=HRSRV;initial catalog=Ostrel;user id =sa;Password= pw;");
}

TEST(BuildConnectionString, ValuesStayDataWhateverTheyHold) {
    EXPECT_EQ(connectionStringFor(settings("SRV", "DB", "", ""), true),
              "provider = sqloledb;data source=SRV;initial catalog= Master;user id =;Password= ;");
    EXPECT_EQ(connectionStringFor(settings("host\\SQLEXPRESS", "DB", "my user", "p=1"), false),
              "provider = sqloledb;data source=host\\SQLEXPRESS;initial catalog=DB;user id =my user;Password= p=1;");
    EXPECT_EQ(connectionStringFor(settings("SRV", " My DB ", "u", "p;w}d= x"), false),
              "provider = sqloledb;data source=SRV;initial catalog=\" My DB \";user id =u;Password= \"p;w}d= x\";");
    // Whatever a value holds, the string reads back with exactly the five keywords and the values given.
    for (const std::string value : {"a;b", " lead", "trail ", "it's", "say \"hi\"", "it's \"both\";", "{x}", "a};b",
                                    "127.0.0.1;Driver=/tmp/x.so", "密码;"}) {
        SCOPED_TRACE(value);
        const auto keys = connstr::parse(connectionStringFor(settings(value, value, value, value), false));
        ASSERT_EQ(keys.size(), 5u);
        EXPECT_EQ(keys.at("data source"), value);
        EXPECT_EQ(keys.at("initial catalog"), value);
        EXPECT_EQ(keys.at("user id"), value);
        EXPECT_EQ(keys.at("password"), value);
    }
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
    const auto keys = connstr::parse(connectionStringFor(settings("HRSRV", "Ostrel", "sa", "pw"), true));
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
}

const connstr::Driver kFreeTds13{"FreeTDS", true, false, false};
const connstr::Driver kOdbcRule{"D", false, true, false};

TEST(BracedOdbcValue, BothBraceRules) {
    for (const auto& [value, doubled, legacy] :
         std::vector<std::tuple<std::string, std::string, std::string>>{{"plain", "{plain}", "{plain}"},
                                                                        {"", "{}", "{}"},
                                                                        {"a;b=c", "{a;b=c}", "{a;b=c}"},
                                                                        {"p;w}d= x", "{p;w}}d= x}", "{p;w}d= x}"},
                                                                        {"{x", "{{x}", "{{x}"},
                                                                        {"密码", "{密码}", "{密码}"}}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(connstr::bracedOdbcValue(value, kOdbcRule), doubled);
        EXPECT_EQ(connstr::bracedOdbcValue(value, kFreeTds13), legacy);
    }
    // Without the escape a driver cannot be told "};" or a closing brace at the end.
    for (const char* value : {"x};y", "x}"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(connstr::bracedOdbcValue(value, kOdbcRule).size(), std::string(value).size() + 3);
        EXPECT_THROW(connstr::bracedOdbcValue(value, kFreeTds13), ado::DatabaseError);
    }
}

TEST(TranslateConnectionString, MasterFormForTheDriver) {
    const auto target =
        connstr::translate(connectionStringFor(settings("HRSRV", "Ostrel", "sa", "pw"), true), kFreeTds13);
    EXPECT_EQ(target.connectionString,
              "Driver={FreeTDS};Server={HRSRV};Database={Master};UID={sa};PWD={pw};TDS_Version={7.4};"
              "ClientCharset={UTF-8};");
    EXPECT_EQ(target.loginTimeoutSeconds, connstr::kLoginTimeoutSeconds);
    // A driver that encrypts by default is told that the server may lack a trusted certificate.
    EXPECT_EQ(
        connstr::translate("data source=h;user id=u;password=p", {"ODBC Driver 18 for SQL Server", false, true, true})
            .connectionString,
        "Driver={ODBC Driver 18 for SQL Server};Server={h};UID={u};PWD={p};Encrypt={Optional};");
}

TEST(TranslateConnectionString, DataSourceForms) {
    const auto server = [](const std::string& dataSource) {
        const std::string odbc =
            connstr::translate(
                "provider=sqloledb;data source=" + connstr::quoteOleDbValue(dataSource) + ";user id=u;password=p",
                kOdbcRule)
                .connectionString;
        const auto start = odbc.find("Server=");
        return odbc.substr(start, odbc.find(";UID") - start);
    };
    EXPECT_EQ(server("host\\SQLEXPRESS"), "Server={host\\SQLEXPRESS}");
    EXPECT_EQ(server("127.0.0.1,14330"), "Server={127.0.0.1};Port={14330}");
    EXPECT_EQ(server("tcp:db.example , 1500"), "Server={db.example};Port={1500}");
    EXPECT_EQ(server("host\\inst,1500"), "Server={host};Port={1500}");
    EXPECT_EQ(server("."), "Server={127.0.0.1}");
    EXPECT_EQ(server("(local)"), "Server={127.0.0.1}");
    EXPECT_EQ(server("(LOCAL)\\SQLEXPRESS"), "Server={127.0.0.1\\SQLEXPRESS}");
    EXPECT_EQ(server(""), "Server={127.0.0.1}");
    EXPECT_EQ(server("[::1]"), "Server={[::1]}");
    // Text that no host or instance name holds is refused before the driver could look it up.
    for (const char* bad : {"host,12ab", "my server", "127.0.0.1;Driver=/tmp/x.so", "h\\in st", "h{x}", "a=b"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(server(bad), ado::DatabaseError);
    }
}

TEST(TranslateConnectionString, SynonymsQuotingAndTimeouts) {
    const auto target = connstr::translate(
        "Server=h;Database=人事;UID='a;b';PWD=\"x}y\";Connect Timeout=3;Application Name=Dovrel;"
        "Persist Security Info=False",
        kOdbcRule);
    EXPECT_EQ(target.connectionString, "Driver={D};Server={h};Database={人事};UID={a;b};PWD={x}}y};APP={Dovrel};");
    EXPECT_EQ(target.loginTimeoutSeconds, 3u);
    EXPECT_EQ(connstr::translate("data source=h;connection timeout=0", kOdbcRule).loginTimeoutSeconds, 0u);
    EXPECT_THROW(connstr::translate("data source=h;connect timeout=soon", kOdbcRule), ado::DatabaseError);

    const auto empty = connstr::translate(connectionStringFor(settings("h", "", "", ""), false), kOdbcRule);
    EXPECT_EQ(empty.connectionString, "Driver={D};Server={h};Database={};UID={};PWD={};");
    EXPECT_EQ(
        connstr::translate("Provider=SQLOLEDB.1;Integrated Security=SSPI;Data Source=h", kOdbcRule).connectionString,
        "Driver={D};Server={h};Trusted_Connection={Yes};");
}

TEST(TranslateConnectionString, KeywordsOutsideTheListAreRefusedByName) {
    for (const auto& [text, keyword] : std::vector<std::pair<std::string, std::string>>{
             {"Driver={FreeTDS};Server=h;PWD=x;", "driver"},
             {"DSN=hr;UID=u", "dsn"},
             {"data source=h;FileDSN=/tmp/x.dsn", "filedsn"},
             {"data source=h;SaveFile=/tmp/y.dsn", "savefile"},
             {"provider=sqloledb;data source=h;user id=u;password=p;Driver=/tmp/x.so", "driver"},
             {"provider=sqloledb;data source=h;Network Library=dbmssocn", "network library"}}) {
        SCOPED_TRACE(text);
        try {
            connstr::translate(text, kOdbcRule);
            ADD_FAILURE() << "accepted";
        } catch (const ado::DatabaseError& e) {
            EXPECT_NE(e.description().find("\"" + keyword + "\""), std::string::npos) << e.description();
        }
    }
    // A quoted value that merely holds "dsn=" is data.
    EXPECT_NO_THROW(connstr::translate("provider=sqloledb;data source=h;password='a;dsn=b'", kOdbcRule));
    for (const char* bad : {"", "   ", "nonsense", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(connstr::translate(bad, kOdbcRule), ado::DatabaseError);
    }
}

TEST(TranslateConnectionString, FindsTheInstalledDriver) {
    // tdsodbc registers itself as "FreeTDS" on the machines the program runs on.
    const std::string odbc = connstr::toOdbc("data source=h");
    EXPECT_TRUE(odbc.starts_with("Driver={")) << odbc;
    EXPECT_NE(odbc.find(";Server={h};"), std::string::npos) << odbc;
}

}  // namespace
}  // namespace dovrel
