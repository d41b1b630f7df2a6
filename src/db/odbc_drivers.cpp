#include "db/odbc_drivers.h"

#include <dlfcn.h>
#include <odbcinst.h>

#include <algorithm>
#include <cctype>

#include "db/odbc_handles.h"

namespace dovrel::ado::odbc {
namespace {

bool containsIgnoringCase(const std::string& text, const std::string& part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

}  // namespace

std::vector<std::string> installedDrivers() {
    const auto env = environment();
    std::vector<std::string> names;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[512];
        SQLCHAR attributes[2048];
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(env->get(), direction, name, sizeof name, &nameLength, attributes,
                                        sizeof attributes, &attributesLength);
        if (!succeeded(rc)) break;
        names.emplace_back(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

std::string chooseSqlServerDriver(const std::vector<std::string>& drivers) {
    for (const char* preferred : {"FreeTDS", "SQL Server"})
        for (const std::string& name : drivers)
            if (containsIgnoringCase(name, preferred)) return name;
    return {};
}

std::string sqlServerDriver() {
    // Looked up again after a miss, so that a driver installed meanwhile is found.
    static std::string found;
    if (found.empty()) found = chooseSqlServerDriver(installedDrivers());
    if (found.empty())
        throw DatabaseError("IM002", 0,
                            "No ODBC driver for SQL Server is installed. Install the Debian package tdsodbc "
                            "(apt-get install tdsodbc); it registers the driver \"FreeTDS\".");
    return found;
}

void preloadSqlServerDriver() {
    try {
        const std::string driver = sqlServerDriver();
        char library[4096] = {};
        SQLGetPrivateProfileString(driver.c_str(), "Driver", "", library, sizeof library, "ODBCINST.INI");
        // Never closed: the driver manager loads the same library on the
        // first connection and finds it already there.
        if (library[0] != '\0') dlopen(library, RTLD_NOW | RTLD_GLOBAL);
    } catch (const DatabaseError&) {
    }
}

}  // namespace dovrel::ado::odbc
