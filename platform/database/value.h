// Typed values as the database component hands them to the programs.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "text/gbk_text.h"

namespace db {

struct Null {
    bool operator==(const Null&) const = default;
};
struct Bytes {
    std::vector<unsigned char> data;
    bool operator==(const Bytes&) const = default;
};

// Text is GBK bytes. Integer, Float, DateTime, Boolean and Bytes are what the readers
// found in the file; Null is a missing value (an empty cell, a NULL column).
using Value = std::variant<Null, std::string, int64_t, double, gbk::DateTime, bool, Bytes>;

// The declared type of a column, which decides what a NULL shows as. A Single column
// holds double values like Float but shows them as single-precision numbers do (six
// significant digits); it comes last so that stored type numbers keep their meaning.
enum class ColumnType { Text, Integer, Float, DateTime, Boolean, Bytes, Single };

// Integer, Float and Single: a NULL there shows as "0".
inline bool isNumberColumn(ColumnType type) {
    return type == ColumnType::Integer || type == ColumnType::Float || type == ColumnType::Single;
}

// A value made a text the way the record window shows it: NULL gives "0" in integer and
// floating-point columns and "" in every other column; numbers and dates by the runtime's
// to-text rules (gbk::toText). Booleans show as "1" / "0": the ODBC drivers deliver a
// Yes/No column as SQL_BIT, whose character form is "1" / "0" (not Access's own -1), and
// the loaded table stores them as the integers 1 / 0, so an exact numeric search for 1
// finds the rows that show "1". Bytes show as upper-case hexadecimal, as ODBC gives binary
// columns in character form.
std::string toDisplayText(const Value& value, ColumnType column);

// Dates as a continuous number of days since 1899-12-30 00:00 (the epoch Jet and Excel
// count from), the time of day as the fraction; earlier dates are negative. It sorts as
// the dates do, which is why the loaded tables keep dates in this form. A date with a
// field out of range (month 13, year 0) gives NaN.
double serialDaysFromDate(const gbk::DateTime& date);
// The inverse, rounded to the nearest second. Values outside years 1..9999 or not finite
// give 1899-12-30 00:00.
gbk::DateTime dateFromSerialDays(double days);

}  // namespace db
