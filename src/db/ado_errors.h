#pragma once
// The errors that the layer raises itself, with the numbers and texts that
// the program's reports have always shown for them.
#include <cstdint>

#include "db/ado.h"

namespace dovrel::ado {

// An unspecified provider failure (E_FAIL).
inline constexpr int32_t kUnspecifiedError = -2147467259;

DatabaseError objectClosedError();       // 3704
DatabaseError objectOpenError();         // 3705
DatabaseError noCurrentRecordError();    // 3021
DatabaseError itemNotFoundError();       // 3265
DatabaseError noTransactionError();      // XACT_E_NOTRANSACTION
DatabaseError transactionActiveError();  // XACT_E_XTIONEXISTS
// The connection string could not be understood; `detail` says where.
DatabaseError badConnectionStringError(const std::string& detail);

}  // namespace dovrel::ado
