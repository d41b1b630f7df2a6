// The connection-string reader and its translation for the driver: any
// text is either read or refused with a DatabaseError, never a crash.
#include <cstdint>
#include <string>

#include "db/connection_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        dovrel::connstr::parse(text);
    } catch (const dovrel::ado::DatabaseError&) {}
    // Each kind of driver writes braced values its own way.
    for (const dovrel::connstr::Driver& driver :
         {dovrel::connstr::Driver{"FreeTDS", true, false, false},
          dovrel::connstr::Driver{"ODBC Driver 18 for SQL Server", false, true, true}}) {
        try {
            dovrel::connstr::translate(text, driver);
        } catch (const dovrel::ado::DatabaseError&) {}
    }
    return 0;
}
