#pragma once
// Connection strings, and opening a query on a connection made from one.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "db/ado.h"

namespace dovrel {

// Opens `sql` on a connection made from `connectionString`; nullptr on any
// failure, no message.
std::unique_ptr<ado::Recordset> OpenRecordset(const std::string& connectionString, const std::string& sql);
// True when `sql` could be opened on that connection; nothing else is kept.
bool TryConnect(const std::string& connectionString, const std::string& sql);

namespace connstr {

// Keywords (lower case, inner blanks kept: "data source") and values of an
// OLE DB connection string, parsed as OLE DB does: keywords
// case-insensitive, blanks around keywords and values ignored, values in
// single or double quotes taken literally (a doubled quote stands for one).
std::map<std::string, std::string> parse(const std::string& connectionString);

// `value` as an OLE DB connection string value: unchanged when it reads
// back as it is, otherwise in quotes (";", quotes, blanks at either end).
std::string quoteOleDbValue(const std::string& value);

// The provider's usual login time-out.
inline constexpr unsigned kLoginTimeoutSeconds = 15;

// What the driver is given: its connection string and the login time-out
// ("connect timeout" of the OLE DB string, else 15 s).
struct OdbcTarget {
    std::string connectionString;
    unsigned loginTimeoutSeconds = kLoginTimeoutSeconds;
};

// The ODBC driver a connection goes through, and how it reads its
// connection string.
struct Driver {
    std::string name;
    bool freeTds = false;            // takes TDS_Version and ClientCharset
    bool doublesBraces = true;       // reads "}}" inside a braced value as one "}"
    bool encryptsByDefault = false;  // refuses servers without a trusted certificate unless told otherwise
};

// The ODBC connection string for `driver` that an OLE DB connection string
// means. Only these keywords are understood: provider (SQL Server's),
// data source / server / address / addr / network address, initial catalog
// / database, user id / uid / user, password / pwd, integrated security /
// trusted_connection, connect timeout / connection timeout, application
// name / app, workstation id / wsid, current language and persist security
// info. Any other
// keyword (Driver, DSN, FileDSN, SaveFile, ...) is refused with an error
// that names it, before anything is loaded: a setting must never choose
// what the program loads. Every value reaches the driver in braces, so no
// value can add a keyword of its own. Throws DatabaseError.
OdbcTarget translate(const std::string& connectionString, const Driver& driver);
// translate() with the installed SQL Server driver.
OdbcTarget resolve(const std::string& connectionString);
std::string toOdbc(const std::string& connectionString);

// `value` in braces as `driver` reads it back. Throws DatabaseError for a
// value the driver cannot receive (a "};" for a driver without the
// doubled-brace escape).
std::string bracedOdbcValue(const std::string& value, const Driver& driver);

}  // namespace connstr
}  // namespace dovrel
