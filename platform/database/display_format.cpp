// Numbers and dates as display texts, without the allocations and the general-purpose
// formatting of gbk::toText on the common values.
#include "platform/database/display_format.h"

#include <charconv>
#include <cmath>

namespace db {
namespace {

// Decimal digits of `value`.
unsigned digitCount(uint64_t value) {
    unsigned count = 1;
    for (; value >= 10000; value /= 10000) count += 4;
    for (; value >= 10; value /= 10) ++count;
    return count;
}

// Appends `magnitude` with a '-' before it when `negative`, written in place: formatting
// aside and copying the bytes in would make the copy wait on the bytes just written, which
// costs more than the formatting.
void appendDecimal(bool negative, uint64_t magnitude, std::string& out) {
    const size_t at = out.size();
    const unsigned length = digitCount(magnitude) + (negative ? 1 : 0);
    out.resize(at + length);
    char* p = out.data() + at;
    if (negative) *p++ = '-';
    std::to_chars(p, out.data() + at + length, magnitude);
}

// Whether "%.13g" of a finite value can be written cheaply: true with |value| = whole /
// 10^decimals. For a whole number below 10^13, %.13g writes its digits. Otherwise, when
// w / 10^d, with w a whole number below 10^13 and d <= 4, rounds to exactly |value|, the
// value is the double nearest to that decimal D: rounding the value to 13 significant
// digits gives D back (the two lie far closer than half a unit of the 13th digit), D has
// at most 13 digits and is at least 10^-4, so %.13g writes it in positional form,
// trailing zeros removed. The smallest such d leaves no trailing zero (w / 10 would have
// matched at d - 1).
bool shortDecimal(double value, uint64_t& whole, int& decimals) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e13)) return false;  // also NaN
    if (magnitude == std::floor(magnitude)) {
        whole = static_cast<uint64_t>(magnitude);
        decimals = 0;
        return true;
    }
    double scale = 10;
    for (decimals = 1; decimals <= 4; ++decimals, scale *= 10) {
        const double w = std::round(magnitude * scale);
        if (w >= 1e13) return false;
        if (w / scale == magnitude) {
            whole = static_cast<uint64_t>(w);
            return true;
        }
    }
    return false;
}

}  // namespace

void appendIntegerText(int64_t value, std::string& out) {
    const bool negative = value < 0;
    appendDecimal(negative, negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value), out);
}

std::string integerText(int64_t value) {
    std::string out;
    appendIntegerText(value, out);
    return out;
}

void appendNumberText(double value, std::string& out) {
    uint64_t whole = 0;
    int decimals = 0;
    if (!shortDecimal(value, whole, decimals)) {
        out += gbk::toText(value);
        return;
    }
    uint64_t divisor = 1;
    for (int k = 0; k < decimals; ++k) divisor *= 10;
    appendDecimal(std::signbit(value), whole / divisor, out);  // -0.0 shows as "-0", as %g writes it
    if (decimals == 0) return;
    const size_t at = out.size();
    out.resize(at + 1 + static_cast<size_t>(decimals));
    char* p = out.data() + at;
    *p = '.';
    uint64_t fraction = whole % divisor;
    for (int k = decimals; k >= 1; --k, fraction /= 10) p[k] = static_cast<char>('0' + fraction % 10);
}

std::string numberText(double value) {
    std::string out;
    appendNumberText(value, out);
    return out;
}

const DateUnits kGbkDateUnits = {gbk::dateUnits::year,   gbk::dateUnits::month,  gbk::dateUnits::day,
                                 gbk::dateUnits::hour,   gbk::dateUnits::minute, gbk::dateUnits::second};
const DateUnits kUtf8DateUnits = {"\xE5\xB9\xB4", "\xE6\x9C\x88", "\xE6\x97\xA5",
                                  "\xE6\x97\xB6", "\xE5\x88\x86", "\xE7\xA7\x92"};

void appendDateText(const gbk::DateTime& value, std::string& out, const DateUnits& units) {
    appendIntegerText(value.year, out);
    out += units.year;
    appendIntegerText(value.month, out);
    out += units.month;
    appendIntegerText(value.day, out);
    out += units.day;
    const int parts = value.second != 0 ? 3 : value.minute != 0 ? 2 : value.hour != 0 ? 1 : 0;
    if (parts >= 1) appendIntegerText(value.hour, out), out += units.hour;
    if (parts >= 2) appendIntegerText(value.minute, out), out += units.minute;
    if (parts >= 3) appendIntegerText(value.second, out), out += units.second;
}

std::string dateText(const gbk::DateTime& value) {
    std::string out;
    appendDateText(value, out);
    return out;
}

}  // namespace db
