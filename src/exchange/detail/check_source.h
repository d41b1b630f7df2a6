#pragma once
// The column check of a source file against its table (Exchange::CheckSourceData),
// with the file decoded as the caller asks.
#include <cstdint>
#include <string>

#include "exchange/detail/source_text.h"

namespace dovrel::exchange::detail {

int16_t compareSourceColumns(const std::string& fileName, const std::string& tableName, std::string& rtStr,
                             const std::string& connectStr, const SourceTextOptions& decoding);

}  // namespace dovrel::exchange::detail
