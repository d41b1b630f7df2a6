#include "support/query_rows.h"

#include "db/ado.h"

namespace dovrel::test {

std::string queryRows(const std::string& connectionString, const std::string& query) {
    ado::Recordset recordset;
    recordset.Open(query, connectionString);
    std::string out;
    for (; !recordset.EOF_(); recordset.MoveNext()) {
        for (std::size_t f = 0; f < recordset.FieldCount(); ++f)
            out += (f ? "|" : "") + recordset.Fields(f).Value().value_or("NULL");
        out += "\n";
    }
    return out;
}

}  // namespace dovrel::test
