// The statements the programs send, made SQLite statements.
//
// The programs send three shapes: "select * from [T] <condition>", "select DISTINCT F
// from [T]" and "SELECT * FROM T" with T bare (pupils.txt, Sheet1$, 'my sheet$', an
// Access name). The translation is the smallest that gives Jet's meaning on SQLite:
// [name] becomes "name"; a Jet "double-quoted string" becomes a 'single-quoted' one; the
// table after FROM, in whatever form, becomes a placeholder for the loaded table's
// internal name. Everything else passes through, so a statement Jet would reject mostly
// fails on SQLite too.
//
// Once the table is loaded, a second translation with its column types also gives Jet's
// typed comparisons: a number, date or boolean column before LIKE is compared as the text
// the record window shows for it (jet_typed), and a string after "=" on a date column is
// read as a date (jet_date); see sql_functions.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/database/value.h"

namespace db {

// The columns of a loaded table: UTF-8 names as SQLite knows them, and their types.
struct TableColumns {
    std::vector<std::string> names;
    std::vector<ColumnType> types;
    // The type of the column named `utf8Name` without regard to ASCII case, as SQLite
    // matches names; null when the table has no such column.
    const ColumnType* find(std::string_view utf8Name) const;
};

struct TranslatedStatement {
    std::string sql;    // UTF-8, the table reference(s) replaced by a placeholder
    std::string table;  // the table as written, brackets or Jet quotes removed (GBK);
                        // a bare or bracketed 'quoted' workbook name keeps its quotes
};

// False, with a message (GBK), for a statement with no FROM, with FROM naming two
// different tables, or with an unclosed bracket or quote. With `columns`, the comparisons
// whose meaning depends on a column's type are written for those types.
bool translateStatement(const std::string& gbkSql, TranslatedStatement& out, std::string& error,
                        const TableColumns* columns = nullptr);

// The translated SQL with every placeholder replaced by the quoted internal table name.
std::string bindTableName(const TranslatedStatement& statement, const std::string& internalName);

// An identifier in double quotes, any " inside doubled.
std::string quoteIdentifier(const std::string& utf8Name);

}  // namespace db
