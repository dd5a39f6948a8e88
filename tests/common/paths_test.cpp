// Program directory, configuration path, data-path resolution and the wildcard file test.
#include <unistd.h>

#include <filesystem>

#include "common/text/codepage.h"
#include "common/program/paths.h"
#include "temp_dir.h"

namespace {

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

TEST(Paths, ProgramDirectoryIsTheExecutablesDirectoryWithoutTrailingSlash) {
    std::string dir = paths::programDirectory();
    EXPECT_EQ(dir, std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_NE(dir.back(), '/');
    EXPECT_EQ(paths::configPath(), dir + "/quillmar.ini");
    paths::overrideProgramDirectory("/tmp/elsewhere");
    EXPECT_EQ(paths::configPath(), "/tmp/elsewhere/quillmar.ini");
    paths::overrideProgramDirectory("");
    EXPECT_EQ(paths::programDirectory(), dir);
}

TEST(Paths, BackslashesBecomeSeparatorsButNotInsideGbkCharacters) {
    EXPECT_EQ(paths::toSlashSeparators("data\\list.xls"), "data/list.xls");
    // 81 5C is one character whose trail byte happens to be "\".
    EXPECT_EQ(paths::toSlashSeparators("\x81\x5C\\a\\\x81\x5C"), "\x81\x5C/a/\x81\x5C");
    std::string mixed = G("照片\\表.xls");  // 表 is B1 ED
    EXPECT_EQ(paths::toSlashSeparators(mixed), G("照片/表.xls"));
}

TEST(Paths, DataPathResolution) {
    EXPECT_EQ(paths::resolveDataPath(G("例子.xls"), "/opt/lookup"), G("/opt/lookup/例子.xls"));
    EXPECT_EQ(paths::resolveDataPath("data\\list.xls", "/opt/lookup"), "/opt/lookup/data/list.xls");
    EXPECT_EQ(paths::resolveDataPath("/srv/a.mdb", "/opt/lookup"), "/srv/a.mdb");
    EXPECT_EQ(paths::resolveDataPath("D:\\data\\a.mdb", "/opt/lookup"), "D:/data/a.mdb");
    EXPECT_EQ(paths::resolveDataPath("", "/opt/lookup"), "");
}

class FileExistsTest : public TempDirTest {};

TEST_F(FileExistsTest, FilesDirectoriesAndWildcardsInTheLastComponent) {
    writeBytes(path("pupils.txt"), "x");
    writeBytes(path("[表]_1.txt"), "x");
    std::filesystem::create_directory(path("photo"));
    EXPECT_TRUE(paths::fileExists(path("pupils.txt")));
    EXPECT_TRUE(paths::fileExists(path("photo")));
    EXPECT_FALSE(paths::fileExists(path("missing.txt")));
    EXPECT_FALSE(paths::fileExists(""));
    EXPECT_TRUE(paths::fileExists(path("*.txt")));
    EXPECT_TRUE(paths::fileExists(path("pupil?.txt")));
    EXPECT_FALSE(paths::fileExists(path("*.dbf")));
    EXPECT_FALSE(paths::fileExists(path("pupils?.txt")));
    // "[" is literal, as in a Windows directory search; GBK names go through the local form.
    EXPECT_TRUE(paths::fileExists(path("") + G("[表]_1.txt")));
    EXPECT_TRUE(paths::fileExists(path("") + G("[表]_*")));
    EXPECT_FALSE(paths::fileExists(path("[p]upils.txt")));
}

// "?" once matched one byte of the UTF-8 name, so "?.jpg" missed 张.jpg and "???.jpg" found it.
TEST_F(FileExistsTest, AQuestionMarkIsOneCharacterChineseIncluded) {
    writeBytes(path("张.jpg"), "x");
    writeBytes(path("a张b.txt"), "x");
    EXPECT_TRUE(paths::fileExists(path("") + "?.jpg"));
    EXPECT_FALSE(paths::fileExists(path("") + "??.jpg"));
    EXPECT_FALSE(paths::fileExists(path("") + "???.jpg"));
    EXPECT_TRUE(paths::fileExists(path("") + "a?b.txt"));
    EXPECT_TRUE(paths::fileExists(path("") + G("*张*")));
    EXPECT_TRUE(paths::fileExists(path("") + G("a*张?.t?t")));
    EXPECT_FALSE(paths::fileExists(path("") + G("*张")));
    EXPECT_TRUE(paths::fileExists(path("") + "*b.txt*"));
    // Wildcards in a directory component are literal, as in a Windows directory search.
    EXPECT_FALSE(paths::fileExists(path("*/") + "*"));
}

TEST_F(FileExistsTest, RelativePathsStartAtTheWorkingDirectory) {
    writeBytes(path("rel.csv"), "x");
    std::string old = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    bool plain = paths::fileExists("rel.csv"), wild = paths::fileExists("r*.csv");
    ASSERT_EQ(::chdir(old.c_str()), 0);
    EXPECT_TRUE(plain);
    EXPECT_TRUE(wild);
}

}  // namespace
