// Reading an OLE DB connection string as the OLE DB layer does and saying the
// same to the ODBC driver, with nothing but what the program allows.
#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <set>
#include <string_view>

#include "db/ado_errors.h"
#include "db/connection_string.h"
#include "db/odbc_drivers.h"

namespace dovrel::connstr {
namespace {

using Keywords = std::map<std::string, std::string>;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The first of `names` that the string gives, else nullopt.
std::optional<std::string> lookup(const Keywords& keywords, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (auto it = keywords.find(name); it != keywords.end()) return it->second;
    return std::nullopt;
}

bool isTrue(const std::string& value) {
    const std::string v = lower(value);
    return v == "sspi" || v == "true" || v == "yes";
}

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct ServerAddress {
    std::string host;
    std::string instance;
    std::string port;
};

// "host", "host\instance", "host,port" (optionally "tcp:" before); "." and
// "(local)" are the local server, as is an empty data source.
ServerAddress splitDataSource(std::string dataSource) {
    if (lower(dataSource.substr(0, 4)) == "tcp:") dataSource.erase(0, 4);
    ServerAddress address;
    if (const auto comma = dataSource.find(','); comma != std::string::npos) {
        address.port = trim(std::string_view(dataSource).substr(comma + 1));
        dataSource.erase(comma);
        if (!allDigits(address.port))
            throw ado::badConnectionStringError("the port of the data source is not a number");
    }
    if (const auto slash = dataSource.find('\\'); slash != std::string::npos) {
        address.instance = trim(std::string_view(dataSource).substr(slash + 1));
        dataSource.erase(slash);
    }
    address.host = trim(dataSource);
    const std::string host = lower(address.host);
    if (host.empty() || host == "." || host == "(local)") address.host = "127.0.0.1";
    return address;
}

unsigned loginTimeout(const Keywords& keywords) {
    const std::optional<std::string> value = lookup(keywords, {"connect timeout", "connection timeout"});
    if (!value) return kLoginTimeoutSeconds;
    if (!allDigits(*value) || value->size() > 6)
        throw ado::badConnectionStringError("the connect timeout is not a number");
    return static_cast<unsigned>(std::stoul(*value));
}

void requireSqlServerProvider(const Keywords& keywords) {
    const std::optional<std::string> provider = lookup(keywords, {"provider"});
    if (!provider) return;
    const std::string name = lower(*provider);
    for (const char* known : {"sqloledb", "sqlncli", "msoledbsql"})
        if (name.starts_with(known)) return;
    throw ado::DatabaseError("IM002", 3706, "Provider cannot be found. It may not be properly installed.");
}

}  // namespace

Keywords parse(const std::string& connectionString) {
    Keywords keywords;
    const std::string& s = connectionString;
    std::size_t i = 0;
    while (i < s.size()) {
        if (isBlank(s[i]) || s[i] == ';') {
            ++i;
            continue;
        }
        std::string keyword;
        for (;;) {
            if (i >= s.size() || s[i] == ';')
                throw ado::badConnectionStringError("\"" + trim(keyword) + "\" is not followed by \"=\"");
            if (s[i] == '=') {
                if (i + 1 < s.size() && s[i + 1] == '=') {  // "==" is an equal sign inside a keyword
                    keyword += '=';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            keyword += s[i++];
        }
        keyword = lower(trim(keyword));
        if (keyword.empty()) throw ado::badConnectionStringError("a value has no keyword");

        while (i < s.size() && isBlank(s[i])) ++i;
        std::string value;
        if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
            const char quote = s[i++];
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == quote) {
                    if (i + 1 < s.size() && s[i + 1] == quote) {  // a doubled quote stands for one
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed) throw ado::badConnectionStringError("the value of \"" + keyword + "\" has no closing quote");
            while (i < s.size() && isBlank(s[i])) ++i;
            if (i < s.size() && s[i] != ';')
                throw ado::badConnectionStringError("text follows the quoted value of \"" + keyword + "\"");
        } else {
            const std::size_t end = std::min(s.find(';', i), s.size());
            value = trim(std::string_view(s).substr(i, end - i));
            i = end;
        }
        keywords[keyword] = value;  // the last one of a keyword given twice counts
    }
    return keywords;
}

std::string quoteOleDbValue(const std::string& value) {
    const bool plain = value.find_first_of(";'\"") == std::string::npos &&
                       (value.empty() || (!isBlank(value.front()) && !isBlank(value.back())));
    if (plain) return value;
    // Double quotes unless the value holds one; single quotes unless it
    // holds both; then the chosen quote is doubled inside.
    const char quote = value.find('"') == std::string::npos ? '"' : value.find('\'') == std::string::npos ? '\'' : '"';
    std::string out(1, quote);
    for (char c : value) {
        out += c;
        if (c == quote) out += quote;
    }
    return out + quote;
}

std::string bracedOdbcValue(const std::string& value, const Driver& driver) {
    if (driver.doublesBraces) {
        std::string out = "{";
        for (char c : value) {
            out += c;
            if (c == '}') out += '}';
        }
        return out + "}";
    }
    // Without the escape the driver ends a braced value at its first "};".
    if (value.find("};") != std::string::npos || value.ends_with('}'))
        throw ado::badConnectionStringError("a value holds \"}\" where the ODBC driver " + driver.name +
                                            " would end it; it cannot be passed to that driver");
    return "{" + value + "}";
}

namespace {

// The keywords an OLE DB string may name, and the ODBC keyword (if any)
// each one becomes.
const std::set<std::string>& knownKeywords() {
    static const std::set<std::string> known = {"provider",
                                                "data source",
                                                "server",
                                                "address",
                                                "addr",
                                                "network address",
                                                "initial catalog",
                                                "database",
                                                "user id",
                                                "uid",
                                                "user",
                                                "password",
                                                "pwd",
                                                "integrated security",
                                                "trusted_connection",
                                                "connect timeout",
                                                "connection timeout",
                                                "application name",
                                                "app",
                                                "workstation id",
                                                "wsid",
                                                "persist security info",
                                                "current language"};
    return known;
}

void refuseUnknownKeywords(const Keywords& keywords) {
    for (const auto& [keyword, value] : keywords)
        if (!knownKeywords().contains(keyword))
            throw ado::badConnectionStringError("the keyword \"" + keyword + "\" is not accepted");
}

// A host name, an IPv4 address or a bracketed IPv6 address: the driver
// would otherwise look up whatever text stands there.
bool isHostName(const std::string& host) {
    if (host.empty()) return false;
    for (char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || u == 0x7F) return false;
        if (std::string_view(";=,{}'\"\\/<>|*?`").find(c) != std::string_view::npos) return false;
    }
    return true;
}

bool isInstanceName(const std::string& instance) {
    return isHostName(instance) && instance.find(':') == std::string::npos;
}

}  // namespace

OdbcTarget translate(const std::string& connectionString, const Driver& driver) {
    if (trim(connectionString).empty()) throw ado::badConnectionStringError("the connection string is empty");
    const Keywords keywords = parse(connectionString);
    refuseUnknownKeywords(keywords);
    requireSqlServerProvider(keywords);

    OdbcTarget target;
    target.loginTimeoutSeconds = loginTimeout(keywords);
    std::string& out = target.connectionString;
    const auto append = [&](const char* keyword, const std::string& value) {
        out += keyword;
        out += '=';
        out += bracedOdbcValue(value, driver);
        out += ';';
    };
    append("Driver", driver.name);
    // The network address, when given, says where the data source is.
    const ServerAddress server =
        splitDataSource(lookup(keywords, {"network address", "address", "addr", "data source", "server"}).value_or(""));
    if (!isHostName(server.host))
        throw ado::badConnectionStringError("\"" + server.host + "\" is not the name or address of a server");
    if (server.port.empty() && !server.instance.empty() && !isInstanceName(server.instance))
        throw ado::badConnectionStringError("\"" + server.instance + "\" is not the name of a server instance");
    append("Server",
           server.port.empty() && !server.instance.empty() ? server.host + "\\" + server.instance : server.host);
    if (!server.port.empty()) append("Port", server.port);
    if (const auto database = lookup(keywords, {"initial catalog", "database"})) append("Database", *database);
    const std::optional<std::string> integrated = lookup(keywords, {"integrated security", "trusted_connection"});
    if (integrated && isTrue(*integrated)) {
        append("Trusted_Connection", "Yes");
    } else {
        append("UID", lookup(keywords, {"user id", "uid", "user"}).value_or(""));
        append("PWD", lookup(keywords, {"password", "pwd"}).value_or(""));
    }
    if (const auto app = lookup(keywords, {"application name", "app"})) append("APP", *app);
    if (const auto workstation = lookup(keywords, {"workstation id", "wsid"})) append("WSID", *workstation);
    if (const auto language = lookup(keywords, {"current language"})) append("Language", *language);
    if (driver.freeTds) {
        // Text travels as UTF-8 to the driver and as Unicode on the wire.
        append("TDS_Version", "7.4");
        append("ClientCharset", "UTF-8");
    }
    // Servers of this application seldom have a certificate the client
    // trusts; the other drivers do not insist on one either.
    if (driver.encryptsByDefault) append("Encrypt", "Optional");
    return target;
}

OdbcTarget resolve(const std::string& connectionString) {
    return translate(connectionString, ado::odbc::sqlServerDriver());
}

std::string toOdbc(const std::string& connectionString) { return resolve(connectionString).connectionString; }

}  // namespace dovrel::connstr
