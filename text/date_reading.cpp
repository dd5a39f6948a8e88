// The date reading and OLE day numbers (see date_reading.h).
#include "text/date_reading.h"

#include <cstdint>

namespace gbk {
namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (the days-from-civil
// algorithm), valid for every year 1..9999.
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Steps through the text: numbers, then what may follow each.
class DateScanner {
  public:
    explicit DateScanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ == text_.size(); }

    // 1..maxDigits decimal digits.
    bool number(int maxDigits, int& out) {
        int digits = 0;
        out = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            if (++digits > maxDigits) return false;
            out = out * 10 + (text_[pos_++] - '0');
        }
        return digits > 0;
    }

    // One of "/", "-", ".", ":" or the two GBK bytes of `unit`.
    bool separator(const char* unit) {
        if (atEnd()) return false;
        const char c = text_[pos_];
        if (c == '/' || c == '-' || c == '.' || c == ':') {
            ++pos_;
            return true;
        }
        if (text_.substr(pos_).starts_with(unit)) {
            pos_ += 2;
            return true;
        }
        return false;
    }

    bool spaces() {
        const size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
        return pos_ > start;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool isValid(const DateTime& d) {
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= daysInMonth(d.year, d.month) && d.hour <= 23 && d.minute <= 59 &&
           d.second <= 59;
}

}  // namespace

std::optional<DateTime> readDate(std::string_view gbkText) {
    const std::string trimmed = trim(gbkText);
    DateScanner scan(trimmed);
    DateTime date;
    if (!scan.number(4, date.year) || !scan.separator(dateUnits::year)) return std::nullopt;
    if (!scan.number(2, date.month) || !scan.separator(dateUnits::month)) return std::nullopt;
    if (!scan.number(2, date.day)) return std::nullopt;

    // After the day: the end, or a separator and/or spaces before the time.
    date.hour = date.minute = date.second = 0;
    if (!scan.atEnd()) {
        const bool separated = scan.separator(dateUnits::day);
        if (!scan.spaces() && !separated) return std::nullopt;
        // The time's numbers, each but the first needing a separator before it.
        int* const parts[] = {&date.hour, &date.minute, &date.second};
        const char* const units[] = {dateUnits::hour, dateUnits::minute, dateUnits::second};
        for (int i = 0; i < 3 && !scan.atEnd(); ++i) {
            if (!scan.number(2, *parts[i])) return std::nullopt;
            if (!scan.atEnd() && !scan.separator(units[i])) return std::nullopt;
        }
        if (!scan.atEnd()) return std::nullopt;
    }
    if (!isValid(date)) return std::nullopt;
    return date;
}

double dateSerial(const DateTime& date) {
    static const int64_t kEpoch = daysFromCivil(1899, 12, 30);
    const auto day = static_cast<double>(daysFromCivil(date.year, date.month, date.day) - kEpoch);
    const double time = (date.hour * 3600 + date.minute * 60 + date.second) / 86400.0;
    // Before the epoch the time of day still counts forwards, away from the whole part.
    return day < 0 ? day - time : day + time;
}

double dateSerialOfText(std::string_view gbkText) {
    const auto date = readDate(gbkText);
    return date ? dateSerial(*date) : kFirstDateSerial;
}

double clampDateSerial(double serial) {
    if (serial > kLastDateSerial) return kLastDateSerial;
    if (serial < kFirstDateSerial) return kFirstDateSerial;
    return serial;
}

double continuousDays(double serial) {
    if (serial >= 0) return serial;
    const double whole = static_cast<double>(static_cast<int64_t>(serial));
    return whole - (serial - whole);
}

int compareDateSerials(double a, double b) {
    const double x = continuousDays(clampDateSerial(a));
    const double y = continuousDays(clampDateSerial(b));
    return x > y ? 1 : (x < y ? -1 : 0);
}

}  // namespace gbk
