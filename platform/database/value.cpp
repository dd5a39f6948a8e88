// Typed values made texts for the record window, and the day numbers dates are kept as.
#include "platform/database/value.h"

#include <cmath>

#include "platform/database/display_format.h"

namespace db {
namespace {

// Days from 0001-01-01 in the proleptic Gregorian calendar (the civil-from-days
// algorithm), so that any year 1..9999 converts without a table.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;  // days since 1970-01-01
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

const int64_t kEpoch = daysFromCivil(1899, 12, 30);

char hexDigit(unsigned v) { return static_cast<char>(v < 10 ? '0' + v : 'A' + v - 10); }

}  // namespace

std::string toDisplayText(const Value& value, ColumnType column) {
    switch (value.index()) {
    case 0:
        return isNumberColumn(column) ? "0" : "";
    case 1: return std::get<std::string>(value);
    case 2: return integerText(std::get<int64_t>(value));
    case 3:
        if (column == ColumnType::Single) return gbk::toTextSingle(static_cast<float>(std::get<double>(value)));
        return numberText(std::get<double>(value));
    case 4: return dateText(std::get<gbk::DateTime>(value));
    case 5: return std::get<bool>(value) ? "1" : "0";
    default: {
        std::string hex;
        for (unsigned char c : std::get<Bytes>(value).data) {
            hex += hexDigit(c >> 4);
            hex += hexDigit(c & 0xF);
        }
        return hex;
    }
    }
}

double serialDaysFromDate(const gbk::DateTime& date) {
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > 31 || date.hour < 0 || date.minute < 0 || date.second < 0)
        return std::nan("");
    const int64_t day = daysFromCivil(date.year, static_cast<unsigned>(date.month),
                                      static_cast<unsigned>(date.day)) - kEpoch;
    const int seconds = date.hour * 3600 + date.minute * 60 + date.second;
    return static_cast<double>(day) + seconds / 86400.0;
}

gbk::DateTime dateFromSerialDays(double days) {
    gbk::DateTime out;
    // Years 1..9999: about -693593 .. 2958465 days from the epoch.
    if (!std::isfinite(days) || days < -693594.0 || days > 2958466.0) return out;
    auto seconds = static_cast<int64_t>(std::llround(days * 86400.0));
    int64_t day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int64_t rest = seconds - day * 86400;
    civilFromDays(day + kEpoch, out.year, out.month, out.day);
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    return out;
}

}  // namespace db
