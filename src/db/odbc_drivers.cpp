#include "db/odbc_drivers.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <link.h>
#include <odbcinst.h>
#endif

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <mutex>

#include "db/odbc_handles.h"
#include "db/odbc_text.h"

namespace dovrel::ado::odbc {
namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool contains(const std::string& text, const std::string& part) {
    return lower(text).find(lower(part)) != std::string::npos;
}

#ifdef _WIN32
// The driver's DLL is the driver manager's to load, and a FreeTDS driver's
// version cannot be read from here: it is taken for one without the escape.
bool freeTdsDoublesBraces(const std::string&) { return false; }
#else
// The driver's shared library, loaded; nullptr when it cannot be.
void* loadDriverLibrary(const std::string& driver) {
    char library[4096] = {};
    SQLGetPrivateProfileString(driver.c_str(), "Driver", "", library, sizeof library, "ODBCINST.INI");
    // Never closed: the driver manager loads the same library on the
    // first connection and finds it already there.
    return library[0] != '\0' ? dlopen(library, RTLD_NOW | RTLD_GLOBAL) : nullptr;
}

// FreeTDS reads "}}" inside a braced value as one "}" from version 1.4 on;
// before that it ends a braced value at its first "};" and has no escape.
// The version stands in the library as "freetds v1.3.17".
bool freeTdsDoublesBraces(const std::string& driver) {
    void* handle = loadDriverLibrary(driver);
    link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return false;
    std::ifstream file(map->l_name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t at = bytes.find("freetds v");
    if (at == std::string::npos) return false;
    int major = 0, minor = 0;
    if (std::sscanf(bytes.c_str() + at, "freetds v%d.%d", &major, &minor) != 2) return false;
    return major > 1 || (major == 1 && minor >= 4);
}
#endif

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
        const SQLRETURN rc =
            SQLDriversW(env->get(), direction, name, 512, &nameLength, attributes, 2048, &attributesLength);
        if (!succeeded(rc)) break;
        names.push_back(toUtf8(narrowed(name)));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

std::string chooseSqlServerDriver(const std::vector<std::string>& drivers) {
    for (const char* preferred : {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
                                  "SQL Server Native Client 11.0", "SQL Server", "FreeTDS"})
        for (const std::string& name : drivers)
            if (lower(name) == lower(preferred)) return name;
    for (const char* part : {"FreeTDS", "SQL Server"})
        for (const std::string& name : drivers)
            if (contains(name, part)) return name;
    return {};
}

connstr::Driver describeDriver(const std::string& name) {
    connstr::Driver driver;
    driver.name = name;
    driver.freeTds = contains(name, "FreeTDS");
    driver.doublesBraces = !driver.freeTds || freeTdsDoublesBraces(name);
    driver.encryptsByDefault = contains(name, "ODBC Driver 18");
    return driver;
}

connstr::Driver sqlServerDriver() {
    // Looked up again after a miss, so that a driver installed meanwhile is found.
    static std::mutex lock;
    static connstr::Driver found;
    const std::lock_guard guard(lock);
    if (found.name.empty()) {
        const std::string name = chooseSqlServerDriver(installedDrivers());
        if (!name.empty()) found = describeDriver(name);
    }
#ifdef _WIN32
    if (found.name.empty()) throw DatabaseError("IM002", 0, "No ODBC driver for SQL Server is installed.");
#else
    if (found.name.empty())
        throw DatabaseError("IM002", 0,
                            "No ODBC driver for SQL Server is installed. Install the Debian package tdsodbc "
                            "(apt-get install tdsodbc); it registers the driver \"FreeTDS\".");
#endif
    return found;
}

void preloadSqlServerDriver() {
    try {
#ifdef _WIN32
        sqlServerDriver();  // loads the driver manager; the driver's DLL is its to load
#else
        loadDriverLibrary(sqlServerDriver().name);
#endif
    } catch (const DatabaseError&) {}
}

}  // namespace dovrel::ado::odbc
