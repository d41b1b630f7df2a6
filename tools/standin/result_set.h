#pragma once
// Rows a statement returns, with the column descriptions the client sees.
#include "types.h"
#include "value.h"

#include <string>
#include <vector>

namespace standin {

struct ColumnInfo {
    std::string name;
    SqlType type;
    bool nullable = true;
    bool identity = false;
};

struct ResultSet {
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Value>> rows;
};

}  // namespace standin
