// Memoised GBK <-> UTF-8: each character goes through common/codepage.h once.
#include "platform/database/fast_codec.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "text/codepage.h"

namespace db::codec {
namespace {

// A remembered conversion: the low byte is length + 1 (0 = not yet known), the other
// bytes the converted bytes. Results too long to fit are simply not remembered.
template <typename Word>
bool unpack(Word word, std::string& out) {
    if (word == 0) return false;
    const unsigned len = static_cast<unsigned>(word & 0xFF) - 1;
    for (unsigned k = 0; k < len; ++k) out += static_cast<char>((word >> (8 * (k + 1))) & 0xFF);
    return true;
}
template <typename Word>
Word pack(const std::string& bytes) {
    if (bytes.size() + 1 > sizeof(Word)) return 0;
    Word word = static_cast<Word>(bytes.size() + 1);
    for (size_t k = 0; k < bytes.size(); ++k)
        word |= static_cast<Word>(static_cast<unsigned char>(bytes[k])) << (8 * (k + 1));
    return word;
}

constexpr unsigned kTrailCount = 0xFF - 0x40;  // trail bytes 0x40..0xFE
std::array<std::atomic<uint64_t>, 126 * kTrailCount> gbkPairs{};  // lead 0x81..0xFE
std::array<std::atomic<uint64_t>, 256> gbkSingles{};
std::array<std::atomic<uint32_t>, 0x10000> bmpToGbk{};

bool isTrail(unsigned char t) { return t >= 0x40 && t != 0x7F && t != 0xFF; }

void convertOnce(std::atomic<uint64_t>& slot, std::string_view bytes, std::string& out) {
    if (unpack(slot.load(std::memory_order_acquire), out)) return;
    const std::string utf8 = codepage::gbkToUtf8(bytes);
    slot.store(pack<uint64_t>(utf8), std::memory_order_release);
    out += utf8;
}

}  // namespace

unsigned decodeUtf8(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    unsigned len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (unsigned k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool isAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

void appendGbkAsUtf8(std::string_view gbk, std::string& out) {
    const size_t n = gbk.size();
    size_t i = 0;
    while (i < n) {
        size_t run = i;
        while (run < n && static_cast<unsigned char>(gbk[run]) < 0x80) ++run;
        out.append(gbk.data() + i, run - i);
        i = run;
        if (i >= n) break;
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < n && isTrail(static_cast<unsigned char>(gbk[i + 1]))) {
            const auto trail = static_cast<unsigned char>(gbk[i + 1]);
            convertOnce(gbkPairs[(lead - 0x81) * kTrailCount + (trail - 0x40)], gbk.substr(i, 2), out);
            i += 2;
        } else {
            convertOnce(gbkSingles[lead], gbk.substr(i, 1), out);
            ++i;
        }
    }
}

namespace {

// The general conversion: memoised per character, with the reference conversion for what
// the memo does not hold.
void appendUtf8AsGbkSlowly(std::string_view utf8, std::string& out) {
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        size_t run = i;
        while (run < n && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8.data() + i, run - i);
        i = run;
        if (i >= n) break;
        char32_t cp = 0;
        const unsigned len = decodeUtf8(utf8, i, cp);
        if (len == 0) {
            // Ill-formed bytes: how they turn into "?" depends on what follows, so leave the
            // rest to the reference conversion (character boundaries before this are sound).
            out += codepage::utf8ToGbk(utf8.substr(i));
            return;
        }
        if (cp < 0x10000) {
            auto& slot = bmpToGbk[cp];
            if (!unpack(slot.load(std::memory_order_acquire), out)) {
                const std::string gbk = codepage::utf8ToGbk(utf8.substr(i, len));
                slot.store(pack<uint32_t>(gbk), std::memory_order_release);
                out += gbk;
            }
        } else {
            out += codepage::utf8ToGbk(utf8.substr(i, len));
        }
        i += len;
    }
}

// Converts the start of `utf8` that is ASCII or characters already met into `to`, which
// has room for utf8.size() bytes: each such character takes no more bytes in GBK than in
// UTF-8. Returns the bytes written; `consumed` tells how far it got, short of the end at
// the first character that needs the general loop.
size_t convertKnown(std::string_view utf8, char* to, size_t& consumed) {
    const size_t n = utf8.size();
    const char* from = utf8.data();
    char* const start = to;
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t eight;
            std::memcpy(&eight, from + i, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                std::memcpy(to, &eight, 8);
                to += 8;
                i += 8;
                continue;
            }
        }
        const auto lead = static_cast<unsigned char>(from[i]);
        if (lead < 0x80) {
            *to++ = static_cast<char>(lead);
            ++i;
            continue;
        }
        char32_t cp = 0;
        unsigned len = 0;
        if ((lead & 0xF0) == 0xE0 && i + 2 < n) {
            // Three bytes: every Chinese character, decoded here rather than in general.
            const auto b1 = static_cast<unsigned char>(from[i + 1]);
            const auto b2 = static_cast<unsigned char>(from[i + 2]);
            cp = static_cast<char32_t>(((lead & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) len = 3;
        } else {
            len = decodeUtf8(utf8, i, cp);
        }
        if (len == 0 || cp >= 0x10000) break;
        const uint32_t word = bmpToGbk[cp].load(std::memory_order_acquire);
        const unsigned gbkLength = (word & 0xFF) - 1;
        if (word == 0 || gbkLength > len) break;
        // A character of two or more UTF-8 bytes leaves room for two bytes here.
        to[0] = static_cast<char>(word >> 8);
        to[1] = static_cast<char>(word >> 16);
        if (gbkLength == 3) to[2] = static_cast<char>(word >> 24);
        to += gbkLength;
        i += len;
    }
    consumed = i;
    return static_cast<size_t>(to - start);
}

}  // namespace

void appendUtf8AsGbk(std::string_view utf8, std::string& out) {
    const size_t n = utf8.size();
    const size_t base = out.size();
    size_t consumed = 0;
    constexpr size_t kShort = 15;  // what a std::string holds without allocating
    if (base + n > kShort && n <= 256) {
        // Chinese text shrinks by a third: a text of 18 UTF-8 bytes may well fit without an
        // allocation once converted, so it is converted aside first.
        char buffer[256];
        out.append(buffer, convertKnown(utf8, buffer, consumed));
    } else {
        out.resize(base + n);
        out.resize(base + convertKnown(utf8, out.data() + base, consumed));
    }
    if (consumed < n) appendUtf8AsGbkSlowly(utf8.substr(consumed), out);
}

void appendUtf8(char32_t c, std::string& out) {
    // Into a small buffer first: one append instead of up to four push_backs, each with
    // its own capacity check (character references of a sheet come here by the million).
    char bytes[4];
    size_t n;
    if (c < 0x80) {
        bytes[0] = static_cast<char>(c);
        n = 1;
    } else if (c < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        n = 2;
    } else if (c < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<char>(0xF0 | (c >> 18));
        bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
        n = 4;
    }
    out.append(bytes, n);
}

}  // namespace db::codec
