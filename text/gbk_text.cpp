// Text operations on GBK byte strings: trimming, case, searching and replacing on
// character boundaries, and the number <-> text conversions.
//
// Number conversions never go through the C locale: Qt sets the user's locale at start-up,
// and a decimal comma there must not change what "3.5" reads as or how 0.5 is written.
#include "text/gbk_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <vector>

namespace gbk {
namespace {

// Length of the character that starts at byte i. A lead byte at the very end (a text cut
// in the middle of a character) is a character of its own.
size_t charLength(std::string_view text, size_t i) {
    return (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

bool isFullWidthSpace(std::string_view text, size_t i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
           static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Byte index (0-based) of the first match of `what` starting on a character boundary at
// or after `from` (which must itself be a boundary), or npos.
size_t findFrom(std::string_view text, std::string_view what, size_t from) {
    for (size_t i = from; i < text.size(); i += charLength(text, i))
        if (i + what.size() <= text.size() && text.compare(i, what.size(), what) == 0) return i;
    return std::string_view::npos;
}

// The text with full-width ASCII forms (A3 A1..A3 FE) read as their half-width
// characters and the full-width space as 0x20, so the number readers see plain ASCII.
std::string halfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t len = charLength(text, i);
        auto lead = static_cast<unsigned char>(text[i]);
        if (len == 2 && lead == 0xA3 && static_cast<unsigned char>(text[i + 1]) >= 0xA1 &&
            static_cast<unsigned char>(text[i + 1]) <= 0xFE) {
            out += static_cast<char>(static_cast<unsigned char>(text[i + 1]) - 0x80);
        } else if (len == 2 && isFullWidthSpace(text, i)) {
            out += ' ';
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipSpace(std::string_view s, size_t i) {
    while (i < s.size() && isSpace(s[i])) ++i;
    return i;
}

// strtod in the "C" locale whatever the process locale is.
double parseCDouble(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

std::string formatGeneral(double value, int precision) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    return std::string(buf, result.ptr);
}

}  // namespace

std::string trim(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        if (text[start] == ' ') ++start;
        else if (isFullWidthSpace(text, start)) start += 2;
        else break;
    }
    // The end can only be found walking forward: "A1 A1" at the end may be the trail
    // byte of one character followed by the lead byte of another.
    size_t end = start;
    for (size_t i = start; i < text.size();) {
        size_t len = charLength(text, i);
        if (!(text[i] == ' ' || (len == 2 && isFullWidthSpace(text, i)))) end = i + len;
        i += len;
    }
    return std::string(text.substr(start, end - start));
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); i += charLength(out, i)) out[i] = foldAscii(out[i]);
    return out;
}

int find(std::string_view text, std::string_view what) {
    if (what.empty()) return 1;
    size_t at = findFrom(text, what, 0);
    return at == std::string_view::npos ? -1 : static_cast<int>(at) + 1;
}

int findLast(std::string_view text, std::string_view what) {
    if (what.empty()) return 1;
    int last = -1;
    for (size_t i = 0; i < text.size(); i += charLength(text, i))
        if (i + what.size() <= text.size() && text.compare(i, what.size(), what) == 0)
            last = static_cast<int>(i) + 1;
    return last;
}

std::string left(std::string_view text, int n) {
    if (n <= 0) return {};
    return std::string(text.substr(0, static_cast<size_t>(n)));
}

std::string right(std::string_view text, int n) {
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<size_t>(n)));
}

bool beginsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

namespace {

// Every place where matchesAt(i) holds, on character boundaries left to right, replaced by
// `to`; replaced text is not searched again.
template <class Matcher>
std::string replaceMatches(std::string_view text, size_t width, std::string_view to, Matcher matchesAt) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (i + width <= text.size() && matchesAt(i)) {
            out.append(to);
            i += width;
        } else {
            size_t len = charLength(text, i);
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

}  // namespace

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    return replaceMatches(text, from.size(), to,
                          [&](size_t i) { return text.compare(i, from.size(), from) == 0; });
}

std::string replaceAllNoCase(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    // Only bytes that are one-byte characters of `from` compare without case: a trail
    // byte such as 0x41 is part of a two-byte character and must match exactly. Lead
    // bytes never fold, so a match keeps the character structure of `from`.
    std::vector<bool> single(from.size(), false);
    for (size_t k = 0; k < from.size(); k += charLength(from, k)) single[k] = charLength(from, k) == 1;
    return replaceMatches(text, from.size(), to, [&](size_t i) {
        for (size_t k = 0; k < from.size(); ++k) {
            char a = text[i + k], b = from[k];
            if (single[k] ? foldAscii(a) != foldAscii(b) : a != b) return false;
        }
        return true;
    });
}

double toNumber(std::string_view text) {
    const std::string s = halfWidth(text);
    size_t i = skipSpace(s, 0);
    const size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    // An exponent counts only with at least one digit: "1e" and "1e+" read as 1.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    return parseCDouble(s.substr(start, i - start));
}

int32_t integerPart(double value) {
    // A value without a finite result counts as 0 (a division by zero in layout arithmetic).
    if (!std::isfinite(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);  // truncates toward zero
}

int64_t leadingWholeNumber(std::string_view text) {
    const std::string s = halfWidth(text);
    size_t i = skipSpace(s, 0);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // The magnitude stops at 2^63, which is the most negative value and one past the most
    // positive one.
    constexpr uint64_t kLimit = uint64_t{1} << 63;
    uint64_t magnitude = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        const auto digit = static_cast<uint64_t>(s[i] - '0');
        magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
    }
    if (negative) return magnitude == kLimit ? INT64_MIN : -static_cast<int64_t>(magnitude);
    return magnitude == kLimit ? INT64_MAX : static_cast<int64_t>(magnitude);
}

int32_t integerPart(std::string_view text) {
    return static_cast<int32_t>(std::clamp<int64_t>(leadingWholeNumber(text), std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::string toText(int64_t value) { return std::to_string(value); }

std::string toText(double value) { return formatGeneral(value, 13); }

// Every float is exactly a double, so six digits of the double are six digits of the float.
std::string toTextSingle(float value) { return formatGeneral(static_cast<double>(value), 6); }

std::string toText(const DateTime& value) {
    std::string out = toText(value.year) + dateUnits::year + toText(value.month) + dateUnits::month +
                      toText(value.day) + dateUnits::day;
    if (value.second != 0)
        out += toText(value.hour) + dateUnits::hour + toText(value.minute) + dateUnits::minute +
               toText(value.second) + dateUnits::second;
    else if (value.minute != 0)
        out += toText(value.hour) + dateUnits::hour + toText(value.minute) + dateUnits::minute;
    else if (value.hour != 0)
        out += toText(value.hour) + dateUnits::hour;
    return out;
}

}  // namespace gbk
