// Reading an ADO connection string as the OLE DB layer does and saying the
// same to the ODBC driver.
#include <algorithm>
#include <cctype>
#include <initializer_list>

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
        if (!allDigits(address.port)) throw ado::badConnectionStringError("the port of the data source is not a number");
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
    if (!allDigits(*value) || value->size() > 6) throw ado::badConnectionStringError("the connect timeout is not a number");
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

void append(std::string& out, const char* keyword, const std::string& value) {
    out += keyword;
    out += '=';
    out += quoteOdbcValue(value);
    out += ';';
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

std::string quoteOdbcValue(const std::string& value) {
    // The driver (FreeTDS 1.3) reads a value that starts with "{" up to the
    // first "}" followed by ";" and knows no escape inside the braces; any
    // other value runs to the next ";".
    if (value.find(';') == std::string::npos && !value.starts_with('{')) return value;
    if (value.find("};") != std::string::npos)
        throw ado::badConnectionStringError("a value holds \"};\", which the ODBC driver cannot receive");
    return "{" + value + "}";
}

namespace {

// Whether ODBC's own reading (braced values) finds Driver, DSN or FileDSN.
bool namesOdbcDriver(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t equals = s.find('=', i);
        if (equals == std::string::npos) return false;
        const std::size_t semicolon = s.find(';', i);
        if (semicolon < equals) {
            i = semicolon + 1;
            continue;
        }
        const std::string keyword = lower(trim(std::string_view(s).substr(i, equals - i)));
        if (keyword == "driver" || keyword == "dsn" || keyword == "filedsn") return true;
        std::size_t next = equals + 1;
        while (next < s.size() && isBlank(s[next])) ++next;
        if (next < s.size() && s[next] == '{') {
            // Up to the closing brace; "}}" is a brace inside the value.
            for (++next; next < s.size(); ++next) {
                if (s[next] != '}') continue;
                if (next + 1 < s.size() && s[next + 1] == '}') {
                    ++next;
                    continue;
                }
                break;
            }
        }
        const std::size_t end = s.find(';', next);
        if (end == std::string::npos) return false;
        i = end + 1;
    }
    return false;
}

}  // namespace

bool isOdbc(const std::string& connectionString) {
    // Quoted OLE DB values may hold anything; braced ODBC values do not
    // read as OLE DB. Whichever reading succeeds decides.
    try {
        const Keywords keywords = parse(connectionString);
        return keywords.contains("driver") || keywords.contains("dsn") || keywords.contains("filedsn");
    } catch (const ado::DatabaseError&) {
        return namesOdbcDriver(connectionString);
    }
}

OdbcTarget translate(const std::string& connectionString, const std::string& driverName) {
    if (isOdbc(connectionString)) return {connectionString, kLoginTimeoutSeconds};
    if (trim(connectionString).empty()) throw ado::badConnectionStringError("the connection string is empty");
    const Keywords keywords = parse(connectionString);
    requireSqlServerProvider(keywords);

    OdbcTarget target;
    target.loginTimeoutSeconds = loginTimeout(keywords);
    std::string& out = target.connectionString;
    // Driver names hold blanks and parentheses; the braces are always written.
    const std::string braced = quoteOdbcValue(driverName);
    out += "Driver=" + (braced.starts_with('{') ? braced : "{" + braced + "}") + ";";
    // The network address, when given, says where the data source is.
    const ServerAddress server =
        splitDataSource(lookup(keywords, {"network address", "address", "addr", "data source", "server"}).value_or(""));
    append(out, "Server", server.port.empty() && !server.instance.empty() ? server.host + "\\" + server.instance
                                                                          : server.host);
    if (!server.port.empty()) append(out, "Port", server.port);
    if (const auto database = lookup(keywords, {"initial catalog", "database"})) append(out, "Database", *database);
    const std::optional<std::string> integrated = lookup(keywords, {"integrated security", "trusted_connection"});
    if (integrated && isTrue(*integrated)) {
        append(out, "Trusted_Connection", "Yes");
    } else {
        append(out, "UID", lookup(keywords, {"user id", "uid", "user"}).value_or(""));
        append(out, "PWD", lookup(keywords, {"password", "pwd"}).value_or(""));
    }
    if (const auto app = lookup(keywords, {"application name", "app"})) append(out, "APP", *app);
    if (const auto workstation = lookup(keywords, {"workstation id", "wsid"})) append(out, "WSID", *workstation);
    // Text travels as UTF-8 to the driver and as Unicode on the wire.
    append(out, "TDS_Version", "7.4");
    append(out, "ClientCharset", "UTF-8");
    return target;
}

OdbcTarget resolve(const std::string& connectionString) {
    if (isOdbc(connectionString)) return {connectionString, kLoginTimeoutSeconds};
    return translate(connectionString, ado::odbc::sqlServerDriver());
}

std::string toOdbc(const std::string& connectionString) { return resolve(connectionString).connectionString; }

}  // namespace dovrel::connstr
