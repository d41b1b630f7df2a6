#pragma once
// A small layer over ODBC (unixODBC with the FreeTDS driver) that offers
// what the program needs of ADO: recordsets fetched whole to the client,
// fields with ADO type codes and nullability, connections with
// transactions, multi-statement execution and an errors collection.
//
// Failures are thrown as DatabaseError inside this layer and its callers'
// procedures; every public procedure of the program catches them and turns
// them into its own result.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/runtime_error.h"

namespace dovrel::ado {

// ADO data type codes (DataTypeEnum).
enum DataType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// The provider's usual command time-out.
inline constexpr unsigned kCommandTimeoutSeconds = 30;

// Field attribute: the column accepts nulls (adFldIsNullable).
inline constexpr int adFldIsNullable = 0x20;

// One entry of a connection's Errors collection, as the driver reported it.
struct ErrorEntry {
    int32_t Number = 0;       // the server's message number (native error)
    std::string SQLState;     // five characters
    std::string Description;  // the message text, driver prefixes included
};

// Thrown by the layer; carries every diagnostic record of the failed call.
// Its number, the one that reports show, is the first native number that is
// not 0, else -2147467259 (an unspecified provider failure); its
// description the messages joined by line breaks.
class DatabaseError : public RuntimeError {
public:
    explicit DatabaseError(std::vector<ErrorEntry> entries);
    DatabaseError(std::string sqlState, int32_t nativeError, std::string message);
    const std::vector<ErrorEntry>& entries() const { return entries_; }

private:
    std::vector<ErrorEntry> entries_;
};

class Field {
public:
    Field(std::string name, int type, int attributes) : name_(std::move(name)), type_(type), attributes_(attributes) {}
    const std::string& Name() const { return name_; }
    // The ADO data type code.
    int Type() const { return type_; }
    // Bit adFldIsNullable set when the column accepts nulls.
    int Attributes() const { return attributes_; }
    bool IsNullable() const { return (attributes_ & adFldIsNullable) != 0; }
    // The value of the current row as text; nullopt for SQL NULL (an empty
    // text is an empty value, not a null). Numbers in plain decimal
    // notation, bit as "True"/"False", date and time as
    // "YYYY-MM-DD hh:mm:ss" (with ".fff" when there are milliseconds),
    // binary as uppercase hexadecimal digits. Throws DatabaseError when the
    // recordset has no current row (EOF).
    const std::optional<std::string>& Value() const;

private:
    friend class Recordset;
    std::string name_;
    int type_;
    int attributes_;
    const std::optional<std::string>* current_ = nullptr;
};

class Connection;

// A result set fetched whole to the client (a static client-side cursor):
// RecordCount is exact, rows stay in server order.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Opens `sql` on its own connection made from `connectionString`
    // (closed again as soon as the rows are fetched). Throws DatabaseError.
    // A text whose statements return no result set leaves it closed.
    void Open(const std::string& sql, const std::string& connectionString);
    // Opens `sql` on an open connection. Throws DatabaseError.
    void Open(const std::string& sql, Connection& connection);
    // Drops the rows; nothing when already closed.
    void Close();
    bool IsOpen() const;

    long RecordCount() const;
    bool EOF_() const;  // past the last row (or no rows)
    bool BOF_() const;
    void MoveNext();  // throws DatabaseError when already at EOF
    void MoveFirst();

    std::size_t FieldCount() const;
    // Field by position (0 first); throws DatabaseError when out of range.
    Field& Fields(std::size_t index);
    // Field by name, letter case ignored; throws DatabaseError when missing.
    Field& Fields(const std::string& name);
    // Field by name, nullptr when missing.
    Field* FindField(const std::string& name);
    std::vector<Field>& AllFields();

    // Used by Connection::Execute to hand over a result it fetched.
    struct Data;
    explicit Recordset(std::unique_ptr<Data> data);

private:
    std::unique_ptr<Data> data_;
    std::size_t row_ = 0;
    void bindRow();
};

// The errors collection of a connection: what the last operations
// reported, until cleared.
class Errors {
public:
    long Count() const { return static_cast<long>(items_.size()); }
    const ErrorEntry& Item(long index) const { return items_.at(static_cast<std::size_t>(index)); }
    void Clear() { items_.clear(); }
    void Add(const ErrorEntry& entry) { items_.push_back(entry); }
    const std::vector<ErrorEntry>& items() const { return items_; }

private:
    std::vector<ErrorEntry> items_;
};

// An open connection. The cursor location is always client side.
class Connection {
public:
    Connection();
    ~Connection();  // rolls back an open transaction, then closes
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens with an ADO/OLE DB connection string (or an ODBC one, passed
    // through). Throws DatabaseError; the entries also go to Errors(). A
    // string the driver cannot receive whole (a NUL character, more than
    // 32767 characters) is refused before it is tried.
    void Open(const std::string& connectionString);
    // Rolls back an open transaction, then disconnects; nothing when closed.
    void Close();
    bool IsOpen() const;

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    // Runs a text of one or more statements. Every result of the batch is
    // walked, so each statement runs and each error is collected in
    // Errors(). Returns the first result set that has columns (nullptr when
    // none). Throws DatabaseError when any statement failed, after walking
    // all results.
    std::unique_ptr<Recordset> Execute(const std::string& sql);

    Errors& Errors_() { return errors_; }

    // Seconds a command may run before it is cancelled.
    unsigned CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(unsigned seconds) { commandTimeout_ = seconds; }

    // The ODBC connection handle, for the layer's own use.
    void* nativeHandle() const;

private:
    struct Impl;
    void endTransaction(short completion);
    std::unique_ptr<Impl> impl_;
    Errors errors_;
    unsigned commandTimeout_ = kCommandTimeoutSeconds;
};

// Ends a transaction begun in its constructor: rolls back in the destructor
// unless commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& connection) : connection_(connection) { connection_.BeginTrans(); }
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connection& connection_;
    bool done_ = false;
};

}  // namespace dovrel::ado
