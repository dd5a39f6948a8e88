// Where a reader's rows go: the loaded-table cache takes them one at a time.
//
// Every reader streams into a sink, so a large file never sits in memory twice: once
// as the reader's own rows and again as the cache's table. The LoadedTable functions of
// readers.h are the same readers collecting into a LoadedTableSink.
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
    // One row of exactly names.size() values; the sink may move from the values (not
    // from the vector, which the reader may reuse for the next row).
    virtual bool addRow(std::vector<Value>& row, std::string& error) = 0;
};

// Collects the rows into a LoadedTable.
class LoadedTableSink : public TableSink {
public:
    explicit LoadedTableSink(LoadedTable& out) : out_(out) {}
    bool begin(const std::vector<std::string>& names, const std::vector<ColumnType>& types,
               std::string& error) override;
    bool addRow(std::vector<Value>& row, std::string& error) override;

private:
    LoadedTable& out_;
};

// Hands a loaded table to a sink row by row, releasing each row once it is taken.
bool feedLoadedTable(LoadedTable&& table, TableSink& sink, std::string& error);

// The readers streaming into a sink; same contracts as their LoadedTable forms in
// readers.h. A reader that fails after begin() has handed over some rows: the sink's
// owner must throw them away (the table cache rolls its load back). A false result
// from the sink stops the reader and leaves the sink's message in `error`.
bool readTextTableInto(const std::string& path, TableSink& sink, std::string& error);
bool readDbfTableInto(const std::string& path, TableSink& sink, std::string& error);
bool readXlsSheetInto(const std::string& path, const std::string& sheet, TableSink& sink,
                      std::string& error);
bool readXlsRangeInto(const std::string& path, const std::string& name, TableSink& sink, std::string& error);
bool readXlsxSheetInto(const std::string& path, const std::string& sheet, TableSink& sink,
                       std::string& error);
// The row count is checked only at the end: a damaged table fails after its readable
// rows went to the sink.
bool readMdbTableInto(const std::string& path, const std::string& password, const std::string& table,
                      TableSink& sink, std::string& error);

}  // namespace db
