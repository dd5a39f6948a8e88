// Values of a SQLite result column handed back as the programs' typed values.
#pragma once

#include "platform/database/value.h"

struct sqlite3_stmt;
struct sqlite3_value;

namespace db {

// The value of column `index` (0-based) of the statement's current row, read by the
// column's declared type: dates come back from their day numbers, booleans from 1/0,
// texts from UTF-8 to GBK. A NULL gives an empty text, or 0 in an integer or
// floating-point column, as the record window reads it.
Value readColumn(sqlite3_stmt* stmt, int index, ColumnType type);

// The same value made a text as the record window shows it, equal to
// toDisplayText(readColumn(...), type) but without the detour through a Value: the
// record window reads every cell of a result this way.
std::string readColumnText(sqlite3_stmt* stmt, int index, ColumnType type);
// The same written into `text`, replacing what it held.
void readColumnText(sqlite3_stmt* stmt, int index, ColumnType type, std::string& text);
// The display text of a value of a column of `type`, appended to `text` (GBK).
void appendValueText(sqlite3_value* value, ColumnType type, std::string& text);

}  // namespace db
