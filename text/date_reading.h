// Reading a date and time out of a GBK text, and the day numbers dates are compared by.
//
// Accepted form: year (1-4 digits), month, day, then optionally hour, minute and second,
// in this order. Each number is followed by "/", "-", "." or ":" or by its unit character
// (年 月 日 时 分 秒, the form to-text writes); after the day also by spaces; the last
// number may end the text. Spaces around the whole text are ignored. The text must name a
// real date (years 1-9999 as written, no two-digit-year guessing) and time (0-23, 0-59,
// 0-59); anything else is not a date.
//
// Day numbers are OLE automation dates: days since 1899-12-30 as a double, the fraction the
// time of day; before 1899-12-30 the whole part counts backwards while the fraction still
// counts forwards (-1.25 is 1899-12-29 06:00).
#pragma once

#include <optional>
#include <string_view>

#include "text/gbk_text.h"

namespace gbk {

// The date and time the text names, or nothing when it names none.
std::optional<DateTime> readDate(std::string_view gbkText);

// The day number of 0100-01-01 and of 9999-12-31, the range dates are compared in.
inline constexpr double kFirstDateSerial = -657434.0;
inline constexpr double kLastDateSerial = 2958465.0;

// The OLE day number of a valid date (as readDate gives).
double dateSerial(const DateTime& date);
// The day number of the date a text names; kFirstDateSerial when it names none, so that
// unreadable texts sort before every date.
double dateSerialOfText(std::string_view gbkText);
// A day number clamped to [kFirstDateSerial, kLastDateSerial].
double clampDateSerial(double serial);
// An OLE day number as a continuous count of days (-1.25 gives -0.75), so that times of
// day before 1899-12-30 order correctly.
double continuousDays(double serial);
// 1 when a is later, -1 when earlier, 0 when equal, after clamping both and making them
// continuous.
int compareDateSerials(double a, double b);

}  // namespace gbk
