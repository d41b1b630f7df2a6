#pragma once
// Reading a source file into a SourceGrid: title line, header, data lines,
// the key filter and the read events.
#include <cstdint>
#include <functional>
#include <string>

#include "exchange/exchange_events.h"
#include "exchange/source_grid.h"

namespace dovrel::exchange::detail {

struct SourceReadOptions {
    bool toBig5 = false;
    std::string encoding;  // an iconv name; empty to decide from the file
    bool strict = false;   // refuse unreadable bytes and an uncertain encoding (SourceTextOptions)
    std::string keyField;  // KeyField
    std::string keyValue;  // sKeyValue: 1,2,3 or 'A01','B02'
    // The kind of the key column (1 text, 3 numeric, anything else); asked
    // once, and only when the filter is on.
    std::function<int16_t()> keyKind;
    ExchangeEvents* events = nullptr;
};

// The event arguments are 32-bit; larger counts are reported as the largest.
int32_t saturate32(double value);

// The grid of `fileName`, or an empty grid when no normal file is there or
// `tableName` is empty. Empty lines at the end of the file are no data
// lines. Throws RuntimeError: 75 when the file cannot be read, 62 when it
// ends before its header, 11 for a header line of 0 bytes, 9 for a header
// with no names, for an accepted line with more values than the header has
// names (naming the line and both counts), and for a line without a key
// value while the filter is on; 7 when the file does not fit in memory;
// Refusal as loadSourceText.
SourceGrid readSourceData(const std::string& fileName, const std::string& tableName, const SourceReadOptions& options);

// An empty grid that carries `error`.
SourceGrid failedGrid(SourceError error);

// Whether open + value + close occurs in `list`.
bool containsDelimited(std::string_view list, std::string_view value, char open, char close);

}  // namespace dovrel::exchange::detail
