// Jet LIKE patterns on UTF-8 texts: character lists, ranges and negation on whole
// characters, the plain characters a list protects, ASCII-only case folding, and the
// searches' own "%T%" shapes next to the general matcher.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/database/like_pattern.h"

namespace {

// Which of `texts` the pattern matches (all UTF-8).
std::vector<std::string> matching(const std::string& pattern, const std::vector<std::string>& texts) {
    const db::LikePattern compiled(pattern);
    std::vector<std::string> out;
    for (const auto& text : texts)
        if (compiled.matches(text)) out.push_back(text);
    return out;
}

using Texts = std::vector<std::string>;

TEST(LikePattern, CharacterListsRangesAndNegation) {
    const Texts names{"张三", "老王", "李四", "张", "王五六"};
    EXPECT_EQ(matching("%[张王]%", names), (Texts{"张三", "老王", "张", "王五六"}));
    EXPECT_EQ(matching("[张王]_", names), Texts{"张三"});
    EXPECT_EQ(matching("[!张王]%", names), (Texts{"老王", "李四"}));

    const Texts words{"apple", "Beta", "zeta", "F1", "g", "-x"};
    EXPECT_EQ(matching("[a-f]%", words), (Texts{"apple", "Beta", "F1"}));
    EXPECT_EQ(matching("[A-F]%", words), (Texts{"apple", "Beta", "F1"}));
    EXPECT_EQ(matching("[!a-f]%", words), (Texts{"zeta", "g", "-x"}));
    EXPECT_EQ(matching("%[0-9]", words), Texts{"F1"});
    EXPECT_EQ(matching("[!a-z0-9]%", words), Texts{"-x"});

    // Ranges follow code page 936's order: 一 (D2 BB) lies between 啊 (B0 A1) and 座 (D7 F9)
    // there, though not in Unicode's (U+4E00 comes before U+554A).
    EXPECT_EQ(matching("[啊-座]", {"一", "座", "啊", "丂", "a"}), (Texts{"一", "座", "啊"}));
}

TEST(LikePattern, WhatAListMakesPlainAndWhatIsReadLeniently) {
    // Inside a list the wildcards and "[" stand for themselves; "-" first or last too.
    EXPECT_EQ(matching("50[%]", {"50%", "500", "50"}), Texts{"50%"});
    EXPECT_EQ(matching("%[_]%", {"a_b", "ab"}), Texts{"a_b"});
    EXPECT_EQ(matching("[[]%", {"[x]", "x"}), Texts{"[x]"});
    EXPECT_EQ(matching("[-a]", {"-", "a", "b"}), (Texts{"-", "a"}));
    EXPECT_EQ(matching("[a-]", {"-", "a", "b"}), (Texts{"-", "a"}));
    // "[]" stands for nothing; "[!]" for any one character.
    EXPECT_EQ(matching("a[]b", {"ab", "axb"}), Texts{"ab"});
    EXPECT_EQ(matching("a[!]b", {"ab", "axb", "a张b"}), (Texts{"axb", "a张b"}));
    // An unclosed "[" is a plain character, as a user's search text may hold one.
    EXPECT_EQ(matching("%[张%", {"[张三]", "张三"}), Texts{"[张三]"});
    // A reversed range holds nothing.
    EXPECT_EQ(matching("[z-a]", {"a", "m", "z"}), Texts{});
    EXPECT_EQ(matching("[!z-a]", {"a", "m"}), (Texts{"a", "m"}));
}

TEST(LikePattern, WildcardsStepByWholeCharactersAndFoldOnlyAscii) {
    // "_" is one character, whichever its length in bytes.
    EXPECT_EQ(matching("_", {"张", "a", "张三", ""}), (Texts{"张", "a"}));
    EXPECT_EQ(matching("张_", {"张三", "张a", "张", "张三丰"}), (Texts{"张三", "张a"}));
    EXPECT_EQ(matching("%", {"", "x"}), (Texts{"", "x"}));
    EXPECT_EQ(matching("", {"", "x"}), Texts{""});
    // Only ASCII letters fold: full-width Ａ (A3 C1) and Ｂ do not meet their ASCII forms.
    EXPECT_EQ(matching("%b%", {"ABC", "abc", "ＡＢＣ"}), (Texts{"ABC", "abc"}));
    EXPECT_EQ(matching("%Ｂ%", {"ＡＢＣ", "ＡｂＣ", "ABC"}), Texts{"ＡＢＣ"});
    // "*" and "?" are not wildcards in the drivers' ODBC dialect.
    EXPECT_EQ(matching("a*", {"a*", "ab"}), Texts{"a*"});
    EXPECT_EQ(matching("a?", {"a?", "ab"}), Texts{"a?"});
    // A "%" that must give back characters for a later part to match.
    EXPECT_EQ(matching("%ab_d%", {"aabxabcd", "abd", "xxabzdyy", "ab张d"}), (Texts{"aabxabcd", "xxabzdyy", "ab张d"}));
    EXPECT_EQ(matching("%[0-9]年%", {"2013年6月19日", "年", "x年"}), Texts{"2013年6月19日"});
}

TEST(LikePattern, TheSearchShapesAgreeWithTheGeneralMatcher) {
    // The same question asked of a plain shape and of an equivalent pattern that the fast
    // comparison cannot take (a one-character list).
    const Texts texts{"", "2013年6月19日", "Abc2013", "x张三y", "张三", "a2013", "20"};
    for (const std::string literal : {"2013", "abc", "张三", "年6"}) {
        const size_t first = static_cast<unsigned char>(literal[0]) < 0x80 ? 1 : 3;  // UTF-8 length
        const std::string listed = "[" + literal.substr(0, first) + "]" + literal.substr(first);
        for (const auto& [plain, general] : {std::pair{"%" + literal + "%", "%" + listed + "%"},
                                             std::pair{literal + "%", listed + "%"},
                                             std::pair{"%" + literal, "%" + listed},
                                             std::pair{literal, listed}})
            EXPECT_EQ(matching(plain, texts), matching(general, texts)) << plain;
    }
    EXPECT_EQ(matching("%张三%", texts), (Texts{"x张三y", "张三"}));
    EXPECT_EQ(matching("张三%", texts), Texts{"张三"});
    EXPECT_EQ(matching("%日", texts), Texts{"2013年6月19日"});
    EXPECT_EQ(matching("ABC%", texts), Texts{"Abc2013"});
}

}  // namespace
