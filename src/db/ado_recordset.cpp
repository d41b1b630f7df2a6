#include <algorithm>

#include "db/ado.h"
#include "db/ado_errors.h"
#include "db/ado_recordset_data.h"
#include "db/odbc_batch.h"
#include "platform/text.h"

namespace dovrel::ado {
const std::optional<std::string>& Field::Value() const {
    if (current_ == nullptr) throw noCurrentRecordError();
    return *current_;
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

Recordset::Recordset(std::unique_ptr<Data> data) : data_(std::move(data)) { bindRow(); }

void Recordset::Open(const std::string& sql, const std::string& connectionString) {
    if (IsOpen()) throw objectOpenError();
    // The implicit connection lives only as long as the fetch: the rows are
    // all on the client once Open returns.
    Connection connection;
    connection.Open(connectionString);
    Open(sql, connection);
}

void Recordset::Open(const std::string& sql, Connection& connection) {
    if (IsOpen()) throw objectOpenError();
    if (!connection.IsOpen()) throw objectClosedError();
    odbc::BatchOutcome outcome =
        odbc::runBatch(static_cast<SQLHDBC>(connection.nativeHandle()), sql, connection.CommandTimeout());
    for (const ErrorEntry& entry : outcome.failures) connection.Errors_().Add(entry);
    if (outcome.failuresUpToFirstResult > 0) {
        outcome.failures.resize(outcome.failuresUpToFirstResult);
        throw DatabaseError(std::move(outcome.failures));
    }
    // A statement that returns no rows at all leaves the recordset closed.
    data_ = std::move(outcome.firstResult);
    row_ = 0;
    bindRow();
}

void Recordset::Close() {
    data_.reset();
    row_ = 0;
}

bool Recordset::IsOpen() const { return data_ != nullptr; }

long Recordset::RecordCount() const {
    if (!IsOpen()) throw objectClosedError();
    return static_cast<long>(data_->rows.size());
}

bool Recordset::EOF_() const {
    if (!IsOpen()) throw objectClosedError();
    return row_ >= data_->rows.size();
}

bool Recordset::BOF_() const {
    if (!IsOpen()) throw objectClosedError();
    // The cursor never moves before the first row, so only an empty result is at BOF.
    return data_->rows.empty();
}

void Recordset::MoveNext() {
    if (EOF_()) throw noCurrentRecordError();
    ++row_;
    bindRow();
}

void Recordset::MoveFirst() {
    if (!IsOpen()) throw objectClosedError();
    row_ = 0;
    bindRow();
}

std::size_t Recordset::FieldCount() const {
    if (!IsOpen()) throw objectClosedError();
    return data_->fields.size();
}

Field& Recordset::Fields(std::size_t index) {
    if (index >= FieldCount()) throw itemNotFoundError();
    return data_->fields[index];
}

Field& Recordset::Fields(const std::string& name) {
    if (Field* field = FindField(name)) return *field;
    throw itemNotFoundError();
}

Field* Recordset::FindField(const std::string& name) {
    for (Field& field : AllFields())
        if (equalsIgnoreCase(field.Name(), name)) return &field;
    return nullptr;
}

std::vector<Field>& Recordset::AllFields() {
    if (!IsOpen()) throw objectClosedError();
    return data_->fields;
}

void Recordset::bindRow() {
    if (!data_) return;
    const bool atRow = row_ < data_->rows.size();
    for (std::size_t i = 0; i < data_->fields.size(); ++i)
        data_->fields[i].current_ = atRow ? &data_->rows[row_][i] : nullptr;
}

}  // namespace dovrel::ado
