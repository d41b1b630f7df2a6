#pragma once
// The events of the table exchange. A host that wants progress derives from
// ExchangeEvents, overrides the handlers it needs and attaches the object to
// an Exchange (Exchange::SetEvents). Handlers run synchronously inside the
// call that raises them, on the caller's thread, before the call goes on.
#include <cstdint>

namespace dovrel {

class ExchangeEvents {
public:
    virtual ~ExchangeEvents() = default;

    // ImportTable, before each batch of 100 rows is sent: the number of data
    // rows and the number of rows built so far.
    virtual void AfterImportARow(int32_t TotalRow, int32_t CurrentRow) { (void)TotalRow, (void)CurrentRow; }
    // Part of the interface for hosts that export tables; no operation of
    // Exchange raises it.
    virtual void AfterExportTableARow(int32_t TotalRow, int32_t CurrentRow) { (void)TotalRow, (void)CurrentRow; }
    // GetSourceData, once per data line read (also for lines the key filter
    // drops): the estimated number of data lines (file size divided by the
    // size of the header line) and the number of the row being filled.
    virtual void AfterGetSourceDataARow(int32_t TotalSize, int32_t ReadSize) { (void)TotalSize, (void)ReadSize; }
};

}  // namespace dovrel
