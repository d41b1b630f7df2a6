// The catalog procedures ODBC drivers call for SQLColumns, SQLTables and
// SQLPrimaryKeys: sp_columns, sp_tables and sp_pkeys, with SQL Server's
// result columns and ODBC type codes (@ODBCVer 2 or 3). Names are matched
// as LIKE patterns (% and _), ignoring case.
#include "executor.h"
#include "procedure_arguments.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <optional>

namespace standin {
namespace {

// A procedure asked about another database than the session's answers as SQL Server does.
void requireCurrentDatabase(const std::string& qualifier, const std::string& database) {
    if (!qualifier.empty() && !equalsIgnoreCase(qualifier, database)) {
        fail(15250, "The database name component of the object qualifier must be the name of the current database.", 16,
             1);
    }
}

// The columns that name a table in every catalog procedure's answer, then `more`.
std::vector<ColumnInfo> tableNameColumns(std::initializer_list<ColumnInfo> more) {
    std::vector<ColumnInfo> columns = {resultColumn("TABLE_QUALIFIER", "nvarchar", 128, true),
                                       resultColumn("TABLE_OWNER", "nvarchar", 128, true),
                                       resultColumn("TABLE_NAME", "nvarchar", 128, true)};
    columns.insert(columns.end(), more);
    return columns;
}

bool matches(const std::string& pattern, const std::string& name) {
    return sqlite3_strlike(pattern.c_str(), name.c_str(), 0) == 0;
}

std::optional<Value> opt(int64_t v) { return Value::integer(v); }

// One column as SQLColumns describes it.
struct OdbcColumn {
    int dataType = 0;
    std::string typeName;
    int64_t precision = 0;
    int64_t length = 0;
    std::optional<Value> scale, radix, datetimeSub, octetLength;
    int sqlDataType = 0;
    int ssDataType = 0;
};

OdbcColumn describe(const CatalogColumn& c, bool odbc3) {
    OdbcColumn d;
    const SqlType& t = c.type;
    const bool max = t.length == SqlType::MaxLength;
    auto number = [&](int type, const char* name, int64_t precision, int64_t length, int scale, int ss, int ssNull) {
        d.dataType = type;
        d.typeName = name;
        d.precision = precision;
        d.length = length;
        d.scale = opt(scale);
        d.radix = opt(10);
        d.ssDataType = c.nullable ? ssNull : ss;
    };
    auto text = [&](int type, const char* name, int64_t chars, int bytesPerChar, int ss) {
        d.dataType = type;
        d.typeName = name;
        d.precision = chars;
        d.length = chars * bytesPerChar;
        d.octetLength = opt(d.length);
        d.ssDataType = ss;
    };
    switch (t.base) {
    case BaseType::TinyInt: number(-6, "tinyint", 3, 1, 0, 48, 38); break;
    case BaseType::SmallInt: number(5, "smallint", 5, 2, 0, 52, 38); break;
    case BaseType::Int: number(4, "int", 10, 4, 0, 56, 38); break;
    case BaseType::BigInt: number(-5, "bigint", 19, 8, 0, 108, 38); break;
    case BaseType::Bit:
        number(-7, "bit", 1, 1, 0, 50, 104);
        d.radix.reset();
        break;
    case BaseType::Decimal: number(3, "decimal", t.precision, t.precision + 2, t.scale, 55, 106); break;
    case BaseType::Numeric: number(2, "numeric", t.precision, t.precision + 2, t.scale, 63, 108); break;
    case BaseType::Money: number(3, "money", 19, 21, 4, 60, 110); break;
    case BaseType::SmallMoney: number(3, "smallmoney", 10, 12, 4, 122, 110); break;
    case BaseType::Float:
        number(6, "float", 15, 8, 0, 62, 109);
        d.scale.reset();
        break;
    case BaseType::Real:
        number(7, "real", 7, 4, 0, 59, 109);
        d.scale.reset();
        break;
    case BaseType::DateTime:
        number(odbc3 ? 93 : 11, "datetime", 23, 16, 3, 61, 111);
        d.radix.reset();
        d.datetimeSub = opt(3);
        break;
    case BaseType::SmallDateTime:
        number(odbc3 ? 93 : 11, "smalldatetime", 16, 16, 0, 58, 111);
        d.radix.reset();
        d.datetimeSub = opt(3);
        break;
    case BaseType::Date:
        number(odbc3 ? 91 : 9, "date", 10, 6, 0, 0, 0);
        d.radix.reset();
        d.scale.reset();
        d.datetimeSub = opt(1);
        break;
    case BaseType::NVarChar: text(-9, "nvarchar", max ? 1073741823 : t.length, 2, 39); break;
    case BaseType::VarChar: text(12, "varchar", max ? 2147483647 : t.length, 1, 39); break;
    case BaseType::NChar: text(-8, "nchar", t.length, 2, 47); break;
    case BaseType::Char: text(1, "char", t.length, 1, 47); break;
    case BaseType::NText: text(-10, "ntext", 1073741823, 2, 35); break;
    case BaseType::Text: text(-1, "text", 2147483647, 1, 35); break;
    case BaseType::UniqueIdentifier:
        d.dataType = -11;
        d.typeName = "uniqueidentifier";
        d.precision = 36;
        d.length = 16;
        d.ssDataType = 37;
        break;
    case BaseType::VarBinary: text(-3, "varbinary", max ? 2147483647 : t.length, 1, 37); break;
    case BaseType::Binary: text(-2, "binary", t.length, 1, 45); break;
    case BaseType::Image: text(-4, "image", 2147483647, 1, 34); break;
    case BaseType::Timestamp: text(-2, "timestamp", 8, 1, 45); break;
    }
    if (max) d.length = d.precision * (t.base == BaseType::NVarChar ? 2 : 1);
    if (c.identity) d.typeName += " identity";
    // SQL_DATA_TYPE is DATA_TYPE but for dates and times: SQL_DATETIME (9) with a subcode.
    d.sqlDataType = d.datetimeSub ? 9 : d.dataType;
    return d;
}

ResultSet tableOf(std::vector<ColumnInfo> columns) {
    ResultSet rs;
    rs.columns = std::move(columns);
    return rs;
}

Value textOrNull(const std::optional<std::string>& s) { return s ? Value::text(*s) : Value::null(); }

}  // namespace

void Executor::spColumns(const std::vector<ProcedureArgument>& args, StatementOutcome& o) {
    const ProcedureArguments a("sp_columns", args,
                               {"@table_name", "@table_owner", "@table_qualifier", "@column_name", "@ODBCVer"});
    const std::string tablePattern = a.requiredText("@table_name");
    const std::string owner = a.text("@table_owner", "%");
    const std::string qualifier = a.text("@table_qualifier");
    const std::string columnPattern = a.text("@column_name", "%");
    const auto version = a.value("@ODBCVer");
    const bool odbc3 =
        version && version->kind == Value::Kind::Integer ? version->i >= 3 : a.text("@ODBCVer", "2") == "3";
    requireCurrentDatabase(qualifier, database_);
    ResultSet rs = tableOf(tableNameColumns(
        {resultColumn("COLUMN_NAME", "nvarchar", 128, true), resultColumn("DATA_TYPE", "smallint", 0, true),
         resultColumn("TYPE_NAME", "nvarchar", 128, true), resultColumn("PRECISION", "int", 0, true),
         resultColumn("LENGTH", "int", 0, true), resultColumn("SCALE", "smallint", 0, true),
         resultColumn("RADIX", "smallint", 0, true), resultColumn("NULLABLE", "smallint", 0, true),
         resultColumn("REMARKS", "varchar", 254, true), resultColumn("COLUMN_DEF", "nvarchar", 4000, true),
         resultColumn("SQL_DATA_TYPE", "smallint", 0, true), resultColumn("SQL_DATETIME_SUB", "smallint", 0, true),
         resultColumn("CHAR_OCTET_LENGTH", "int", 0, true), resultColumn("ORDINAL_POSITION", "int", 0, true),
         resultColumn("IS_NULLABLE", "varchar", 254, true), resultColumn("SS_DATA_TYPE", "tinyint", 0, true)}));
    if (matches(owner, "dbo")) {
        Statement tables(db_, "SELECT DISTINCT table_name FROM __standin_columns ORDER BY table_name");
        while (tables.step()) {
            const std::string name = tables.columnText(0);
            if (!matches(tablePattern, name)) continue;
            const auto table = catalog_->table(name);
            if (!table) continue;
            for (size_t k = 0; k < table->columns.size(); ++k) {
                const CatalogColumn& c = table->columns[k];
                if (!matches(columnPattern, c.name)) continue;
                const OdbcColumn d = describe(c, odbc3);
                const std::optional<std::string> def =
                    c.defaultSql.empty() ? std::nullopt : std::optional<std::string>("(" + c.defaultSql + ")");
                rs.rows.push_back({Value::text(database_), Value::text("dbo"), Value::text(table->name),
                                   Value::text(c.name), Value::integer(d.dataType), Value::text(d.typeName),
                                   Value::integer(d.precision), Value::integer(d.length),
                                   d.scale.value_or(Value::null()), d.radix.value_or(Value::null()),
                                   Value::integer(c.nullable ? 1 : 0), Value::null(), textOrNull(def),
                                   Value::integer(d.sqlDataType), d.datetimeSub.value_or(Value::null()),
                                   d.octetLength.value_or(Value::null()), Value::integer(static_cast<int64_t>(k + 1)),
                                   Value::text(c.nullable ? "YES" : "NO"), Value::integer(d.ssDataType)});
            }
        }
    }
    o.command = command::Select;
    o.rowCount = rs.rows.size();
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

void Executor::spTables(const std::vector<ProcedureArgument>& args, StatementOutcome& o) {
    const ProcedureArguments a("sp_tables", args,
                               {"@table_name", "@table_owner", "@table_qualifier", "@table_type", "@fUsePattern"});
    const std::string name = a.text("@table_name", "%");
    const std::string owner = a.text("@table_owner", "%");
    const std::string qualifier = a.text("@table_qualifier", "%");
    const std::string types = toLower(a.text("@table_type"));
    ResultSet rs = tableOf(tableNameColumns(
        {resultColumn("TABLE_TYPE", "varchar", 32, true), resultColumn("REMARKS", "varchar", 254, true)}));
    auto emptyGiven = [&](const char* p) { return a.hasText(p) && a.text(p).empty(); };
    // ODBC's enumerations: catalogs ('%', '', ''), owners ('', '%', ''), table types ('', '', '', '%').
    if (a.text("@table_qualifier") == "%" && emptyGiven("@table_owner") && emptyGiven("@table_name")) {
        for (const auto& d : directory_.list()) {
            rs.rows.push_back({Value::text(d.name), Value::null(), Value::null(), Value::null(), Value::null()});
        }
    } else if (a.text("@table_owner") == "%" && emptyGiven("@table_qualifier") && emptyGiven("@table_name")) {
        rs.rows.push_back({Value::null(), Value::text("dbo"), Value::null(), Value::null(), Value::null()});
    } else if (types == "%" && emptyGiven("@table_qualifier") && emptyGiven("@table_owner") &&
               emptyGiven("@table_name")) {
        for (const char* t : {"SYSTEM TABLE", "TABLE", "VIEW"}) {
            rs.rows.push_back({Value::null(), Value::null(), Value::null(), Value::text(t), Value::null()});
        }
    } else if (matches(qualifier, database_) && matches(owner, "dbo") &&
               (types.empty() || types.find("table") != std::string::npos)) {
        Statement tables(db_, "SELECT DISTINCT table_name FROM __standin_columns ORDER BY table_name");
        while (tables.step()) {
            const std::string table = tables.columnText(0);
            if (!matches(name, table)) continue;
            rs.rows.push_back(
                {Value::text(database_), Value::text("dbo"), Value::text(table), Value::text("TABLE"), Value::null()});
        }
    }
    o.command = command::Select;
    o.rowCount = rs.rows.size();
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

void Executor::spPkeys(const std::vector<ProcedureArgument>& args, StatementOutcome& o) {
    const ProcedureArguments a("sp_pkeys", args, {"@table_name", "@table_owner", "@table_qualifier"});
    const std::string name = a.requiredText("@table_name");
    const std::string qualifier = a.text("@table_qualifier");
    requireCurrentDatabase(qualifier, database_);
    ResultSet rs = tableOf(tableNameColumns({resultColumn("COLUMN_NAME", "nvarchar", 128, true),
                                             resultColumn("KEY_SEQ", "smallint", 0, true),
                                             resultColumn("PK_NAME", "nvarchar", 128, true)}));
    if (const auto table = catalog_->table(name); table && matches(a.text("@table_owner", "%"), "dbo")) {
        Statement keys(db_, "SELECT name, pk FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk");
        keys.bind(1, table->name);
        while (keys.step()) {
            rs.rows.push_back({Value::text(database_), Value::text("dbo"), Value::text(table->name),
                               Value::text(keys.columnText(0)), Value::integer(keys.columnInt(1)),
                               Value::text("PK_" + table->name)});
        }
    }
    o.command = command::Select;
    o.rowCount = rs.rows.size();
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

}  // namespace standin
