// Where a reader's rows go: the loaded-table cache takes them one at a time.
//
// Readers that build a whole LoadedTable are fed through feedLoadedTable; the text reader
// streams into the sink directly, so a large CSV file never sits in memory twice.
#pragma once

#include <string>
#include <vector>

#include "platform/database/readers/loaded_table.h"

namespace db {

class TableSink {
public:
    virtual ~TableSink() = default;
    // Called once before any row. A false result stops the reader; `error` says why.
    virtual bool begin(const std::vector<std::string>& names, const std::vector<ColumnType>& types,
                       std::string& error) = 0;
    // One row of exactly names.size() values; the sink may move from them.
    virtual bool addRow(std::vector<Value>& row, std::string& error) = 0;
};

// Hands a loaded table to a sink row by row, releasing each row once it is taken.
bool feedLoadedTable(LoadedTable&& table, TableSink& sink, std::string& error);

// The text/CSV reader streaming into a sink (readTextTable of readers.h builds a
// LoadedTable with it). Same contract as readTextTable.
bool readTextTableInto(const std::string& path, TableSink& sink, std::string& error);

}  // namespace db
