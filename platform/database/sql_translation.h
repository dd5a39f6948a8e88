// The statements the programs send, made SQLite statements.
//
// The programs send three shapes: "select * from [T] <condition>", "select DISTINCT F
// from [T]" and "SELECT * FROM T" with T bare (pupils.txt, Sheet1$, 'my sheet$', an
// Access name). The translation is the smallest that gives Jet's meaning on SQLite:
// [name] becomes "name"; a Jet "double-quoted string" becomes a 'single-quoted' one; the
// table after FROM, in whatever form, becomes a placeholder for the loaded table's
// internal name. Everything else passes through, so a statement Jet would reject mostly
// fails on SQLite too.
#pragma once

#include <string>

namespace db {

struct TranslatedStatement {
    std::string sql;    // UTF-8, the table reference(s) replaced by a placeholder
    std::string table;  // the table as written, brackets or Jet quotes removed (GBK);
                        // a bare or bracketed 'quoted' workbook name keeps its quotes
};

// False, with a message (GBK), for a statement with no FROM, with FROM naming two
// different tables, or with an unclosed bracket or quote.
bool translateStatement(const std::string& gbkSql, TranslatedStatement& out, std::string& error);

// The translated SQL with every placeholder replaced by the quoted internal table name.
std::string bindTableName(const TranslatedStatement& statement, const std::string& internalName);

// An identifier in double quotes, any " inside doubled.
std::string quoteIdentifier(const std::string& utf8Name);

}  // namespace db
