// Which cell number formats show a date or a time: what both workbook readers (.xls and
// .xlsx) use to tell a date cell from a number cell. A date cell's value is the whole
// stored date-time, whatever part of it the format shows.
#pragma once

#include <cstdint>
#include <string_view>

namespace db::sheet {

// A format code (UTF-8) shows a date or time when it uses day, month, year, hour or
// second letters outside quoted text, escapes and [colour]/[$-804] brackets; [h], [mm],
// [ss] (elapsed time) count as time, "aaa" (weekday) and "e" (era year) as dates.
bool isDateFormatCode(std::string_view code);

// Built-in number formats that show dates or times: 14-22 and 45-47 everywhere, 27-36
// and 50-58 in the Chinese, Japanese and Korean editions.
bool isBuiltInDateFormat(uint64_t id);

}  // namespace db::sheet
