// Text operations on GBK (code page 936) byte strings.
//
// Every text inside both programs is a std::string of GBK bytes. A byte of 0x80 or more
// starts a two-byte character; operations that search step by whole characters, so the
// second byte of a character (which may be 0x5C "\" or an ASCII letter) never matches.
// Positions are 1-based byte positions; -1 means "not found". Conversion to Unicode is
// not done here (see codepage.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gbk {

// True for a byte that starts a two-byte character.
inline bool isLeadByte(unsigned char c) { return c >= 0x80; }

// Removes 0x20 and the full-width space A1 A1 at both ends; nothing else counts as space.
std::string trim(std::string_view text);
// Changes A-Z only; bytes of two-byte characters are left alone.
std::string lower(std::string_view text);
// Byte length.
inline int length(std::string_view text) { return static_cast<int>(text.size()); }

// 1-based byte position of the first occurrence of `what` that starts on a character
// boundary, or -1. An empty `what` is found at position 1.
int find(std::string_view text, std::string_view what);
// The same for the last occurrence (an empty `what` also gives 1).
int findLast(std::string_view text, std::string_view what);

// The first n bytes (n <= 0 gives "", n beyond the length gives the whole text).
std::string left(std::string_view text, int n);
// The last n bytes, likewise.
std::string right(std::string_view text, int n);
// Byte comparison of the start of `text` with the whole of `prefix`.
bool beginsWith(std::string_view text, std::string_view prefix);

// Every occurrence of `from` on a character boundary, left to right, replaced by `to`;
// replaced text is not searched again. An empty `from` changes nothing.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
// The same, matching ASCII letters without regard to case.
std::string replaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);

// The leading decimal number of a text (full-width forms A3 xx read as ASCII and A1 A1 as
// a space first; leading white space skipped; sign, digits, fraction, exponent); 0 when
// there is none. Independent of the process locale; no hexadecimal, "inf" or "nan".
double toNumber(std::string_view text);
// A number cut toward zero to a signed 32-bit integer (out-of-range values saturate; a
// value that is not finite, such as a division by zero gives, counts as 0).
int32_t integerPart(double value);
// A text read as an integer: the to-number rules, but sign and digits only, exact in 64
// bits and saturating beyond (student and phone numbers have 11 digits or more).
int64_t leadingWholeNumber(std::string_view text);
// The same cut to a signed 32-bit integer (saturating).
int32_t integerPart(std::string_view text);

// A calendar date and time of day, as the data sources give them.
struct DateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const DateTime&) const = default;
};

// GBK bytes of the date and time units that to-text writes after each number.
namespace dateUnits {
inline constexpr const char* year = "\xC4\xEA";    // 年
inline constexpr const char* month = "\xD4\xC2";   // 月
inline constexpr const char* day = "\xC8\xD5";     // 日
inline constexpr const char* hour = "\xCA\xB1";    // 时
inline constexpr const char* minute = "\xB7\xD6";  // 分
inline constexpr const char* second = "\xC3\xEB";  // 秒
}  // namespace dateUnits

// Plain decimal, "-" when negative.
std::string toText(int64_t value);
inline std::string toText(int value) { return toText(static_cast<int64_t>(value)); }
// Up to 13 significant digits ("%.13g").
std::string toText(double value);
// Up to 6 significant digits (single precision).
std::string toTextSingle(float value);
// "%d年%d月%d日" then "%d时%d分%d秒" / "%d时%d分" / "%d时" by the first non-zero of
// seconds, minutes, hours (GBK bytes).
std::string toText(const DateTime& value);

}  // namespace gbk
