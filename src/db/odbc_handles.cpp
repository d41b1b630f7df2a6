#include "db/odbc_handles.h"

#include <algorithm>
#include <utility>

#include "db/odbc_text.h"

namespace dovrel::ado::odbc {

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!succeeded(rc)) {
        handle_ = SQL_NULL_HANDLE;
        if (parent != SQL_NULL_HANDLE) {
            const SQLSMALLINT parentType = type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC;
            check(SQL_ERROR, parentType, parent, "SQLAllocHandle");
        }
        throw DatabaseError("HY001", 0, "The ODBC driver manager could not allocate a handle.");
    }
}

Handle::~Handle() { reset(); }

Handle::Handle(Handle&& other) noexcept : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void Handle::reset() noexcept {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
    handle_ = SQL_NULL_HANDLE;
}

std::shared_ptr<const Handle> environment() {
    static const std::shared_ptr<const Handle> env = [] {
        auto handle = std::make_shared<Handle>(SQL_HANDLE_ENV, nullptr);
        check(SQLSetEnvAttr(handle->get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV, handle->get(), "SQLSetEnvAttr");
        return handle;
    }();
    return env;
}

std::vector<ErrorEntry> diagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<ErrorEntry> entries;
    if (handle == SQL_NULL_HANDLE) return entries;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        std::u16string message(1024, u'\0');
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &native, wide(message),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.assign(static_cast<std::size_t>(length) + 1, u'\0');
            rc = SQLGetDiagRecW(handleType, handle, record, state, &native, wide(message),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!succeeded(rc)) break;
        message.resize(std::min<std::size_t>(static_cast<std::size_t>(length), message.size()));
        entries.push_back({native, toUtf8(narrowed(state)), toUtf8(message)});
    }
    return entries;
}

bool isFailure(const ErrorEntry& entry) {
    return !(entry.SQLState.starts_with("00") || entry.SQLState.starts_with("01"));
}

std::vector<ErrorEntry> failures(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call) {
    std::vector<ErrorEntry> found;
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) return found;
    if (rc == SQL_INVALID_HANDLE) {
        found.push_back({0, "HY000", std::string(call) + ": invalid ODBC handle."});
        return found;
    }
    const std::vector<ErrorEntry> all = diagnostics(handleType, handle);
    for (const ErrorEntry& entry : all)
        if (isFailure(entry)) found.push_back(entry);
    if (rc == SQL_ERROR && found.empty()) {
        // A failure reported with warnings only, or with no record at all.
        found = all;
        if (found.empty()) found.push_back({0, "HY000", std::string(call) + " failed without a diagnostic record."});
    }
    return found;
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call) {
    if (succeeded(rc) || rc == SQL_NO_DATA) return;
    throw DatabaseError(failures(rc, handleType, handle, call));
}

}  // namespace dovrel::ado::odbc
