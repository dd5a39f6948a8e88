// What the workbook readers (.xls, .xlsx) share: turning a sheet's cells into a table,
// Excel's day numbers into dates, and field names into names SQLite can hold side by
// side. The dBASE reader uses the name rule too. Nothing here touches a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database/table_sink.h"

namespace db::sheet {

// Excel's own limits; a cell beyond them means a damaged file.
inline constexpr uint32_t kMaxRows = 1048576;
inline constexpr uint32_t kMaxColumns = 16384;
// Rows x columns of the table built; beyond it a sheet is refused rather than allowed to
// exhaust memory (a sparse file can place one cell at A1 and one at XFD1048576).
inline constexpr uint64_t kMaxTableCells = 16'000'000;

// A workbook's shared strings (GBK) in one block of bytes: a hundred thousand short
// strings cost a tenth of what as many std::string objects would.
class StringPool {
public:
    void add(std::string_view text);
    size_t size() const { return ends_.size(); }
    // The i-th string; i must be below size().
    std::string_view at(size_t i) const {
        const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(begin, ends_[i] - begin);
    }

private:
    std::string bytes_;
    std::vector<uint32_t> ends_;
};

// The non-empty cells of one sheet, 0-based, held compactly until the table is built:
// the column types depend on every cell, so no row can be handed on before the last
// cell is read. Each cell costs a few bytes (numbers, dates and booleans in a packed
// form, texts as GBK bytes or as an index into the shared strings) in blocks that
// buildSheetTable releases as the rows leave, so the cells and the table they become
// are not held whole at once. Cells may come in any order (a sheet whose rows go back
// is kept whole until the end); a later cell at the same place replaces an earlier
// one. An empty text is no cell.
class SheetCells {
public:
    // `shared` (may be null) is what addShared indexes; it must outlive this object.
    explicit SheetCells(const StringPool* shared = nullptr) : shared_(shared) {}
    void addNumber(uint32_t row, uint32_t column, double value);
    void addText(uint32_t row, uint32_t column, std::string_view gbk);
    // An index past the shared strings is an empty cell, as is an empty string.
    void addShared(uint32_t row, uint32_t column, uint64_t index);
    void addDate(uint32_t row, uint32_t column, const gbk::DateTime& date);
    void addBoolean(uint32_t row, uint32_t column, bool value);
    // Any value; NULL is no cell. Integers are kept as numbers.
    void add(uint32_t row, uint32_t column, const Value& value);

    size_t count() const { return count_; }

private:
    friend bool buildSheetTable(SheetCells&& cells, TableSink& sink, std::string& error);
    friend std::vector<Value> rowValues(const SheetCells& cells, uint32_t row);
    struct Block {
        std::unique_ptr<unsigned char[]> bytes;
        size_t size = 0, capacity = 0;
    };
    unsigned char* reserve(uint32_t row, uint32_t column, size_t payloadBound, unsigned char kind);
    void commit(unsigned char* end);

    const StringPool* shared_;
    std::vector<Block> blocks_;
    size_t count_ = 0;
    uint32_t lastRow_ = 0, columns_ = 0, previousRow_ = 0;
    bool ordered_ = true;  // rows never went back
};

// Builds the table of one sheet the way the Excel driver shows it and streams it into
// `sink`:
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
// `cells` is consumed. Returns false (with a GBK message in `error`) when the table
// would exceed kMaxTableCells, or with the sink's message when the sink refuses.
bool buildSheetTable(SheetCells&& cells, TableSink& sink, std::string& error);

// The stored cells of one row as they are, by 0-based column: a value for each cell
// (texts, numbers, dates, booleans), Null where the row has none, up to its last cell;
// empty when the row holds no cell. Nothing is renamed or typed by column here: this is
// row 1 as the user typed it, where buildSheetTable would turn it into field names.
std::vector<Value> rowValues(const SheetCells& cells, uint32_t row);

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
