// The text-file repair: TAB to comma byte for byte, the read-only rule, and that a file
// that cannot be read or written is kept and reported.
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "text/codepage.h"
#include "common/text_repair.h"
#include "temp_dir.h"
#include "utf16_bytes.h"

namespace {

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

class TextRepairTest : public TempDirTest {
protected:
    RepairWindow window() {
        RepairWindow w;
        w.caption = [this] { return caption_; };
        w.setCaption = [this](const std::string& c) {
            caption_ = c;
            captions_.push_back(c);
        };
        w.showMessage = [this](const std::string& text, const std::string& title) {
            messages_.push_back(title + "|" + text);
        };
        return w;
    }
    std::string caption_ = "main";
    std::vector<std::string> captions_;
    std::vector<std::string> messages_;
};

TEST_F(TextRepairTest, TabsBecomeCommasAndNothingElseChanges) {
    writeBytes(path("a.txt"), "\x78\x09\x79\x0D\x0A");
    ASSERT_TRUE(校正文本文件(path("a.txt"), window()));
    EXPECT_EQ(readBytes(path("a.txt")), "\x78\x2C\x79\x0D\x0A");
    EXPECT_EQ(captions_, (std::vector<std::string>{G("正在处理文件文件,请稍候....."), "main"}));
    EXPECT_TRUE(messages_.empty());

    std::string gbk = G("姓名\t班级\r\n张三\t一(2)班\r\n表\t") + "\x81\x5C\t\r\n";
    std::string expected = G("姓名,班级\r\n张三,一(2)班\r\n表,") + "\x81\x5C,\r\n";
    writeBytes(path("b.csv"), gbk);
    ASSERT_TRUE(校正文本文件(path("b.csv"), window()));
    EXPECT_EQ(readBytes(path("b.csv")), expected);

    writeBytes(path("c.txt"), "no tabs\r\n");
    ASSERT_TRUE(校正文本文件(path("c.txt"), window()));
    EXPECT_EQ(readBytes(path("c.txt")), "no tabs\r\n");
    EXPECT_EQ(caption_, "main");
}

// Regression: the repair replaced every 0x09 byte, so in a UTF-16 file 三 (U+4E09) became
// 丬 (U+4E2C), and merely opening 设置 on such a file damaged it.
TEST_F(TextRepairTest, Utf16FilesAreRepairedByCodeUnitsAndEveryOtherCharacterStays) {
    std::u16string text = u"姓名\t班级\r\n张三\t";
    std::u16string expected = u"姓名,班级\r\n张三,";
    // Every BMP character with a 0x09 byte in either half (surrogates are no characters).
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        if ((c & 0xFF) != 0x09 && (c >> 8) != 0x09) continue;
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        text += static_cast<char16_t>(c);
        expected += c == 0x09 ? u',' : static_cast<char16_t>(c);
    }
    text += u"\r\n";
    expected += u"\r\n";
    struct Case {
        const char* name;
        bool bigEndian;
        std::string mark;
    };
    for (const Case& c : {Case{"le.txt", false, "\xFF\xFE"}, Case{"be.txt", true, "\xFE\xFF"},
                          Case{"bare.txt", false, ""}}) {
        SCOPED_TRACE(c.name);
        writeBytes(path(c.name), utf16Bytes(text, c.bigEndian, c.mark));
        ASSERT_TRUE(校正文本文件(path(c.name), window()));
        EXPECT_EQ(readBytes(path(c.name)), utf16Bytes(expected, c.bigEndian, c.mark));
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(TextRepairTest, ChineseFileNameAndPermissionBitsKept) {
    std::string gbkPath = path("") + G("学生.txt");
    writeBytes(path("学生.txt"), "a\tb");
    ::chmod(path("学生.txt").c_str(), 0640);
    ASSERT_TRUE(校正文本文件(gbkPath, window()));
    EXPECT_EQ(readBytes(path("学生.txt")), "a,b");
    EXPECT_EQ(modeOf(path("学生.txt")), 0640u);
}

TEST_F(TextRepairTest, AReadOnlyFileGetsItsWriteBitAndIsRepaired) {
    writeBytes(path("ro.txt"), "a\tb");
    ::chmod(path("ro.txt").c_str(), 0444);
    ASSERT_TRUE(校正文本文件(path("ro.txt"), window()));
    EXPECT_EQ(readBytes(path("ro.txt")), "a,b");
    EXPECT_EQ(modeOf(path("ro.txt")), 0644u);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(TextRepairTest, AReadOnlyFileWhoseBitCannotBeChangedIsRefused) {
    writeBytes(path("ro.txt"), "a\tb");
    ::chmod(path("ro.txt").c_str(), 0444);
    RepairFileOps ops = defaultRepairFileOps();
    ops.changeMode = [](const std::string&, mode_t) { return -1; };
    EXPECT_FALSE(校正文本文件(path("ro.txt"), window(), ops));
    EXPECT_EQ(messages_, (std::vector<std::string>{G("信息：|文件只读,请修改文本文件的属性后再处理")}));
    EXPECT_TRUE(captions_.empty());  // refused before the caption changes
    EXPECT_EQ(readBytes(path("ro.txt")), "a\tb");
    EXPECT_EQ(modeOf(path("ro.txt")), 0444u);
}

// Regression: a file that could not be read was rewritten empty, losing the data file.
TEST_F(TextRepairTest, AFileThatCannotBeReadIsKeptAndReported) {
    writeBytes(path("a.txt"), "a\tb");
    RepairFileOps ops = defaultRepairFileOps();
    ops.readAll = [](const std::string&, std::string& bytes) {
        bytes.clear();
        return false;
    };
    EXPECT_FALSE(校正文本文件(path("a.txt"), window(), ops));
    EXPECT_EQ(readBytes(path("a.txt")), "a\tb");
    EXPECT_EQ(messages_, (std::vector<std::string>{G("信息：|无法读取文件：") + path("a.txt")}));
    EXPECT_EQ(caption_, "main");

    std::filesystem::create_directory(path("dir.txt"));
    EXPECT_FALSE(校正文本文件(path("dir.txt"), window()));
    EXPECT_TRUE(std::filesystem::is_directory(path("dir.txt")));
    EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(TextRepairTest, AFailedRewriteKeepsTheFileAndIsReported) {
    writeBytes(path("a.txt"), "a\tb");
    RepairFileOps ops = defaultRepairFileOps();
    ops.replaceAll = [](const std::string&, const std::string&) { return false; };
    EXPECT_FALSE(校正文本文件(path("a.txt"), window(), ops));
    EXPECT_EQ(readBytes(path("a.txt")), "a\tb");
    EXPECT_EQ(messages_, (std::vector<std::string>{G("信息：|无法写入文件：") + path("a.txt")}));
    EXPECT_EQ(caption_, "main");
}

TEST_F(TextRepairTest, AFileInAReadOnlyDirectoryIsRepairedInPlace) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only directory anyway; .ci/run runs this test as an ordinary user";
    writeBytes(path("a.txt"), "a\tb\r\n");
    ::chmod(dir_.c_str(), 0555);
    bool ok = 校正文本文件(path("a.txt"), window());
    ::chmod(dir_.c_str(), 0755);
    EXPECT_TRUE(ok);
    EXPECT_EQ(readBytes(path("a.txt")), "a,b\r\n");
}

TEST_F(TextRepairTest, AMissingPathIsLeftAlone) {
    EXPECT_TRUE(校正文本文件(path("typed-so-far.txt"), window()));
    EXPECT_FALSE(std::filesystem::exists(path("typed-so-far.txt")));
    EXPECT_TRUE(captions_.empty());
    EXPECT_TRUE(messages_.empty());
}

}  // namespace
