#include "db/ado.h"

#include <limits>

#include "db/ado_errors.h"
#include "db/connection_string.h"
#include "db/odbc_batch.h"
#include "db/odbc_handles.h"
#include "db/odbc_text.h"

namespace dovrel::ado {

struct Connection::Impl {
    std::shared_ptr<const odbc::Handle> environment;
    odbc::Handle dbc;
    bool inTransaction = false;
};

namespace {

// Runs one driver call on the connection handle; its failures go to the
// errors collection and are thrown.
void driverCall(Errors& errors, SQLRETURN rc, SQLHDBC dbc, const char* call) {
    try {
        odbc::check(rc, SQL_HANDLE_DBC, dbc, call);
    } catch (const DatabaseError& e) {
        for (const ErrorEntry& entry : e.entries()) errors.Add(entry);
        throw;
    }
}

SQLRETURN setAutocommit(SQLHDBC dbc, bool on) {
    return SQLSetConnectAttr(
        dbc, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
        SQL_IS_UINTEGER);
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
        // A failing rollback or disconnect must not escape a destructor.
    }
}

void Connection::Open(const std::string& connectionString) {
    if (IsOpen()) throw objectOpenError();
    try {
        const connstr::OdbcTarget target = connstr::resolve(connectionString);
        std::u16string text = odbc::toUtf16(target.connectionString);
        // The driver takes the length as a 16-bit number: a longer string
        // would arrive cut short, and the connection be made with what is left.
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<SQLSMALLINT>::max()))
            throw badConnectionStringError("the connection string is longer than 32767 characters");
        // The driver reads some values (the server's name) only up to a NUL.
        if (text.find(u'\0') != std::u16string::npos)
            throw badConnectionStringError("the connection string holds a NUL character");
        auto impl = std::make_unique<Impl>();
        impl->environment = odbc::environment();
        impl->dbc = odbc::Handle(SQL_HANDLE_DBC, impl->environment->get());
        const SQLHDBC dbc = impl->dbc.get();
        odbc::check(SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(target.loginTimeoutSeconds)),
                                      SQL_IS_UINTEGER),
                    SQL_HANDLE_DBC, dbc, "SQLSetConnectAttr");
        odbc::check(SQLDriverConnectW(dbc, nullptr, odbc::wide(text), static_cast<SQLSMALLINT>(text.size()), nullptr, 0,
                                      nullptr, SQL_DRIVER_NOPROMPT),
                    SQL_HANDLE_DBC, dbc, "SQLDriverConnect");
        impl_ = std::move(impl);
    } catch (const DatabaseError& e) {
        for (const ErrorEntry& entry : e.entries()) errors_.Add(entry);
        throw;
    }
}

void Connection::Close() {
    if (!IsOpen()) return;
    std::unique_ptr<Impl> impl = std::move(impl_);
    const SQLHDBC dbc = impl->dbc.get();
    if (impl->inTransaction) SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
    SQLDisconnect(dbc);
}

bool Connection::IsOpen() const { return impl_ != nullptr; }

void Connection::BeginTrans() {
    if (!IsOpen()) throw objectClosedError();
    if (impl_->inTransaction) throw transactionActiveError();
    driverCall(errors_, setAutocommit(impl_->dbc.get(), false), impl_->dbc.get(), "SQLSetConnectAttr");
    impl_->inTransaction = true;
}

void Connection::CommitTrans() { endTransaction(SQL_COMMIT); }

void Connection::RollbackTrans() { endTransaction(SQL_ROLLBACK); }

void Connection::endTransaction(short completion) {
    if (!IsOpen()) throw objectClosedError();
    if (!impl_->inTransaction) throw noTransactionError();
    const SQLHDBC dbc = impl_->dbc.get();
    driverCall(errors_, SQLEndTran(SQL_HANDLE_DBC, dbc, completion), dbc, "SQLEndTran");
    impl_->inTransaction = false;
    driverCall(errors_, setAutocommit(dbc, true), dbc, "SQLSetConnectAttr");
}

bool Connection::InTransaction() const { return IsOpen() && impl_->inTransaction; }

std::unique_ptr<Recordset> Connection::Execute(const std::string& sql) {
    if (!IsOpen()) throw objectClosedError();
    odbc::BatchOutcome outcome = odbc::runBatch(impl_->dbc.get(), sql, commandTimeout_);
    for (const ErrorEntry& entry : outcome.failures) errors_.Add(entry);
    if (!outcome.failures.empty()) throw DatabaseError(std::move(outcome.failures));
    if (!outcome.firstResult) return nullptr;
    return std::make_unique<Recordset>(std::move(outcome.firstResult));
}

void* Connection::nativeHandle() const { return IsOpen() ? impl_->dbc.get() : nullptr; }

Transaction::~Transaction() {
    if (done_) return;
    try {
        if (connection_.InTransaction()) connection_.RollbackTrans();
    } catch (...) {
        // Nothing to report from a destructor; the server drops the work with the connection.
    }
}

void Transaction::commit() {
    connection_.CommitTrans();
    done_ = true;
}

}  // namespace dovrel::ado
