// Bulk GBK <-> UTF-8 conversion for the database component's hot paths.
//
// Loading a table converts every cell once and every fetched cell once more; the
// per-call cost of common/codepage.h (a fresh ICU converter each time, ~0.6 us) would
// dominate a load of a million cells. These functions give byte-for-byte the same results
// as codepage::gbkToUtf8 / utf8ToGbk, because every non-ASCII character is converted
// through those functions once and then remembered. ASCII passes straight through.
// Thread-safe: the memo tables are filled with atomic stores.
#pragma once

#include <string>
#include <string_view>

namespace db::codec {

// Appends the UTF-8 form of `gbk` to `out`.
void appendGbkAsUtf8(std::string_view gbk, std::string& out);
// Appends the GBK form of `utf8` to `out`; characters code page 936 cannot hold become "?".
void appendUtf8AsGbk(std::string_view utf8, std::string& out);

inline std::string gbkToUtf8(std::string_view gbk) {
    std::string out;
    appendGbkAsUtf8(gbk, out);
    return out;
}
inline std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    appendUtf8AsGbk(utf8, out);
    return out;
}

// The code point of the well-formed UTF-8 sequence at s[i] and its length in bytes; 0
// for anything ill-formed (overlong, surrogate, beyond U+10FFFF, cut short).
unsigned decodeUtf8(std::string_view s, size_t i, char32_t& cp);

// Appends code point `c` (at most U+10FFFF, no surrogate) as UTF-8.
void appendUtf8(char32_t c, std::string& out);

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

}  // namespace db::codec
