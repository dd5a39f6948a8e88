// The SQL functions through which statements on the loaded tables get Jet's comparisons.
//
//   like(pattern, text)      the LIKE operator, with Jet's patterns (like_pattern.h); a
//                            value that jet_typed marked is compared as the text the
//                            record window shows for it;
//   jet_typed(value, type)   the value, marked as one of a column of the given ColumnType
//                            (as an integer): how a number, date or boolean column reaches
//                            LIKE;
//   jet_date(text)           a date literal read as the day number dates are kept as,
//                            NULL when the text is no date: what "=" compares a date
//                            column against.
// The statement translation writes the last two in where the column types call for them.
#pragma once

struct sqlite3;

namespace db {

// Adds the functions to a connection. False when SQLite refuses one.
bool registerJetFunctions(sqlite3* db);

}  // namespace db
