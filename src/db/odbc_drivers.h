#pragma once
// Finding the installed ODBC driver that speaks to SQL Server.
#include <string>
#include <vector>

namespace dovrel::ado::odbc {

// The driver names the driver manager knows, in its order.
std::vector<std::string> installedDrivers();

// The preferred one among `drivers`: the first whose name contains
// "FreeTDS", else the first that contains "SQL Server" (letter case
// ignored); empty when there is none.
std::string chooseSqlServerDriver(const std::vector<std::string>& drivers);

// The installed SQL Server driver, looked up once. Throws DatabaseError
// naming the Debian package to install when there is none.
std::string sqlServerDriver();

// Loads the SQL Server driver's library and keeps it loaded for the run,
// so that the first connection does not pay for it. Safe to run on another
// thread while the program starts, as long as nothing connects meanwhile;
// any failure is left for the first connection to report.
void preloadSqlServerDriver();

}  // namespace dovrel::ado::odbc
