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
// OLE DB / ODBC connection string, parsed as OLE DB does: keywords
// case-insensitive, blanks around keywords and values ignored, values in
// single or double quotes taken literally (a doubled quote stands for one).
std::map<std::string, std::string> parse(const std::string& connectionString);

// The ODBC connection string for the FreeTDS driver that the given ADO
// connection string means; a string that already names Driver= or DSN= is
// returned unchanged. Throws DatabaseError when no SQL Server driver is
// installed (the message names the package to install).
std::string toOdbc(const std::string& connectionString);

// The provider's usual login time-out.
inline constexpr unsigned kLoginTimeoutSeconds = 15;

// What the driver is given: its connection string and the login time-out
// ("connect timeout" of the ADO string, else 15 s).
struct OdbcTarget {
    std::string connectionString;
    unsigned loginTimeoutSeconds = kLoginTimeoutSeconds;
};

// True for a string already meant for ODBC (it names Driver=, DSN= or FileDSN=).
bool isOdbc(const std::string& connectionString);
// toOdbc for a known driver name. Throws DatabaseError for an empty or
// unusable string or a provider other than SQL Server's.
OdbcTarget translate(const std::string& connectionString, const std::string& driverName);
// translate() with the installed SQL Server driver; ODBC strings pass unchanged.
OdbcTarget resolve(const std::string& connectionString);
// A value as the driver reads it back: in braces when it holds ";" or
// starts with "{". Throws DatabaseError for a value holding "};", which the
// driver cannot receive.
std::string quoteOdbcValue(const std::string& value);

}  // namespace connstr
}  // namespace dovrel
