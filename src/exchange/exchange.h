#pragma once
// Exchange: loads a tab-separated text file into one SQL Server table.
//
// A host creates an Exchange, optionally attaches an ExchangeEvents sink and
// sets IntDropTrigger, then calls ImportTable with the file, the table, its
// options and a connection string. An empty result means success; any other
// result is a report for the user. CheckSourceData validates a file's columns
// alone, GetSourceData reads a file into a SourceGrid alone.
//
// Every call opens and releases its own connection, recordsets and file; no
// state but IntDropTrigger and the sink survives between calls. No method
// throws: failures come back as result texts, -1, false or an empty grid;
// unexpected errors of CheckSourceData and of the trigger and key look-ups
// are also shown through showMessage() (platform/messages.h).
//
// Source file format. Lines end at CR LF or a lone CR (a lone LF is part of
// the line). An optional first line in square brackets is a title and is
// skipped. The next line is the header: the column names separated by tabs.
// Every further line is one data row, its values separated by tabs, taken
// verbatim (no quoting). One trailing tab on any line is ignored. A file
// whose name begins with a dot counts as hidden and is not found.
//
// Values by the type of their table column: text is quoted ("#Null" stands
// for NULL where the column allows it); a date is written year-month-day
// with "-" or "/", optionally followed by a space and hh:mm or hh:mm:ss, and
// must exist (2001-02-30 does not); a number is an optional sign, digits with
// an optional decimal point (".5" and "5." count) and an optional exponent,
// and nothing else (no blanks, thousands separators or currency signs); a
// bit column takes a number as it is, "True" as 1 and any other text as 0.
// An empty date or number is NULL, or '' and 0 where the column refuses
// NULL; a text in a numeric column writes no value, so the server refuses
// its row.
//
// Text encoding of the file: a file that begins with the UTF-8 byte-order
// mark, or whose bytes are valid UTF-8 throughout, is read as UTF-8 (after a
// mark, bytes that are no UTF-8 become U+FFFD); any other file is read in the
// machine's ANSI code page (code page 936 on Simplified Chinese systems),
// bytes that code page cannot read becoming U+FFFD. Names, values and result
// texts are UTF-8.
//
// Texts such as TableName, KeyField, column and trigger names and strDelete
// are put into SQL as they stand: they must come from the host, not from
// untrusted users. Cell values are always quoted or checked before they are
// written into a statement.
#include <cstdint>
#include <functional>
#include <string>

#include "exchange/exchange_events.h"
#include "exchange/keyed_collection.h"
#include "exchange/source_grid.h"

namespace dovrel {

// The optional parameters of ImportTable, for hosts that prefer naming them
// (every member has an initializer, so any of them may be left out):
//   exchange.ImportTable(file, "Staff", {.KeyField = "Id", .IDmode = 1, .ConnectStr = cs});
struct ImportOptions {
    bool ToBig5 = false;        // no effect on the data; kept for hosts that pass it
    std::string KeyField{};     // key column: filtered by KeyValue, numbered when IDmode is 1
    std::string KeyValue{};     // keys of the rows to import, like an SQL IN list: 1,2,3 or 'A01','B02'
    int16_t IDmode = 0;         // 0 none; 1 number KeyField; 2 number IDname; above 0 also identity insertion
    int16_t CanDelete = 0;      // 1: delete every row of the table first (unless strDelete is given)
    std::string strDelete{};    // a complete statement run before the inserts, instead of CanDelete's
    std::string ConnectStr{};   // connection string for every database access of the call
    std::string IDname{};       // column numbered when IDmode is 2
};

// Turns one of the exchange's own Chinese texts into the form this machine
// shows: the host passes the program's display-text conversion. Without one
// the texts stay as written.
using TextLocalizer = std::function<std::string(const std::string&)>;

inline std::string localizedBy(const TextLocalizer& localizer, const std::string& text) {
    return localizer ? localizer(text) : text;
}

class Exchange {
public:
    Exchange() = default;

    // 1 makes ImportTable drop the table's triggers before inserting and
    // re-create them before the commit, so they do not fire during the load.
    // Any other value (0 when created) leaves the triggers alone.
    int16_t IntDropTrigger() const { return intDropTrigger_; }
    void SetIntDropTrigger(int16_t value) { intDropTrigger_ = value; }

    // The sink that receives the events (not owned; nullptr detaches it).
    void SetEvents(ExchangeEvents* events) { events_ = events; }

    // The conversion applied to the exchange's Chinese texts (see TextLocalizer).
    void SetLocalizer(TextLocalizer localizer) { localizer_ = std::move(localizer); }

    // Imports FileName into TableName in one transaction: checks the columns
    // (CheckSourceData), reads the file (GetSourceData, filtered by KeyField
    // and KeyValue), numbers the key column from the table's maximum,
    // deletes old rows (strDelete, else CanDelete = 1), switches identity
    // insertion on when IDmode > 0, drops the triggers when IntDropTrigger is
    // 1, inserts the rows 100 statements at a time, re-creates the triggers
    // and commits. Returns empty text on success; otherwise, with everything
    // rolled back:
    //   a column mismatch: "数据表字段不匹配" + the mismatch list + CR LF;
    //   a batch the server refused: "更新数据库存失败，请重新导入文件！" + CR LF + the batch;
    //   a trigger that could not be re-created: "无法重新建立触发器：" + its name
    //     + CR LF + the server's message;
    //   any other error: its number and description + CR LF + the current batch.
    // The Chinese texts pass through the localizer (SetLocalizer).
    std::string ImportTable(const std::string& FileName, const std::string& TableName, bool ToBig5 = false,
                            const std::string& KeyField = {}, const std::string& KeyValue = {}, int16_t IDmode = 0,
                            int16_t CanDelete = 0, const std::string& strDelete = {},
                            const std::string& ConnectStr = {}, const std::string& IDname = {});
    std::string ImportTable(const std::string& FileName, const std::string& TableName, const ImportOptions& options);

    // Compares the header of FileName with the columns of TableName. Appends
    // to RtStr (not cleared first) name + "在资料表里找不到 — " + TableName for
    // each file column the table lacks, then name + "在资料表里多出 — " +
    // TableName for each table column the file lacks (columns the import
    // cannot write, such as binary and timestamp, may be absent). Returns 1
    // when the check ran and RtStr is empty afterwards, -1 otherwise (also
    // for a missing file, an empty table name or an empty header). When the
    // table cannot be queried nothing is compared. A duplicate column name or
    // a file that cannot be read is shown as a message (number and
    // description) and gives -1.
    int16_t CheckSourceData(const std::string& FileName, const std::string& TableName, std::string& RtStr,
                            const std::string& ConnectStr = {});

    // Reads FileName into a grid; raises AfterGetSourceDataARow per data line.
    // With KeyField naming a header column (case-sensitive) and sKeyValue not
    // empty, only lines whose key occurs in sKeyValue are kept: compared as
    // ,key, for a numeric key column, as 'key' for a text one, as a plain
    // substring otherwise (TableName and ConnectStr serve to learn the key
    // column's type). Returns an empty grid when the file is missing or
    // TableName is empty, and an empty grid carrying the error when the file
    // cannot be read (a line with more values than the header has names, a
    // line without a key value, an empty header, ...).
    SourceGrid GetSourceData(const std::string& FileName, const std::string& TableName, bool ToBig5 = false,
                             const std::string& ConnectStr = {}, const std::string& KeyField = {},
                             const std::string& sKeyValue = {});

    // True when pColl holds an object under sMemName (a field of a recordset's
    // Fields collection, say).
    bool MemExist(const KeyedCollection& pColl, const std::string& sMemName);
    // True when pColl holds anything under sMemName.
    bool MemExistVal(const KeyedCollection& pColl, const std::string& sMemName);

private:
    int16_t intDropTrigger_ = 0;
    ExchangeEvents* events_ = nullptr;
    TextLocalizer localizer_;

    std::string localized(const std::string& text) const { return localizedBy(localizer_, text); }
};

}  // namespace dovrel
