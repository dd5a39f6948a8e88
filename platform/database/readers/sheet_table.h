// What the workbook readers (.xls, .xlsx) share: turning a sheet's cells into a table,
// Excel's day numbers into dates, and field names into names SQLite can hold side by
// side. The dBASE reader uses the name rule too. Nothing here touches a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database/readers/loaded_table.h"

namespace db::sheet {

// One non-empty cell of a sheet, 0-based. The value is text (GBK), a double, a date or a
// boolean; NULL cells and empty texts are simply not given.
struct Cell {
    uint32_t row = 0;
    uint32_t column = 0;
    Value value;
};

// Excel's own limits; a cell beyond them means a damaged file.
inline constexpr uint32_t kMaxRows = 1048576;
inline constexpr uint32_t kMaxColumns = 16384;
// Rows x columns of the table built; beyond it a sheet is refused rather than allowed to
// exhaust memory (a sparse file can place one cell at A1 and one at XFD1048576).
inline constexpr uint64_t kMaxTableCells = 16'000'000;

// Builds the table of one sheet the way the Excel driver shows it:
//  - row 0 gives the field names; an empty header cell gives "F" + its 1-based column
//    number (F3); numbers and dates in the header are written as the record window
//    would show them; names are then made distinct (makeDistinctNames);
//  - the columns run to the last column holding any cell, the rows to the last row
//    holding one (trailing empty rows are dropped, empty rows inside are kept as NULLs);
//  - a column's type comes from all of its data cells, not only the first eight the
//    driver scans: Float when every cell is a number, DateTime when every cell is a
//    date, Boolean when every cell is true/false, Float for numbers mixed with
//    true/false (as 1/0), otherwise Text, in which a number, date or boolean becomes
//    the text the record window would show for it. The driver turns such minority
//    values into NULL; we keep them, since a lost value cannot be searched for;
//  - an empty sheet gives one Text column "F1" and no rows, as the driver does.
// `cells` may come in any order and is consumed. Returns false (with a GBK message in
// `error`) only when the table would exceed kMaxTableCells.
bool buildSheetTable(std::vector<Cell>&& cells, LoadedTable& out, std::string& error);

// Makes names distinct as SQLite compares them (ASCII letters without regard to case):
// the first of equal names keeps it, each later one gets the lowest number 1, 2, ...
// appended that gives a name not yet used and not among the original names. An empty
// name becomes "F" + its 1-based position first.
void makeDistinctNames(std::vector<std::string>& names);

// An Excel day number (days since the epoch, fraction = time of day) as a date-time,
// to the nearest second. The 1900 system counts Excel's phantom 1900-02-29 as day 60:
// days 1-59 are 1900-01-01..1900-02-28, day 60 shows as 1900-02-28 too, day 61 on are
// exact; day numbers below 1 are a time of day on 1899-12-30 (the date zero of the
// Windows date type). The 1904 system counts from 1904-01-01. False for a negative,
// non-finite or after-9999-12-31 number.
bool serialToDateTime(double serial, bool date1904, gbk::DateTime& out);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int year, int month, int day);
void civilFromDays(int64_t days, int& year, int& month, int& day);
// Days in a month of the Gregorian calendar (0 for a month outside 1..12).
int daysInMonth(int year, int month);

// A reader's message: UTF-8 source text as GBK.
std::string message(std::string_view utf8);

}  // namespace db::sheet
