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

}  // namespace dovrel::ado::odbc
