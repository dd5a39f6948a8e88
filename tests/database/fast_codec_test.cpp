// The memoised UTF-8 -> GBK conversion against the reference conversion of codepage.h,
// on the texts where its direct path hands over to the general one.
#include <gtest/gtest.h>

#include <string>

#include "text/codepage.h"
#include "platform/database/fast_codec.h"

namespace {

// Both the first conversion (nothing remembered yet) and the next must agree, and a text
// appended to one already there must leave that one alone.
void expectLikeReference(const std::string& utf8) {
    const std::string expected = codepage::utf8ToGbk(utf8);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(db::codec::utf8ToGbk(utf8), expected) << "round " << round << ": " << utf8;
        std::string out = "ab";
        db::codec::appendUtf8AsGbk(utf8, out);
        EXPECT_EQ(out, "ab" + expected) << utf8;
    }
}

TEST(FastCodec, AsciiRunsAroundTheEightByteSteps) {
    for (size_t n = 0; n <= 20; ++n) {
        const std::string ascii = std::string("pupil12345@example.com").substr(0, n);
        expectLikeReference(ascii);
        expectLikeReference(ascii + "张三" + ascii);
    }
}

TEST(FastCodec, CharactersMetForTheFirstTimeInTheMiddleOfAText) {
    // Each text holds characters no other test converts, so the direct path stops there.
    expectLikeReference("abcdefgh\xe9\xbe\x98xyz");                       // 龘
    expectLikeReference("\xe5\xbc\xa0\xe4\xb8\x89 \xe9\xbd\x89\xe9\xbd\x8a");  // 张三 齉齊
    expectLikeReference("caf\xc3\xa9 \xc2\xb7 \xc3\xa9");                 // é and · (two bytes in UTF-8)
}

TEST(FastCodec, WhatGbkCannotHoldAndIllFormedBytes) {
    expectLikeReference("a\xf0\x9f\x98\x80" "b");       // an emoji, beyond the BMP
    expectLikeReference("\xe0\xb8\x81 Thai");           // a character code page 936 lacks
    expectLikeReference("abc\xe5\xbc" "def");           // cut short
    expectLikeReference("\xe5\xbc\xa0\xff\xfe\xe4\xb8\x89");  // stray bytes between characters
    expectLikeReference("\xc0\xaf overlong");
}

}  // namespace
