// quillmar.ini reading, writing and creation: the profile-file rules, the layouts the two
// programs produce, and that a failed write never damages the file.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "common/config_file.h"
#include "common/default_config.h"
#include "support/child_process.h"
#include "temp_dir.h"
#include "utf16_bytes.h"

namespace {

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

std::string golden() {
    return TempDirTest::readBytes(std::string(LOOKUP_TEST_DATA_DIR) + "/default_quillmar.ini");
}

class ConfigFileTest : public TempDirTest {
protected:
    std::string ini() const { return path("quillmar.ini"); }
    std::string read(const std::string& section, const std::string& key, const std::string& def = "DEF") const {
        return config::readKey(ini(), section, key, def);
    }
};

TEST_F(ConfigFileTest, MissingFileSectionOrKeyGivesTheDefaultButAnEmptyValueIsAValue) {
    EXPECT_EQ(read("search", "searchname2", "x"), "x");
    writeBytes(ini(), crlf({"[search]", "searchname1=姓名", "searchname2="}));
    EXPECT_EQ(read("search", "searchname2"), "");
    EXPECT_EQ(read("search", "searchname3"), "DEF");
    EXPECT_EQ(read("display", "searchname2"), "DEF");
}

TEST_F(ConfigFileTest, NamesMatchWithoutCaseAndBlanksAroundTheKeyAndEqualsSignDoNotCount) {
    writeBytes(ini(), crlf({"[SeArCh]", "  SEARCHNAME1  =  value with  inner  blanks \t", "\tDbName\t=\t/x/y.xls"}));
    EXPECT_EQ(read("search", "searchname1"), "value with  inner  blanks");
    EXPECT_EQ(read("SEARCH", "dbname"), "/x/y.xls");
}

TEST_F(ConfigFileTest, GbkNamesCompareBytewiseEvenWhenATrailByteIsALetter) {
    // 81 41 and 81 61 are two different characters; lower-casing must not join them.
    std::string upperTrail = "\x81\x41", lowerTrail = "\x81\x61";
    writeBytes(ini(), crlf({"[photo]", upperTrail + "=1", G("标记字段") + "=" + G("姓名")}));
    EXPECT_EQ(read("photo", upperTrail), "1");
    EXPECT_EQ(read("photo", lowerTrail), "DEF");
    EXPECT_EQ(read("PHOTO", G("标记字段")), G("姓名"));
}

TEST_F(ConfigFileTest, MatchingQuotesAreRemovedOnce) {
    writeBytes(ini(), crlf({"[s]", "a='x y'", "b=\" padded \"", "c='x\"", "d=\"", "e=\"\"", "f=''quoted''",
                            "g=say \"hi\""}));
    EXPECT_EQ(read("s", "a"), "x y");
    EXPECT_EQ(read("s", "b"), " padded ");
    EXPECT_EQ(read("s", "c"), "'x\"");
    EXPECT_EQ(read("s", "d"), "\"");
    EXPECT_EQ(read("s", "e"), "");
    EXPECT_EQ(read("s", "f"), "'quoted'");
    EXPECT_EQ(read("s", "g"), "say \"hi\"");
}

TEST_F(ConfigFileTest, LongValuesAreCutTo10239Bytes) {
    std::string exact(10239, 'a'), longer(10240, 'b'), much(20000, 'c');
    writeBytes(ini(), crlf({"[s]", "exact=" + exact, "longer=" + longer, "much=" + much}));
    EXPECT_EQ(read("s", "exact"), exact);
    EXPECT_EQ(read("s", "longer"), std::string(10239, 'b'));
    EXPECT_EQ(read("s", "much").size(), 10239u);
}

TEST_F(ConfigFileTest, CommentsStrayLinesLfLinesAndRepeatedSections) {
    writeBytes(ini(), "orphan=1\n[s]\n;k=comment\nnoequals\nk = first \nk=second\n[t]\nx=1\n[S]\nk=third\nm=4\n");
    EXPECT_EQ(read("s", "orphan"), "DEF");
    EXPECT_EQ(read("s", "k"), "first");      // first key line; the ";" line is a comment
    EXPECT_EQ(read("s", "noequals"), "DEF");
    EXPECT_EQ(read("s", "m"), "DEF");        // only the first [s] counts
    EXPECT_EQ(read("t", "x"), "1");
}

TEST_F(ConfigFileTest, WritingAnExistingKeyKeepsItsPlaceAndEveryOtherByte) {
    std::string before = "; top comment\r\n\r\n[Search]\r\n  SearchName1 = old \r\n; keep\n\r\nsearchname2=b\r\n[x]\r\ny=1";
    writeBytes(ini(), before);
    ASSERT_TRUE(config::writeKey(ini(), "search", "searchname1", G("姓名")));
    EXPECT_EQ(readBytes(ini()),
              "; top comment\r\n\r\n[Search]\r\nsearchname1=" + G("姓名") + "\r\n; keep\n\r\nsearchname2=b\r\n[x]\r\ny=1");
    ASSERT_TRUE(config::writeKey(ini(), "search", "searchname2", ""));
    EXPECT_EQ(read("search", "searchname2"), "");
    EXPECT_NE(readBytes(ini()).find("searchname2=\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, AMissingKeyGoesAfterTheLastKeyLineOfItsSection) {
    writeBytes(ini(), crlf({"[a]", "k=1", "; trailing comment", "", "[b]", "[c]", "z=1"}));
    ASSERT_TRUE(config::writeKey(ini(), "A", "New", "2"));
    ASSERT_TRUE(config::writeKey(ini(), "b", "first", "3"));
    EXPECT_EQ(readBytes(ini()),
              crlf({"[a]", "k=1", "New=2", "; trailing comment", "", "[b]", "first=3", "[c]", "z=1"}));
}

TEST_F(ConfigFileTest, AMissingSectionIsAppendedEvenAfterALastLineWithoutLineEnd) {
    writeBytes(ini(), "[a]\nk=1");
    ASSERT_TRUE(config::writeKey(ini(), "b", "x", "y"));
    ASSERT_TRUE(config::writeKey(ini(), "a", "m", "n"));
    EXPECT_EQ(readBytes(ini()), "[a]\nk=1\r\nm=n\r\n[b]\r\nx=y\r\n");
}

TEST_F(ConfigFileTest, AValueCannotSmuggleInLines) {
    ASSERT_TRUE(config::writeKey(ini(), "reg", "logo", "title\r\n[database]\r\ndbname=/etc/passwd"));
    EXPECT_EQ(readBytes(ini()), crlf({"[reg]", "logo=title"}));
}

// Regression: a lone CR inside a value (logo=黑<CR>盒) cut the value there on 确定.
TEST_F(ConfigFileTest, ALoneCrInsideAValueIsKept) {
    const std::string value = G("黑") + "\r" + G("盒");
    writeBytes(ini(), crlf({"[reg]", "logo=" + value}));
    ASSERT_EQ(read("reg", "logo"), value);
    ASSERT_TRUE(config::writeKey(ini(), "reg", "logo", read("reg", "logo")));
    EXPECT_EQ(readBytes(ini()), crlf({"[reg]", "logo=" + value}));
    ASSERT_TRUE(config::writeKey(ini(), "reg", "logo", "a\r\r\nb"));  // a line end still ends it
    EXPECT_EQ(readBytes(ini()), crlf({"[reg]", "logo=a"}));
}

TEST_F(ConfigFileTest, ChineseFileNamesGoThroughTheLocalForm) {
    std::string gbkPath = path("") + G("配置.ini");
    ASSERT_TRUE(config::writeKey(gbkPath, "reg", "logo", "t"));
    EXPECT_TRUE(std::filesystem::exists(path("配置.ini")));
    EXPECT_EQ(config::readKey(gbkPath, "reg", "logo", ""), "t");
}

// The settings program's save over the default text: every comment and blank line stays,
// 插值算法 joins [photo] after its last key and logo opens a new [reg] at the end.
TEST_F(ConfigFileTest, SavingTheSettingsKeysOverTheDefaultTextKeepsItsLayout) {
    writeBytes(ini(), golden());
    for (const auto& k : config::settingsKeysInWriteOrder()) {
        std::string value = read(k.section, k.key, k.settingsDefault);
        ASSERT_TRUE(config::writeKey(ini(), k.section, k.key, value));
    }
    std::string g = golden();
    size_t afterLine15 = 0;
    for (int i = 0; i < 15; ++i) afterLine15 = g.find("\r\n", afterLine15) + 2;
    std::string expected = g.substr(0, afterLine15) + G("插值算法=14\r\n") + g.substr(afterLine15) + "[reg]\r\nlogo=\r\n";
    EXPECT_EQ(readBytes(ini()), expected);
}

TEST_F(ConfigFileTest, SavingIntoAMissingFileWritesOnlyThe27KeysSectionBySection) {
    for (const auto& k : config::settingsKeysInWriteOrder())
        ASSERT_TRUE(config::writeKey(ini(), k.section, k.key, k.settingsDefault));
    std::vector<std::string> expected = {
        "[reg]", "logo=", "[database]", "dbname=", "[photo]", "photo_width=300", "photo_height=400",
        "video_width=320", "video_height=240", "标记字段=", "照片标记距底端距离=20", "照片标记距左边距离=20",
        "照片字体大小=20", "照片字体颜色=0", "照片字体名称=宋体", "照片文本背景颜色=-16777216", "插值算法=14",
        "[search]", "searchname1=", "searchname2=", "searchname3=", "[display]"};
    for (int i = 1; i <= 10; ++i) expected.push_back("display" + std::to_string(i) + "=");
    EXPECT_EQ(readBytes(ini()), G(crlf(expected).c_str()));
}

TEST_F(ConfigFileTest, DefaultFileIsTheGoldenTextAndOnlyCreatedWhereNothingIs) {
    ASSERT_EQ(golden().size(), 1239u) << "golden file missing; run tests/common/data/make_default_ini.py";
    EXPECT_EQ(config::defaultConfigText(), golden());
    ASSERT_TRUE(config::createDefaultFile(ini()));
    EXPECT_EQ(readBytes(ini()), golden());
    EXPECT_EQ(read("database", "dbname"), G("例子.xls"));
    EXPECT_EQ(read("search", "searchname2", config::queryDefault("searchname2")), "");
    EXPECT_EQ(read("search", "searchname2x", config::queryDefault("searchname2")), G("未设置"));

    writeBytes(path("empty.ini"), "");
    EXPECT_FALSE(config::createDefaultFile(path("empty.ini")));
    EXPECT_EQ(readBytes(path("empty.ini")), "");
    std::filesystem::create_directory(path("adir"));
    EXPECT_FALSE(config::createDefaultFile(path("adir")));
    EXPECT_FALSE(config::createDefaultFile(path("missing/quillmar.ini")));
}

TEST_F(ConfigFileTest, DefaultsTablesHoldBothProgramsColumns) {
    const auto& keys = config::settingsKeysInWriteOrder();
    ASSERT_EQ(keys.size(), 27u);
    EXPECT_EQ(keys.front().key, "logo");
    EXPECT_EQ(keys.back().key, G("插值算法"));
    EXPECT_EQ(config::settingsDefault(G("照片文本背景颜色")), "-16777216");
    EXPECT_EQ(config::settingsDefault(G("照片字体名称")), G("宋体"));
    EXPECT_EQ(config::queryDefault("searchname3"), G("未设置"));
    EXPECT_FALSE(config::findKey("photo_width")->queryDefault.has_value());
    EXPECT_EQ(config::findKey(G("标记字段"))->queryDefault, std::string());
}

// A write that cannot complete must leave the old file exactly as it was.
TEST_F(ConfigFileTest, FailedWritesLeaveTheFileIntact) {
    const std::string before = crlf({"[a]", "k=1"});
    EXPECT_FALSE(config::writeKey(path("no/such/dir/quillmar.ini"), "a", "k", "2"));
    EXPECT_FALSE(std::filesystem::exists(path("no")));

    writeBytes(ini(), before);
    ::chmod(ini().c_str(), 0444);
    EXPECT_FALSE(config::writeKey(ini(), "a", "k", "2"));  // refused even for root
    EXPECT_EQ(readBytes(ini()), before);

    std::filesystem::create_directory(path("dir.ini"));
    EXPECT_FALSE(config::writeKey(path("dir.ini"), "a", "k", "2"));

    std::vector<std::string> leftovers;
    for (auto& e : std::filesystem::directory_iterator(dir_)) leftovers.push_back(e.path().filename().string());
    EXPECT_EQ(leftovers.size(), 2u) << "a temporary file was left behind";
}

// Regression: a writable quillmar.ini in a folder the user may not write (a shared program
// folder) could not be saved, as no temporary file could stand beside it.
TEST_F(ConfigFileTest, AWritableFileInAFolderThatIsNotIsRewrittenInPlace) {
    writeBytes(ini(), crlf({"; kept", "[a]", "k=1", "[b]", "x=long value that shrinks"}));
    ::chmod(ini().c_str(), 0666);
    ::chmod(dir_.c_str(), 0555);
    const std::string outcome = runAsOrdinaryUser([&]() -> std::string {
        const bool saved = config::writeKeys(ini(), {{"a", "k", "2"}, {"b", "x", "y"}});
        return saved ? "saved" : "refused";
    });
    ::chmod(dir_.c_str(), 0755);
    ASSERT_FALSE(outcome.empty()) << "could not become an ordinary user";
    EXPECT_EQ(outcome, "saved");
    EXPECT_EQ(readBytes(ini()), crlf({"; kept", "[a]", "k=2", "[b]", "x=y"}));
    EXPECT_EQ(modeOf(ini()), 0666u);
}

// Regression: a quillmar.ini saved as "Unicode" by a Windows editor read as all defaults.
TEST_F(ConfigFileTest, AFileSavedAsUtf16ReadsItsKeys) {
    const std::u16string text = u"; 注释\r\n[reg]\r\nlogo=学生查询\r\n[search]\r\nsearchname1=姓名\r\n";
    for (const bool little : {true, false}) {
        writeBytes(ini(), utf16Bytes(text, !little, little ? "\xFF\xFE" : "\xFE\xFF"));
        EXPECT_EQ(read("reg", "logo"), G("学生查询"));
        EXPECT_EQ(read("search", "searchname1"), G("姓名"));
        EXPECT_EQ(read("search", "searchname2"), "DEF");
    }
}

TEST_F(ConfigFileTest, RewriteKeepsPermissionBitsAndFollowsSymbolicLinks) {
    writeBytes(path("real.ini"), crlf({"[a]", "k=1"}));
    ::chmod(path("real.ini").c_str(), 0640);
    std::filesystem::create_symlink("real.ini", ini());
    ASSERT_TRUE(config::writeKey(ini(), "a", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(ini()));
    EXPECT_EQ(readBytes(path("real.ini")), crlf({"[a]", "k=2"}));
    EXPECT_EQ(modeOf(path("real.ini")), 0640u);
}

}  // namespace
