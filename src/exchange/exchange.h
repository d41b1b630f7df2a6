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
// Source file format. In a file that holds a carriage return, lines end at
// CR LF or a lone CR (a lone LF is part of the line); in a file without any,
// at LF. An optional first line in square brackets is a title and is
// skipped. The next line is the header: the column names separated by tabs.
// Every further line is one data row, its values separated by tabs, taken
// verbatim (no quoting); empty lines at the end of the file are none. One
// trailing tab on any line is ignored. A file whose name begins with a dot
// counts as hidden and is not found.
//
// Values by the type of their table column: text is quoted ("#Null" stands
// for NULL where the column allows it); a date is written year first
// (2001-2-3, 2001/2/3, 2001.2.3, 2001年2月3日, optionally with a time such as
// 10:05, 10:05:09.250 or 10时5分, see detail/value_tests.h) and must exist;
// a number is an optional sign, digits with an optional decimal point and an
// optional exponent, blanks around it allowed, and nothing else (no
// thousands separators, currency signs or hexadecimal); a bit column takes a
// number as it is, "True" as 1 and any other text as 0. An empty date or
// number is NULL, or '' and 0 where the column refuses NULL; a text in a
// numeric column writes no value, so the server refuses its row. The import
// sends SET DATEFORMAT ymd before its rows, so that every login reads the
// dates as written. ImportOptions::Strict refuses a file with cells that
// are not empty but would be written as NULL, '', N'' or 0, or not at all.
//
// Text encoding of the file: the encoding ImportOptions names; else a
// byte-order mark (UTF-8, UTF-16LE, UTF-16BE); else UTF-8 when the bytes are
// valid UTF-8 throughout and do not read as the machine's ANSI code page
// (code page 936 on Simplified Chinese systems) more plausibly; else that
// code page. Bytes the encoding cannot read become U+FFFD (refused when
// strict). Names, values and result texts are UTF-8.
//
// TableName must be a plain identifier, a bracketed one or schema.table;
// anything else is refused before any statement is sent. A KeyField or
// IDname that is looked up on the server is bracketed unless it is a plain
// name.
// strDelete is run as it stands: it must come from the host, not from
// untrusted users. Cell values are always quoted or checked before they are
// written into a statement.
#include <cstdint>
#include <functional>
#include <string>

#include "exchange/exchange_events.h"
#include "exchange/import_summary.h"
#include "exchange/keyed_collection.h"
#include "exchange/source_grid.h"

namespace dovrel {

// The optional parameters of ImportTable, for hosts that prefer naming them
// (every member has an initializer, so any of them may be left out):
//   exchange.ImportTable(file, "Staff", {.KeyField = "Id", .IDmode = 1, .ConnectStr = cs});
struct ImportOptions {
    bool ToBig5 = false;       // no effect on the data; kept for hosts that pass it
    std::string KeyField{};    // key column: filtered by KeyValue, numbered when IDmode is 1
    std::string KeyValue{};    // keys of the rows to import, like an SQL IN list: 1,2,3 or 'A01','B02'
    int16_t IDmode = 0;        // 0 none; 1 number KeyField; 2 number IDname; above 0 also identity insertion
    int16_t CanDelete = 0;     // 1: delete every row of the table first (unless strDelete is given)
    std::string strDelete{};   // a complete statement run before the inserts, instead of CanDelete's
    std::string ConnectStr{};  // connection string for every database access of the call
    std::string IDname{};      // column numbered when IDmode is 2
    std::string
        Encoding{};  // the file's encoding as iconv names it (gbk, big5, utf-16le, ...); empty: decided from the file
    // Refuse the file, before anything is written, when a cell that is not
    // empty would be written as NULL, '', N'' or 0 or not at all, when bytes
    // cannot be decoded, or when it could be UTF-8 or the ANSI code page alike.
    bool Strict = false;
    // Stop when the key filter keeps no line while old rows are to be deleted.
    bool RefuseEmptyFilteredLoad = false;
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
    //   a batch the server refused: "更新数据库存失败，请重新导入文件！" + CR LF + the batch
    //     (values of more than about 200 characters cut), then the server's
    //     messages and the file line the batch begins at;
    //   with options.Strict, the cells that would not be written as they
    //     stand (the first 20 and their count), or the line of the first
    //     byte the encoding cannot read;
    //   a trigger that could not be re-created: "无法重新建立触发器：" + its name
    //     + CR LF + the server's message;
    //   any other error: its number and description + CR LF + the current batch.
    // The Chinese texts pass through the localizer (SetLocalizer).
    std::string ImportTable(const std::string& FileName, const std::string& TableName, bool ToBig5 = false,
                            const std::string& KeyField = {}, const std::string& KeyValue = {}, int16_t IDmode = 0,
                            int16_t CanDelete = 0, const std::string& strDelete = {},
                            const std::string& ConnectStr = {}, const std::string& IDname = {});
    std::string ImportTable(const std::string& FileName, const std::string& TableName, const ImportOptions& options);
    // The same, and what the import did in `summary`: the kind of outcome,
    // rows read, inserted, deleted and skipped, the cells that were not
    // written as they stand, warnings (a commit whose connection could not
    // be restored afterwards is a success with a warning), the time taken.
    std::string ImportTable(const std::string& FileName, const std::string& TableName, const ImportOptions& options,
                            ImportSummary& summary);

    // Everything ImportTable checks before it writes, and nothing written:
    // the names, the file, the connection and the table (each failure with
    // its own outcome), the columns, the encoding and the cells (listed in
    // `summary` whether or not options.Strict). Empty text when the file
    // would import; otherwise the report.
    std::string CheckFile(const std::string& FileName, const std::string& TableName, const ImportOptions& options,
                          ImportSummary& summary);

    // Why `path` cannot serve as a source file (no such file, a folder, a
    // hidden file, unreadable, empty), in words for the user; empty when it can.
    std::string SourceFileProblem(const std::string& path);

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
};

}  // namespace dovrel
