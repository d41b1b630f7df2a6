#pragma once
// Owning wrappers of the ODBC handles and the reading of diagnostic records
// into the entries of the errors collection.
#include <memory>
#include <string>
#include <vector>

#include "db/ado.h"
#include "db/odbc_headers.h"

namespace dovrel::ado::odbc {

// One ODBC handle, freed with the object.
class Handle {
public:
    Handle() = default;
    // Allocates a handle of `type` under `parent`; throws DatabaseError.
    Handle(SQLSMALLINT type, SQLHANDLE parent);
    ~Handle();
    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }

private:
    void reset() noexcept;
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = nullptr;
};

// The ODBC 3 environment of the process. Connections hold a share of it so
// that it outlives every connection handle, whatever the order of exit.
std::shared_ptr<const Handle> environment();

inline bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Every diagnostic record the handle holds, in the driver's order.
std::vector<ErrorEntry> diagnostics(SQLSMALLINT handleType, SQLHANDLE handle);

// True for a record that reports a failure; false for a warning or an
// informational message (SQLSTATE classes 00 and 01).
bool isFailure(const ErrorEntry& entry);

// The failures among the handle's records after a call that returned `rc`.
// A call that returned SQL_ERROR always gives at least one entry.
std::vector<ErrorEntry> failures(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call);

// Throws DatabaseError with the handle's failures when `rc` is an error.
void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call);

}  // namespace dovrel::ado::odbc
