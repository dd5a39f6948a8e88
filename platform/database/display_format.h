// The runtime's to-text rules for numbers and dates (gbk::toText), made cheap enough for
// the record window, which turns every cell of a result into its display text: a list of
// 100,000 rows holds over a million of them.
//
// Each function gives byte for byte what the gbk::toText of the same value gives; only the
// cost differs. What the fast paths cannot prove equal goes to gbk::toText itself. The
// append forms write straight into the end of `out`, so that a text built in its final
// place is not copied again.
#pragma once

#include <cstdint>
#include <string>

#include "text/gbk_text.h"

namespace db {

// gbk::toText(int64_t): plain decimal.
void appendIntegerText(int64_t value, std::string& out);
std::string integerText(int64_t value);

// gbk::toText(double): "%.13g". Whole numbers below 10^13 and numbers of at most four
// decimals that are the nearest double to their decimal form (a score of 78.5, a price of
// 12.35) are written directly; everything else (0.1 + 0.2, 1e-7, 1e20, NaN) goes through
// gbk::toText.
void appendNumberText(double value, std::string& out);
std::string numberText(double value);

// The unit characters written after the numbers of a date, in GBK or in UTF-8 (the
// loaded tables' encoding, for comparisons made inside SQLite).
struct DateUnits {
    const char *year, *month, *day, *hour, *minute, *second;
};
extern const DateUnits kGbkDateUnits;
extern const DateUnits kUtf8DateUnits;

// gbk::toText(const gbk::DateTime&): 年月日, then the time down to its last non-zero part.
void appendDateText(const gbk::DateTime& value, std::string& out, const DateUnits& units = kGbkDateUnits);
std::string dateText(const gbk::DateTime& value);

}  // namespace db
