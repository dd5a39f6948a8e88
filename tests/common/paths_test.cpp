// Program directory, configuration path, data-path resolution and the wildcard file test.
#include <limits.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>

#include "common/config_file.h"
#include "common/paths.h"
#include "text/codepage.h"
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

// A program folder named as the system names it, beside a sibling whose name is the GBK
// form of that name ("app?"); the override is reset afterwards.
class ProgramFolderNameTest : public TempDirTest {
protected:
    void TearDown() override {
        paths::overrideProgramDirectory("");
        TempDirTest::TearDown();
    }

    std::string makeFolder(const std::string& name) {
        std::filesystem::create_directories(path(name));
        return path(name);
    }
};

// "app😀" once became "app?": both programs read, and 设置 rewrote, the sibling's quillmar.ini.
TEST_F(ProgramFolderNameTest, AFolderNameGbkCannotHoldIsUsedAsTheSystemNamesIt) {
    for (const char* name : {"app😀", "앱", "照片😀夹"}) {
        SCOPED_TRACE(name);
        const std::string own = makeFolder(name);
        const std::string sibling = makeFolder(codepage::gbkToUtf8(codepage::utf8ToGbk(name)));
        ASSERT_NE(own, sibling);
        writeBytes(sibling + "/quillmar.ini", "[reg]\r\nlogo=sibling\r\n");
        paths::overrideProgramDirectory(own);

        // Shown with "?", as every text GBK cannot hold; used as the folder itself.
        EXPECT_EQ(paths::programDirectory(), codepage::utf8ToGbk(own));
        EXPECT_EQ(codepage::toLocalPath(paths::configPath()), own + "/quillmar.ini");
        EXPECT_EQ(codepage::fromLocalPath(own + "/a.csv"), paths::programDirectory() + "/a.csv");
        EXPECT_EQ(codepage::toQtPath(paths::programDirectory()), QString::fromStdString(own));
        EXPECT_FALSE(paths::fileExists(paths::configPath()));
        EXPECT_EQ(config::readKey(paths::configPath(), "reg", "logo", "none"), "none");

        ASSERT_TRUE(config::createDefaultFile(paths::configPath()));
        ASSERT_TRUE(config::writeKeys(paths::configPath(), {{"reg", "logo", "own"}}));
        EXPECT_EQ(config::readKey(paths::configPath(), "reg", "logo", "none"), "own");
        EXPECT_TRUE(std::filesystem::exists(own + "/quillmar.ini"));
        EXPECT_EQ(readBytes(sibling + "/quillmar.ini"), "[reg]\r\nlogo=sibling\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sibling), {}), 1);

        // Data paths relative to the folder reach it too, wildcards included.
        writeBytes(own + "/list.csv", "x");
        EXPECT_TRUE(paths::fileExists(paths::resolveDataPath("list.csv")));
        EXPECT_TRUE(paths::fileExists(paths::resolveDataPath("l*.csv")));
        writeBytes(sibling + "/only.csv", "x");
        EXPECT_FALSE(paths::fileExists(paths::resolveDataPath("only.csv")));
        std::filesystem::remove(sibling + "/only.csv");
    }
    // A name that leads back to its folder holds nothing: "app?" itself is reachable again.
    const std::string plain = makeFolder("plain");
    paths::overrideProgramDirectory(plain);
    EXPECT_EQ(codepage::toLocalPath(codepage::utf8ToGbk(path("app?/quillmar.ini"))), path("app?/quillmar.ini"));
}

// Only a path in the folder goes to its bytes: "app?2" and "app?" alone are other folders.
TEST_F(ProgramFolderNameTest, OnlyPathsInsideTheHeldFolderAreTurned) {
    const std::string own = makeFolder("app😀");
    paths::overrideProgramDirectory(own);
    const std::string gbk = paths::programDirectory();
    EXPECT_EQ(codepage::toLocalPath(gbk), own);
    EXPECT_EQ(codepage::toLocalPath(gbk + "2/a.csv"), path("app?2/a.csv"));
    EXPECT_EQ(codepage::toLocalPath(gbk + G("/表.csv")), own + "/表.csv");
    EXPECT_EQ(codepage::toLocalPath("/elsewhere/app?/a.csv"), "/elsewhere/app?/a.csv");
}

// A folder of `length` bytes under `base`, made of components the system allows.
std::string longFolder(const std::string& base, size_t length) {
    std::string folder = base;
    while (folder.size() < length) {
        const size_t left = length - folder.size();
        folder += "/" + std::string(left > 250 ? 200 : left - 1, 'd');
    }
    std::filesystem::create_directories(folder);
    return folder;
}

// A 4,082-byte folder had room for quillmar.ini but not for its temporary file: no default
// file, no saved settings, no word said.
TEST_F(ProgramFolderNameTest, AFolderTooLongForTheConfigurationFileIsAProblemNamed) {
    const std::string tooLong = longFolder(dir_, 4082);
    ASSERT_EQ(tooLong.size(), 4082u);
    paths::overrideProgramDirectory(tooLong);
    const std::string problem = codepage::gbkToUtf8(paths::programFolderProblem());
    EXPECT_NE(problem.find("路径太长（4082字节）"), std::string::npos) << problem;
    EXPECT_NE(problem.find("quillmar.ini"), std::string::npos) << problem;

    // The longest folder that still takes quillmar.ini through its temporary file.
    const size_t room = PATH_MAX - 1 - std::string("/.quillmar.ini.XXXXXX").size();
    const std::string fits = longFolder(dir_, room);
    paths::overrideProgramDirectory(fits);
    EXPECT_EQ(paths::programFolderProblem(), "");
    EXPECT_TRUE(config::createDefaultFile(paths::configPath()));
    EXPECT_TRUE(config::writeKeys(paths::configPath(), {{"reg", "logo", "x"}}));
}

TEST(Paths, TheRunningProgramsFolderHasNoProblem) { EXPECT_EQ(paths::programFolderProblem(), ""); }

}  // namespace
