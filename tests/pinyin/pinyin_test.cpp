// The pinyin library's two functions, called as the query program calls them: a buffer
// of 100 spaces and a GBK text given as explicit bytes.
#include "platform/pinyin/pinyin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Room for the result and a guard region that the functions must never touch.
struct Buffer {
    char bytes[140];
    Buffer() {
        std::memset(bytes, '#', sizeof bytes);
        std::memset(bytes, ' ', 100);
        bytes[100] = '\0';
    }
    bool guardIntact() const {
        for (size_t k = 101; k < sizeof bytes; ++k)
            if (bytes[k] != '#') return false;
        return true;
    }
};

std::string initials(const std::string& text) {
    Buffer b;
    const int length = GetPinYinLeader(b.bytes, text.c_str());
    EXPECT_TRUE(b.guardIntact());
    EXPECT_EQ(length, static_cast<int>(std::strlen(b.bytes)));
    return b.bytes;
}

std::string full(const std::string& text) {
    Buffer b;
    const int length = GetPinYin(b.bytes, text.c_str(), "");
    EXPECT_TRUE(b.guardIntact());
    EXPECT_EQ(length, static_cast<int>(std::strlen(b.bytes)));
    return b.bytes;
}

const std::string 张 = "\xD5\xC5", 三 = "\xC8\xFD", 单 = "\xB5\xA5", 曾 = "\xD4\xF8",
                  解 = "\xBD\xE2";
const std::string 绿 = "\xC2\xCC", 〇 = "\xA9\x96", 一 = "\xD2\xBB";

TEST(PinyinLibrary, ReadsGb2312AndGbkOnlyHanzi) {
    EXPECT_EQ(initials(张 + 三), "zs");
    EXPECT_EQ(full(张 + 三), "zhangsan");
    // 绿: "ü" is written "v".
    EXPECT_EQ(full(绿), "lv");
    // GBK-only: 赟 (DA53), 堃 (88D2), 喆 (86B4), 玥 (AB68).
    EXPECT_EQ(full("\xDA\x53\x88\xD2\x86\xB4\xAB\x68"), "yunkunzheyue");
    EXPECT_EQ(initials("\xDA\x53\x88\xD2\x86\xB4\xAB\x68"), "ykzy");
    // The ideographic zero.
    EXPECT_EQ(full(〇 + 一), "lingyi");
    EXPECT_EQ(initials(""), "");
    EXPECT_EQ(full(""), "");
}

TEST(PinyinLibrary, APolyphonicFirstCharacterTakesItsSurnameReading) {
    // 单 dan / shan, 曾 ceng / zeng, 解 jie / xie, 仇 chou / qiu, 区 qu / ou, 朴 pu / piao,
    // 查 cha / zha, 盖 gai / ge, 乐 le / yue, 覃 tan / qin, 尉 wei / yu, 缪 mou / miao.
    EXPECT_EQ(full(单 + 三), "shansan");
    EXPECT_EQ(full(曾 + 张), "zengzhang");
    EXPECT_EQ(full(解 + 一), "xieyi");
    EXPECT_EQ(initials("\xB3\xF0\xC7\xF8\xC6\xD3\xB2\xE9"), "qqpc");  // 仇区朴查: only the first
    EXPECT_EQ(initials("\xC7\xF8"), "o");
    EXPECT_EQ(initials("\xC6\xD3"), "p");
    EXPECT_EQ(full("\xB2\xE9"), "zha");
    EXPECT_EQ(full("\xB8\xC7"), "ge");
    EXPECT_EQ(full("\xC0\xD6"), "yue");
    EXPECT_EQ(full("\xF1\xFB"), "qin");
    EXPECT_EQ(full("\xCE\xBE"), "yu");
    EXPECT_EQ(full("\xE7\xD1"), "miao");
    // Elsewhere in the text the common reading stands.
    EXPECT_EQ(full(张 + 单), "zhangdan");
    EXPECT_EQ(full(三 + 曾), "sanceng");
    // Spaces before the name do not move its start; other characters do.
    EXPECT_EQ(full("  " + 单), "shan");
    EXPECT_EQ(full("\xA1\xA1" + 单), "shan");
    EXPECT_EQ(full("a" + 单), "adan");
}

// Read character by character, 万俟 gave wq, 长孙 cs and 单于 sy.
TEST(PinyinLibrary, ATwoCharacterSurnameIsReadBeforeItsFirstCharacter) {
    const std::string 万俟 = "\xCD\xF2\xD9\xB9", 长孙 = "\xB3\xA4\xCB\xEF", 单于 = 单 + "\xD3\xDA";
    EXPECT_EQ(initials(万俟 + 三), "mqs");
    EXPECT_EQ(full(万俟 + 三), "moqisan");
    EXPECT_EQ(initials(长孙 + 一), "zsy");
    EXPECT_EQ(full(长孙), "zhangsun");
    EXPECT_EQ(initials(单于), "cy");
    EXPECT_EQ(full("  " + 单于 + 张), "chanyuzhang");
    EXPECT_EQ(initials("\xD7\xD3\xB3\xB5"), "zj");  // 子车
    EXPECT_EQ(full("\xCD\xD8\xB0\xCF"), "tuoba");   // 拓跋
    // Only at the start: elsewhere each character takes its common reading, and the first
    // character alone keeps its own surname reading.
    EXPECT_EQ(full(张 + 单于), "zhangdanyu");
    EXPECT_EQ(full("\xB3\xA4" + 三), "changsan");
    EXPECT_EQ(full(单 + " \xD3\xDA"), "shanyu");
    EXPECT_EQ(full("\xCD\xF2"), "wan");
    // A text cut after the first character's lead byte, or a surname's first half alone.
    EXPECT_EQ(full(单 + "\xD3"), "shan");
    EXPECT_EQ(initials(单 + "a"), "sa");
}

TEST(PinyinLibrary, MixedTextKeepsLettersAndDigitsAndDropsTheRest) {
    // "Ab9" + 张 + " " + full-width "Ｘｙ１" + "，" (full-width comma) + "-_!" + 三
    const std::string text = "Ab9" + 张 + " \xA3\xD8\xA3\xF9\xA3\xB1\xA3\xAC-_!" + 三;
    EXPECT_EQ(initials(text), "ab9zxy1s");
    EXPECT_EQ(full(text), "ab9zhangxy1san");
    // A lead byte without its trail ends the text; an invalid pair is dropped.
    EXPECT_EQ(full(张 + "\xD5"), "zhang");
    EXPECT_EQ(full("\xD5\x20" + 三), "san");
    EXPECT_EQ(full("\x80\x80"
                   "a"),
              "a");
}

TEST(PinyinLibrary, ResultsStopAtOneHundredBytesWithTheTerminator) {
    std::string sixty;
    for (int k = 0; k < 60; ++k) sixty += 张;
    EXPECT_EQ(initials(sixty), std::string(60, 'z'));
    // 60 x "zhang" does not fit: 19 whole syllables (95 bytes), never a part of one.
    std::string expected;
    for (int k = 0; k < 19; ++k) expected += "zhang";
    EXPECT_EQ(full(sixty), expected);

    std::string letters(150, 'Q');
    EXPECT_EQ(initials(letters), std::string(99, 'q'));
    EXPECT_EQ(full(letters + 张), std::string(99, 'q'));
    std::string hundredHanzi;
    for (int k = 0; k < 120; ++k) hundredHanzi += 一;
    EXPECT_EQ(initials(hundredHanzi), std::string(99, 'y'));
}

TEST(PinyinLibrary, NullArgumentsAreSafe) {
    Buffer b;
    EXPECT_EQ(GetPinYin(b.bytes, nullptr, nullptr), 0);
    EXPECT_STREQ(b.bytes, "");
    EXPECT_EQ(GetPinYinLeader(nullptr, "abc"), 0);
}

}  // namespace
