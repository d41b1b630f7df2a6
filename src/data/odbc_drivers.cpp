#include "data/odbc_drivers.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <odbcinst.h>
#endif

#include <algorithm>
#include <cctype>

#include "data/odbc_handles.h"
#include "data/odbc_text.h"

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
        // The wide call: Wine's driver manager has no narrow one.
        SQLWCHAR name[512] = {};
        SQLWCHAR attributes[2048];
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDriversW(env->get(), direction, name, 512, &nameLength, attributes, 2048,
                                         &attributesLength);
        if (!succeeded(rc)) break;
        names.push_back(toUtf8(narrowed(name)));
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
#ifdef _WIN32
    if (found.empty()) throw DatabaseError("IM002", 0, "No ODBC driver for SQL Server is installed.");
#else
    if (found.empty())
        throw DatabaseError("IM002", 0,
                            "No ODBC driver for SQL Server is installed. Install the Debian package tdsodbc "
                            "(apt-get install tdsodbc); it registers the driver \"FreeTDS\".");
#endif
    return found;
}

#ifdef _WIN32
// The driver's DLL is the driver manager's to load; looking the driver up
// already loads the manager itself.
void preloadSqlServerDriver() {
    try {
        sqlServerDriver();
    } catch (const DatabaseError&) {
    }
}
#else
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
#endif

}  // namespace dovrel::ado::odbc
