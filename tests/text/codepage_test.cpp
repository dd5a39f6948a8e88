// The GBK <-> Unicode edge: the whole code page 936 table, unmappable characters and
// broken input. Expected values are explicit bytes, never made by the codec under test.
#include "text/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(Codepage, EveryDoubleByteCodeRoundTrips) {
    int mapped = 0, privateUse = 0;
    std::string failures;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            const QString text = codepage::toQString(gbk);
            if (text.size() != 1 || text.at(0) == QChar(QChar::ReplacementCharacter)) continue;
            ++mapped;
            if (text.at(0).unicode() >= 0xE000 && text.at(0).unicode() <= 0xF8FF) ++privateUse;
            if (codepage::fromQString(text) != gbk && failures.size() < 200)
                failures += QString::number(lead * 256 + trail, 16).toStdString() + " ";
        }
    }
    EXPECT_EQ(failures, "");
    // Measured with Debian 12's Qt 6.4 on ICU 72: Windows' table gives every one of the
    // 126 x 190 codes a character, 21,791 ordinary ones and 2,149 user-defined
    // (private-use) ones. A smaller count means the codec lost the user-defined area.
    EXPECT_EQ(mapped, 23940);
    EXPECT_EQ(privateUse, 2149);
}

TEST(Codepage, KnownCodes) {
    EXPECT_EQ(codepage::gbkToUtf8("\xD6\xD0"), "\xE4\xB8\xAD");      // 中
    EXPECT_EQ(codepage::gbkToUtf8("\x95\x5C"), "\xE6\x98\x9E");      // 昞, trail byte "\"
    EXPECT_EQ(codepage::gbkToUtf8("\xA1\xA1"), "\xE3\x80\x80");      // full-width space
    EXPECT_EQ(codepage::gbkToUtf8("\x80"), "\xE2\x82\xAC");          // euro sign, one byte
    EXPECT_EQ(codepage::gbkToUtf8("\xAA\xA1"), "\xEE\x80\x80");      // user-defined: U+E000
    EXPECT_EQ(codepage::gbkToUtf8("\xFE\xFE"), "\xEE\x93\x85");      // user-defined: U+E4C5
    EXPECT_EQ(codepage::utf8ToGbk("\xEE\x80\x80"), "\xAA\xA1");
    EXPECT_EQ(codepage::utf8ToGbk("a\xE4\xB8\xAD" "b"), "a\xD6\xD0" "b");
    EXPECT_EQ(codepage::utf8ToGbk("plain ascii\r\n"), "plain ascii\r\n");
    EXPECT_EQ(codepage::toLocalPath("d/\xD5\xD5\xC6\xAC"), "d/\xE7\x85\xA7\xE7\x89\x87");  // 照片
    EXPECT_EQ(codepage::fromLocalPath("d/\xE7\x85\xA7\xE7\x89\x87"), "d/\xD5\xD5\xC6\xAC");
}

TEST(Codepage, UnmappableCharacterBecomesExactlyOneQuestionMark) {
    EXPECT_EQ(codepage::utf8ToGbk("\xF0\x9F\x98\x80"), "?");                     // U+1F600
    EXPECT_EQ(codepage::utf8ToGbk("a\xE0\xB8\x81" "b"), "a?b");                  // Thai U+0E01
    EXPECT_EQ(codepage::utf8ToGbk("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xE4\xB8\xAD"), "??\xD6\xD0");
    EXPECT_EQ(codepage::utf8ToGbk("\xE0\xB8\x81\xE4\xB8\xAD\xE0\xB8\x81"), "?\xD6\xD0?");
    EXPECT_EQ(codepage::utf8ToGbk("x?y"), "x?y");
    EXPECT_EQ(codepage::utf8ToGbk("a\xFF" "b"), "a?b");  // invalid UTF-8
}

TEST(Codepage, BrokenUtf16) {
    EXPECT_EQ(codepage::utf16ToGbk(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(codepage::utf16ToGbk(std::u16string{u'a', 0xD800}), "a?");
    EXPECT_EQ(codepage::utf16ToGbk(std::u16string{0xDC00, u'a'}), "?a");
    // A high surrogate with no low one after it must not take the next character along.
    EXPECT_EQ(codepage::utf16ToGbk(std::u16string{0xD800, u'a', 0x4E2D}), "?a\xD6\xD0");
}

TEST(Codepage, InvalidGbkBecomesReplacementCharacters) {
    EXPECT_EQ(codepage::gbkToUtf8("\x81\x30"), "\xEF\xBF\xBD" "0");
    EXPECT_EQ(codepage::gbkToUtf8("\x81\x7F" "A"), "\xEF\xBF\xBD\x7F" "A");
    // A text cut in the middle of a character: the codec would drop the last byte.
    EXPECT_EQ(codepage::gbkToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(codepage::gbkToUtf8("\xD6\xD0\xD6"), "\xE4\xB8\xAD\xEF\xBF\xBD");
    EXPECT_EQ(codepage::gbkToUtf8("\xFF"), "\xEF\xA3\xB5");  // Windows: U+F8F5, one byte
}

TEST(Codepage, NoByteIsEverHeldBack) {
    // For every text of one or two bytes, decoding it and then a newline must equal
    // decoding both together; otherwise a byte at the end was swallowed or misjudged.
    const QString newline(u'\n');
    for (int a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            std::string text{static_cast<char>(a)};
            if (b >= 0) text += static_cast<char>(b);
            ASSERT_EQ(codepage::toQString(text + "\n"), codepage::toQString(text) + newline)
                << "bytes " << a << " " << b;
        }
    }
}

}  // namespace
