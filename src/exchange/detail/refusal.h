#pragma once
// A failure that ends an operation and says which kind of outcome it is, so
// that the import's summary (and dovrelctl's exit code) can tell a refused
// file from a broken connection.
#include <string>

#include "exchange/import_summary.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {

class Refusal : public RuntimeError {
public:
    Refusal(ImportOutcome outcome, int number, std::string description)
        : RuntimeError(number, std::move(description)), outcome_(outcome) {}
    ImportOutcome outcome() const { return outcome_; }

private:
    ImportOutcome outcome_;
};

// Texts quoted from a file or an argument are cut to about this many bytes.
inline constexpr std::size_t kEchoLimit = 200;
// `text` cut to kEchoLimit bytes on a character boundary, with "…" when cut.
std::string echo(std::string_view text);

}  // namespace dovrel::exchange::detail
