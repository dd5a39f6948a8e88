// What every reader returns: one table, loaded whole.
//
// Each reader is one file (text/CSV, dBASE, .xls, .xlsx, Access) with free functions of
// the shapes below. Readers never throw and never crash on bad input: they return false
// and put a message (GBK, fit for a user) into `error`.
#pragma once

#include <string>
#include <vector>

#include "platform/database/value.h"

namespace db {

struct LoadedTable {
    std::vector<std::string> names;   // field names in file order (GBK)
    std::vector<ColumnType> types;    // one per field
    std::vector<std::vector<Value>> rows;  // every row has names.size() values
};

}  // namespace db
