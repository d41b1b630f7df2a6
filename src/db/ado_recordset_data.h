#pragma once
// What a recordset holds: the description of its columns and every row,
// fetched whole from the driver.
#include <optional>
#include <string>
#include <vector>

#include "db/ado.h"

namespace dovrel::ado {

using Row = std::vector<std::optional<std::string>>;

struct Recordset::Data {
    std::vector<Field> fields;
    std::vector<Row> rows;
};

}  // namespace dovrel::ado
