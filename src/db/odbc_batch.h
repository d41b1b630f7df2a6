#pragma once
// Running a text of one or more statements and walking every result it
// produces, so that each statement runs and each failure is collected.
#include <memory>
#include <string>
#include <vector>

#include "db/ado.h"
#include "db/ado_recordset_data.h"
#include "db/odbc_headers.h"

namespace dovrel::ado::odbc {

struct BatchOutcome {
    // The rows of the first result that has columns; nullptr when none has.
    std::unique_ptr<Recordset::Data> firstResult;
    // Every failure of the batch, in the order the server reported them.
    std::vector<ErrorEntry> failures;
    // How many of `failures` came before or while the first result was
    // read (all of them when there is no result).
    std::size_t failuresUpToFirstResult = 0;
};

// Runs `sql` on the open connection `connection` with the given command
// time-out. Throws DatabaseError only when no statement can be made at all.
BatchOutcome runBatch(SQLHDBC connection, const std::string& sql, unsigned commandTimeoutSeconds);

}  // namespace dovrel::ado::odbc
