// The reading table of the pinyin library, generated at build time from the Unihan
// readings (make_pinyin_table.py): one syllable per two-byte code of code page 936.
#pragma once

#include <cstdint>

namespace pinyin_table {

constexpr int kFirstLead = 0x81;   // lead bytes 0x81..0xFE
constexpr int kLeadCount = 126;
constexpr int kFirstTrail = 0x40;  // trail bytes 0x40..0xFE (0x7F never occurs)
constexpr int kTrailCount = 191;

// Syllables without tones, lower-case; entry 0 is "" (no reading).
extern const char* const kSyllables[];
// kSyllables index of code (lead, trail) at (lead - kFirstLead) * kTrailCount + (trail - kFirstTrail).
extern const uint16_t kReadings[];

// A character's reading where it starts a text (surnames), sorted by code
// (lead << 8 | trail).
struct SurnameReading {
    uint16_t code;
    uint16_t syllable;
};
extern const SurnameReading kSurnames[];
extern const int kSurnameCount;

// The readings of a two-character surname that starts a text, where they differ from what
// the single characters give (万俟 moqi, 长孙 zhangsun), sorted by code (the four bytes,
// first byte highest).
struct CompoundSurname {
    uint32_t code;
    uint16_t syllables[2];
};
extern const CompoundSurname kCompoundSurnames[];
extern const int kCompoundSurnameCount;

}  // namespace pinyin_table
