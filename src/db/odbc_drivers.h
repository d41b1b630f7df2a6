#pragma once
// Finding the installed ODBC driver that speaks to SQL Server, and how it
// reads a connection string.
#include <string>
#include <vector>

#include "db/connection_string.h"

namespace dovrel::ado::odbc {

// The driver names the driver manager knows, in its order.
std::vector<std::string> installedDrivers();

// The preferred one among `drivers`: Microsoft's ODBC Driver 18 and 17 for
// SQL Server, SQL Server Native Client 11.0, "SQL Server", FreeTDS, in
// that order (names compared without regard to letter case; a name that
// merely contains "FreeTDS" or "SQL Server" comes last); empty when none.
std::string chooseSqlServerDriver(const std::vector<std::string>& drivers);

// What the program needs to know of the driver called `name`.
connstr::Driver describeDriver(const std::string& name);

// The installed SQL Server driver, looked up once. Throws DatabaseError
// naming the Debian package to install when there is none.
connstr::Driver sqlServerDriver();

// Loads the SQL Server driver's library and keeps it loaded for the run,
// so that the first connection does not pay for it. Safe to run on another
// thread while the program starts, as long as nothing connects meanwhile;
// any failure is left for the first connection to report.
void preloadSqlServerDriver();

}  // namespace dovrel::ado::odbc
