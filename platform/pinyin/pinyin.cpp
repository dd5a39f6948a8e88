// The pinyin library's two functions over the generated reading table (see pinyin.h).
#include "platform/pinyin/pinyin.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/pinyin/pinyin_table.h"

namespace {

constexpr size_t kResultLimit = 100;  // bytes, terminator included

const char* readingOf(unsigned lead, unsigned trail, bool startsText) {
    using namespace pinyin_table;
    if (lead < kFirstLead || lead >= kFirstLead + kLeadCount || trail < kFirstTrail ||
        trail >= kFirstTrail + kTrailCount)
        return "";
    if (startsText) {
        const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        const SurnameReading* end = kSurnames + kSurnameCount;
        const SurnameReading* found = std::lower_bound(
            kSurnames, end, code, [](const SurnameReading& s, uint16_t c) { return s.code < c; });
        if (found != end && found->code == code) return kSyllables[found->syllable];
    }
    return kSyllables[kReadings[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)]];
}

// The two-character surname that p (two two-byte characters or more) starts with, where
// its readings differ from those of its characters one by one; else nullptr.
const pinyin_table::CompoundSurname* compoundSurnameAt(const unsigned char* p) {
    using namespace pinyin_table;
    if (p[2] < 0x80 || !p[3]) return nullptr;
    const uint32_t code = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    const CompoundSurname* end = kCompoundSurnames + kCompoundSurnameCount;
    const CompoundSurname* found =
        std::lower_bound(kCompoundSurnames, end, code,
                         [](const CompoundSurname& s, uint32_t c) { return s.code < c; });
    return found != end && found->code == code ? found : nullptr;
}

// The half-width letter or digit a full-width one (lead byte A3) stands for, else 0.
char halfWidth(unsigned trail) {
    if (trail >= 0xB0 && trail <= 0xB9) return static_cast<char>('0' + (trail - 0xB0));
    if (trail >= 0xC1 && trail <= 0xDA) return static_cast<char>('a' + (trail - 0xC1));
    if (trail >= 0xE1 && trail <= 0xFA) return static_cast<char>('a' + (trail - 0xE1));
    return 0;
}

char keptAscii(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return static_cast<char>(c);
    return 0;
}

// Steps through the text by characters (a byte of 0x80 or more starts a two-byte one;
// a lead byte without its trail byte ends the text) and appends each character's unit.
int convert(char* buffer, const char* text, bool initialsOnly) {
    if (!buffer) return 0;
    size_t used = 0;
    auto append = [&](const char* unit, size_t length) {
        if (initialsOnly && length > 1) length = 1;
        if (used + length > kResultLimit - 1) return false;
        std::memcpy(buffer + used, unit, length);
        used += length;
        return true;
    };
    auto appendReading = [&](const char* reading) {
        return !*reading || append(reading, std::strlen(reading));
    };
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    bool atStart = true;  // nothing but spaces read so far
    while (*p) {
        bool fits = true;
        if (*p < 0x80) {
            const char c = keptAscii(*p);
            if (c) fits = append(&c, 1);
            if (*p != ' ') atStart = false;
            ++p;
        } else {
            if (!p[1]) break;
            const unsigned lead = p[0], trail = p[1];
            const char half = lead == 0xA3 ? halfWidth(trail) : 0;
            // A two-character surname is looked up before its first character alone:
            // 长孙 reads zhangsun where 长 alone reads chang.
            const pinyin_table::CompoundSurname* compound =
                atStart ? compoundSurnameAt(p) : nullptr;
            if (half) {
                fits = append(&half, 1);
            } else if (compound) {
                fits = appendReading(pinyin_table::kSyllables[compound->syllables[0]]) &&
                       appendReading(pinyin_table::kSyllables[compound->syllables[1]]);
                p += 2;  // the second character is read with the first
            } else {
                fits = appendReading(readingOf(lead, trail, atStart));
            }
            if (!(lead == 0xA1 && trail == 0xA1)) atStart = false;
            p += 2;
        }
        if (!fits) break;
    }
    buffer[used] = '\0';
    return static_cast<int>(used);
}

}  // namespace

extern "C" int GetPinYin(char* buffer, const char* text, const char* /*third*/) {
    return convert(buffer, text, false);
}

extern "C" int GetPinYinLeader(char* buffer, const char* text) { return convert(buffer, text, true); }
