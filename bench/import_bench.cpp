// import_bench: the table import, and the same statements for another client.
//
//   import_bench import CONNECT FILE TABLE
//       ImportTable of FILE into TABLE; prints "seconds data_rows" (the call
//       alone: the column check, the read, the inserts and the commit).
//   import_bench sql CONNECT FILE TABLE OUT
//       writes to OUT the INSERT statements ImportTable sends for FILE, built
//       by the same code (one per line, ending CR LF), 100 to a batch, each
//       batch followed by a line "go", the whole inside BEGIN TRANSACTION and
//       COMMIT: a script for bsqldb.
//
// CONNECT is an ADO connection string ("provider = sqloledb;data source=...").
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "exchange/detail/row_statement.h"
#include "exchange/exchange.h"

namespace {

int import(const std::string& connect, const std::string& file, const std::string& table) {
    dovrel::Exchange exchange;
    const auto start = std::chrono::steady_clock::now();
    const std::string result = exchange.ImportTable(file, table, {.ConnectStr = connect});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.empty()) {
        std::fprintf(stderr, "import_bench: %.400s\n", result.c_str());
        return 1;
    }
    const dovrel::SourceGrid grid = exchange.GetSourceData(file, table);
    std::printf("%.6f %zu\n", seconds, grid.dataRows());
    return 0;
}

int writeScript(const std::string& connect, const std::string& file, const std::string& table, const std::string& out) {
    using namespace dovrel::exchange::detail;
    dovrel::Exchange exchange;
    const dovrel::SourceGrid grid = exchange.GetSourceData(file, table);
    if (grid.empty()) {
        std::fprintf(stderr, "import_bench: %s could not be read\n", file.c_str());
        return 1;
    }
    std::vector<std::string_view> names;
    grid.rowCells(0, names);
    dovrel::ado::Recordset probe;
    probe.Open("SELECT * FROM " + table + " Where 1=2", connect);
    const std::vector<ColumnDescription> columns = describeColumns(probe, names);
    const std::string prefix = statementPrefix(table, names);

    std::ofstream script(out, std::ios::binary);
    script << "BEGIN TRANSACTION\ngo\n";
    std::string batch;
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r <= grid.dataRows(); ++r) {
        grid.rowCells(r, cells);
        appendRowStatement(batch, prefix, columns, cells);
        if (r % 100 == 0 || r == grid.dataRows()) {
            script << batch << "go\n";
            batch.clear();
        }
    }
    script << "COMMIT\ngo\n";
    return script.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "import") return import(args[1], args[2], args[3]);
        if (args.size() == 5 && args[0] == "sql") return writeScript(args[1], args[2], args[3], args[4]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "import_bench: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: import_bench import CONNECT FILE TABLE | sql CONNECT FILE TABLE OUT\n");
    return 2;
}
