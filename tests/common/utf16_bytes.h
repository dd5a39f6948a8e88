// UTF-16 file bytes for tests of files saved as Windows' "Unicode".
#pragma once

#include <string>

// The code units in the given byte order, after `mark` ("\xFF\xFE", "\xFE\xFF" or "").
inline std::string utf16Bytes(const std::u16string& units, bool bigEndian, const std::string& mark) {
    std::string out = mark;
    for (char16_t u : units) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}
