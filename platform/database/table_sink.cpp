// Sinks that hold rows in memory (see table_sink.h).
#include "platform/database/table_sink.h"

#include <iterator>

namespace db {

bool LoadedTableSink::begin(const std::vector<std::string>& names, const std::vector<ColumnType>& types,
                            std::string&) {
    out_.names = names;
    out_.types = types;
    return true;
}

bool LoadedTableSink::addRow(std::vector<Value>& row, std::string&) {
    out_.rows.emplace_back(std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
    return true;
}

bool feedLoadedTable(LoadedTable&& table, TableSink& sink, std::string& error) {
    if (!sink.begin(table.names, table.types, error)) return false;
    for (auto& row : table.rows) {
        row.resize(table.names.size());
        if (!sink.addRow(row, error)) return false;
        std::vector<Value>().swap(row);
    }
    return true;
}

}  // namespace db
