// Text operations on GBK byte strings: character boundaries, numbers and their texts.
// Every GBK text here is written as explicit bytes.
#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "text/codepage.h"

namespace {

// 啊 = B0 A1, 全角空格 = A1 A1, 昞 = 95 5C (its second byte is "\"), 丂 = 81 40.
const std::string kAh = "\xB0\xA1";
const std::string kWideSpace = "\xA1\xA1";
const std::string kBackslashTrail = "\x95\x5C";

TEST(GbkTrim, RemovesHalfAndFullWidthSpacesAtBothEnds) {
    EXPECT_EQ(gbk::trim("  ab c  "), "ab c");
    EXPECT_EQ(gbk::trim(kWideSpace + " " + kAh + " " + kWideSpace + kWideSpace), kAh);
    EXPECT_EQ(gbk::trim("\tx\r\n"), "\tx\r\n");  // nothing else counts as space
    EXPECT_EQ(gbk::trim(kWideSpace + "  " + kWideSpace), "");
    EXPECT_EQ(gbk::trim(""), "");
}

TEST(GbkTrim, FullWidthSpaceOnlyOnCharacterBoundaries) {
    // B0 A1 A1 A1: 啊 then a full-width space; the A1 A1 across the boundary is not one.
    EXPECT_EQ(gbk::trim(kAh + kWideSpace), kAh);
    // B0 A1 A1: 啊 then a lone A1 cut off at the end, which is no space.
    EXPECT_EQ(gbk::trim(kAh + "\xA1"), kAh + "\xA1");
    // 20 B0 A1 A1 20: after 啊 the lead byte A1 takes the last 20 as its trail byte.
    EXPECT_EQ(gbk::trim(" " + kAh + "\xA1 "), kAh + "\xA1 ");
    // A leading lead byte makes the next byte its trail: "X A1 A1" is not trimmed.
    EXPECT_EQ(gbk::trim("\xC4\xA1\xA1"), "\xC4\xA1\xA1");
}

TEST(GbkLower, ChangesOnlyOneByteAsciiLetters) {
    EXPECT_EQ(gbk::lower("ABC.Xyz"), "abc.xyz");
    // 81 41 and 81 5A are characters whose trail bytes look like "A" and "Z".
    EXPECT_EQ(gbk::lower("\x81\x41Q\x81\x5A"), "\x81\x41q\x81\x5A");
    EXPECT_EQ(gbk::lower("A\x81"), "a\x81");  // cut character at the end
}

TEST(GbkFind, MatchesStartOnlyOnCharacterBoundaries) {
    const std::string path = "d:" + kBackslashTrail + "x\\y";
    EXPECT_EQ(gbk::find(path, "\\"), 6);
    EXPECT_EQ(gbk::findLast(path, "\\"), 6);
    EXPECT_EQ(gbk::findLast(kBackslashTrail, "\\"), -1);
    EXPECT_EQ(gbk::find(kBackslashTrail + kBackslashTrail, "\\"), -1);
    EXPECT_EQ(gbk::find("a.b.c", "."), 2);
    EXPECT_EQ(gbk::findLast("a.b.c", "."), 4);
    EXPECT_EQ(gbk::find("abc", "abcd"), -1);
    EXPECT_EQ(gbk::find("abc", ""), 1);
    // A1 B0 A1: the character A1 B0, then a lone A1; the B0 A1 across them is no 啊.
    EXPECT_EQ(gbk::find("\xA1\xB0\xA1", kAh), -1);
    EXPECT_EQ(gbk::find("x\xB0\xA1", kAh), 2);
}

TEST(GbkFind, CutCharacterAtTheEndIsOneByte) {
    EXPECT_EQ(gbk::findLast("ab\x95", "\x95"), 3);
    EXPECT_EQ(gbk::find("\x95", "\x95\x5C"), -1);
}

TEST(GbkParts, LeftRightBeginsWith) {
    EXPECT_EQ(gbk::left("abc", 2), "ab");
    EXPECT_EQ(gbk::left("abc", 0), "");
    EXPECT_EQ(gbk::left("abc", -3), "");
    EXPECT_EQ(gbk::left("abc", 9), "abc");
    EXPECT_EQ(gbk::right("abc", 2), "bc");
    EXPECT_EQ(gbk::right("abc", 9), "abc");
    EXPECT_EQ(gbk::right("abc", -1), "");
    EXPECT_TRUE(gbk::beginsWith("abc", ""));
    EXPECT_TRUE(gbk::beginsWith("abc", "ab"));
    EXPECT_FALSE(gbk::beginsWith("abc", "Ab"));
    EXPECT_FALSE(gbk::beginsWith("ab", "abc"));
    EXPECT_EQ(gbk::length(kAh + "a"), 3);
}

TEST(GbkReplaceAll, LeftToRightWithoutRescan) {
    EXPECT_EQ(gbk::replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(gbk::replaceAll("abab", "ab", "abab"), "abababab");
    EXPECT_EQ(gbk::replaceAll("x%y%%", "%", ""), "xy");
    EXPECT_EQ(gbk::replaceAll("like 'a'", "'", ""), "like a");
    EXPECT_EQ(gbk::replaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(gbk::replaceAll("", "a", "z"), "");
}

TEST(GbkReplaceAll, SkipsTrailBytes) {
    EXPECT_EQ(gbk::replaceAll(kBackslashTrail + "\\", "\\", "/"), kBackslashTrail + "/");
    EXPECT_EQ(gbk::replaceAll("\x81\x41" "A", "A", "b"), "\x81\x41" "b");
}

TEST(GbkReplaceAll, NoCaseFoldsOnlyOneByteLetters) {
    EXPECT_EQ(gbk::replaceAllNoCase("a LIKE b Like c", "like", "="), "a = b = c");
    EXPECT_EQ(gbk::replaceAllNoCase("AAA", "aa", "b"), "bA");
    // 81 41 is a character; 81 61 another: they must not match each other.
    EXPECT_EQ(gbk::replaceAllNoCase("\x81\x61", "\x81\x41", "z"), "\x81\x61");
    EXPECT_EQ(gbk::replaceAllNoCase("\x81\x41x", "\x81\x41X", "z"), "z");
    EXPECT_EQ(gbk::replaceAllNoCase("Q\x81\x51", "q", "-"), "-\x81\x51");
}

TEST(GbkToNumber, LeadingNumberOnly) {
    EXPECT_EQ(gbk::toNumber("320abc"), 320);
    EXPECT_EQ(gbk::toNumber("  -12.5e1x"), -125);
    EXPECT_EQ(gbk::toNumber("+.5"), 0.5);
    EXPECT_EQ(gbk::toNumber("7."), 7);
    EXPECT_EQ(gbk::toNumber("1e"), 1);
    EXPECT_EQ(gbk::toNumber("1e+"), 1);
    EXPECT_EQ(gbk::toNumber("1E-2"), 0.01);
    EXPECT_EQ(gbk::toNumber("\t\n42"), 42);
    EXPECT_EQ(gbk::toNumber("abc"), 0);
    EXPECT_EQ(gbk::toNumber(""), 0);
    EXPECT_EQ(gbk::toNumber("-"), 0);
    EXPECT_EQ(gbk::toNumber("."), 0);
    // No hexadecimal, infinity or NaN, which strtod alone would accept.
    EXPECT_EQ(gbk::toNumber("0x1A"), 0);
    EXPECT_EQ(gbk::toNumber("inf"), 0);
    EXPECT_EQ(gbk::toNumber("nan"), 0);
    EXPECT_EQ(gbk::toNumber("4294967295"), 4294967295.0);
}

TEST(GbkToNumber, FullWidthFormsReadAsAscii) {
    EXPECT_EQ(gbk::toNumber("\xA3\xB1\xA3\xB2\xA3\xB3"), 123);  // １２３
    // 全角空格, －, ４, ．, ５, ｅ, ２ and a trailing 啊
    EXPECT_EQ(gbk::toNumber(kWideSpace + "\xA3\xAD\xA3\xB4\xA3\xAE\xA3\xB5\xA3\xE5\xA3\xB2" + kAh), -450);
    // B0 A3 B1 ...: the A3 is the trail of the first character, not a full-width lead.
    EXPECT_EQ(gbk::toNumber("\xB0\xA3\xB1"), 0);
}

TEST(GbkToNumber, IgnoresTheProcessLocale) {
    // Qt sets the user's locale; a decimal comma there must not change the reading.
    const char* oldLocale = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = oldLocale ? oldLocale : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(gbk::toNumber("3.5"), 3.5);
    EXPECT_EQ(gbk::toText(0.5), "0.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(GbkIntegerPart, CutsTowardZeroAndSaturates) {
    EXPECT_EQ(gbk::integerPart(2.9), 2);
    EXPECT_EQ(gbk::integerPart(-2.9), -2);
    EXPECT_EQ(gbk::integerPart(-0.5), 0);
    EXPECT_EQ(gbk::integerPart(2147483647.9), 2147483647);
    EXPECT_EQ(gbk::integerPart(3e10), 2147483647);
    EXPECT_EQ(gbk::integerPart(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(gbk::integerPart(-3e10), -2147483647 - 1);
    EXPECT_EQ(gbk::integerPart(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(gbk::integerPart(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(GbkIntegerPart, TextReadsSignAndDigitsOnly) {
    EXPECT_EQ(gbk::integerPart(std::string_view("12.9")), 12);
    EXPECT_EQ(gbk::integerPart(std::string_view(" -7e3")), -7);
    EXPECT_EQ(gbk::integerPart(std::string_view("+5")), 5);
    EXPECT_EQ(gbk::integerPart(std::string_view("x5")), 0);
    EXPECT_EQ(gbk::integerPart(std::string_view("\xA3\xAD\xA3\xB9")), -9);  // －９
    EXPECT_EQ(gbk::integerPart(std::string_view("99999999999999999999")), 2147483647);
    EXPECT_EQ(gbk::integerPart(std::string_view("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(gbk::integerPart(std::string_view("-99999999999")), -2147483647 - 1);
}

TEST(GbkToText, Numbers) {
    EXPECT_EQ(gbk::toText(0), "0");
    EXPECT_EQ(gbk::toText(-16777216), "-16777216");
    EXPECT_EQ(gbk::toText(int64_t{-9223372036854775807} - 1), "-9223372036854775808");
    EXPECT_EQ(gbk::toText(0.1 + 0.2), "0.3");
    EXPECT_EQ(gbk::toText(1e20), "1e+20");
    EXPECT_EQ(gbk::toText(2.5), "2.5");
    EXPECT_EQ(gbk::toText(100.0), "100");
    EXPECT_EQ(gbk::toText(1234567890123.0), "1234567890123");
    EXPECT_EQ(gbk::toText(12345678901234.0), "1.234567890123e+13");
    EXPECT_EQ(gbk::toText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(gbk::toText(0.0001), "0.0001");
    EXPECT_EQ(gbk::toText(0.00001), "1e-05");
    EXPECT_EQ(gbk::toTextSingle(0.1f), "0.1");
    EXPECT_EQ(gbk::toTextSingle(1.0f / 3), "0.333333");
    EXPECT_EQ(gbk::toTextSingle(16777217.0f), "1.67772e+07");
    EXPECT_EQ(gbk::toTextSingle(-2.5f), "-2.5");
}

TEST(GbkToText, DateTimeDropsTrailingZeroParts) {
    // 年 C4 EA, 月 D4 C2, 日 C8 D5, 时 CA B1, 分 B7 D6, 秒 C3 EB
    const std::string date = "2024\xC4\xEA" "3\xD4\xC2" "5\xC8\xD5";
    EXPECT_EQ(gbk::toText(gbk::DateTime{2024, 3, 5, 0, 0, 0}), date);
    EXPECT_EQ(gbk::toText(gbk::DateTime{2024, 3, 5, 9, 0, 0}), date + "9\xCA\xB1");
    EXPECT_EQ(gbk::toText(gbk::DateTime{2024, 3, 5, 0, 7, 0}), date + "0\xCA\xB1" "7\xB7\xD6");
    EXPECT_EQ(gbk::toText(gbk::DateTime{2024, 3, 5, 0, 0, 1}),
              date + "0\xCA\xB1" "0\xB7\xD6" "1\xC3\xEB");
    EXPECT_EQ(gbk::toText(gbk::DateTime{2024, 12, 31, 23, 59, 0}),
              "2024\xC4\xEA" "12\xD4\xC2" "31\xC8\xD5" "23\xCA\xB1" "59\xB7\xD6");
}

TEST(IntegerPart, TheLeadingWholeNumberIsExactIn64Bits) {
    EXPECT_EQ(gbk::leadingWholeNumber(""), 0);
    EXPECT_EQ(gbk::leadingWholeNumber("abc"), 0);
    EXPECT_EQ(gbk::leadingWholeNumber("-"), 0);
    EXPECT_EQ(gbk::leadingWholeNumber(" \t+12345678901.9e3"), 12345678901);
    EXPECT_EQ(gbk::leadingWholeNumber("- 5"), 0);
    // Full-width space, minus and digits: "　－１２３４５６７８９０１２"
    EXPECT_EQ(gbk::leadingWholeNumber(codepage::utf8ToGbk("\u3000－１２３４５６７８９０１２")),
              -123456789012);
    EXPECT_EQ(gbk::leadingWholeNumber(codepage::utf8ToGbk("一2")), 0);
    EXPECT_EQ(gbk::leadingWholeNumber("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(gbk::leadingWholeNumber("-9223372036854775808"), INT64_MIN);
    // Beyond 64 bits the value saturates.
    EXPECT_EQ(gbk::leadingWholeNumber("9223372036854775808"), INT64_MAX);
    EXPECT_EQ(gbk::leadingWholeNumber("-9223372036854775809"), INT64_MIN);
    EXPECT_EQ(gbk::leadingWholeNumber(std::string(300, '9')), INT64_MAX);
    EXPECT_EQ(gbk::leadingWholeNumber("-" + std::string(300, '9')), INT64_MIN);
    EXPECT_EQ(gbk::leadingWholeNumber(std::string_view("12\0"
                                                       "3",
                                                       4)),
              12);
}

}  // namespace
