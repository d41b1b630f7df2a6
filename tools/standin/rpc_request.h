#pragma once
// Remote procedure call requests (packet type 3): a procedure given by name
// or by its well-known id, and its parameters in the protocol's own
// types. ODBC drivers send their catalog calls (SQLColumns: sp_columns)
// this way.
#include "executor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct RpcCall {
    std::string procedure;
    std::vector<ProcedureArgument> args;
};

// Reads the calls of one request (the ALL_HEADERS block already skipped).
// Throws ProtocolError when the request is malformed; a parameter of a type
// the stand-in does not read gives a call whose `unsupported` says which.
struct RpcRequest {
    std::vector<RpcCall> calls;
    std::string unsupported;
};
RpcRequest parseRpcRequest(std::string_view body);

}  // namespace standin
