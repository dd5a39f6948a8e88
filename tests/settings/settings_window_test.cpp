// The settings window's start and end: the values it reads with its own defaults, what
// "确定" writes (compared byte for byte with golden files), and that "取消", closing the
// window or a file that cannot be written leave quillmar.ini exactly as it was.
#include <sys/stat.h>
#include <unistd.h>

#include "common/config_file.h"
#include "settings/saved_path.h"
#include <QCheckBox>
#include <QRadioButton>

#include "settings_test_support.h"

using namespace settingstest;

namespace {

std::string golden(const std::string& name) { return readBytes(std::string(LOOKUP_TEST_DATA_DIR) + "/" + name); }

class SettingsWindowTest : public SettingsProgramTest {};

TEST_F(SettingsWindowTest, WithoutAConfigurationFileTheDefaultsShowAndSavingWritesOnlyThe27Keys) {
    start();
    EXPECT_EQ(utf8(form().caption()), "quillmar.ini设置程序");
    EXPECT_EQ(editText("文件名编辑框_数据库位置"), "");
    EXPECT_EQ(editText("编辑框_视频预览区宽度"), "320");
    EXPECT_EQ(editText("编辑框_视频预览区高度"), "240");
    EXPECT_EQ(editText("编辑框_生成照片的宽度"), "300");
    EXPECT_EQ(editText("编辑框_生成照片的高度"), "400");
    EXPECT_EQ(editText("编辑框_照片标记_距底端"), "20");
    EXPECT_EQ(editText("编辑框_照片标记_距左边"), "20");
    EXPECT_EQ(editText("编辑框_logo"), "");
    EXPECT_EQ(utf8(form().combo("组合框_算法").text()), "二次方");
    EXPECT_TRUE(form().checkBox("选择框_文本文件自动校正").isChecked());
    EXPECT_EQ(settings::照片字体大小, 20);
    EXPECT_EQ(utf8(settings::照片字体名称), "宋体");
    EXPECT_EQ(settings::预设宽度数组, (std::vector<std::string>{"300", "260", "295", "260", "413", "390"}));
    EXPECT_EQ(settings::预设高度数组, (std::vector<std::string>{"400", "378", "413", "390", "626", "567"}));
    EXPECT_TRUE(ui::dialogs::script::shown().empty()) << "an empty path opens without a box";

    click("按钮_确定");
    EXPECT_TRUE(closed());
    EXPECT_EQ(read("quillmar.ini"), golden("fresh_save.ini"));
}

TEST_F(SettingsWindowTest, ResamplingMethodIsClampedToTheListAndSavedAsItsPosition) {
    const struct {
        const char* stored;
        const char* shown;
        const char* saved;
    } cases[] = {{"14", "二次方", "14"}, {"1", "相邻像素", "1"}, {"0", "", "0"}, {"-3", "", "0"},
                 {"abc", "", "0"},   {"99", "CatRom", "16"}, {"15.9", "米切尔", "15"},
                 // Beyond the 32-bit range: the lowest value still selects nothing.
                 {"-99999999999999", "", "0"}, {"1e300", "CatRom", "16"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeConfig({"[photo]", std::string("插值算法=") + c.stored, "照片字体大小=22.7"});
        start();
        EXPECT_EQ(utf8(form().combo("组合框_算法").text()), c.shown);
        click("按钮_确定");
        ASSERT_TRUE(closed());
        EXPECT_EQ(utf8(config::readKey(paths::configPath(), "photo", G("插值算法"), "missing")), c.saved);
        EXPECT_EQ(config::readKey(paths::configPath(), "photo", G("照片字体大小"), "missing"), "22");
        releaseProgram();
    }
}

TEST_F(SettingsWindowTest, PathInsideTheProgramDirectoryIsSavedRelativeAndOnlyTitleAndPathAreTrimmed) {
    writeConfig({"[database]", "dbname=none.xls"});
    start();
    // The program directory with blanks around and a doubled separator: saved relative.
    form().edit("文件名编辑框_数据库位置").setText("  " + paths::programDirectory() + "//data/./Book.XLS" + G("　"));
    form().edit("编辑框_logo").setText(G("　 新 标题 "));
    form().edit("编辑框_生成照片的宽度").setText(" 320 ");
    form().edit("编辑框_照片标记_距左边").setText(G("二十"));
    click("按钮_确定");
    ASSERT_TRUE(closed());
    auto saved = [](const char* section, const char* key) {
        return utf8(config::readKey(paths::configPath(), section, G(key), "missing"));
    };
    EXPECT_EQ(saved("database", "dbname"), "data/Book.XLS");
    EXPECT_EQ(saved("reg", "logo"), "新 标题");
    // The reader drops blanks at the ends of a value; the file holds them as typed.
    EXPECT_NE(read("quillmar.ini").find("photo_width= 320 \r\n"), std::string::npos);
    EXPECT_EQ(saved("photo", "照片标记距左边距离"), "二十");
}

// The program directory in other letter case is another folder on Linux: saving
// "list.csv" made lookup open the program folder's own list.csv, or nothing.
TEST_F(SettingsWindowTest, APathInAFolderThatDiffersOnlyInLetterCaseIsSavedWhole) {
    writeConfig({"[database]", "dbname=none.xls"});
    start();
    std::string shouted = paths::programDirectory();
    for (char& c : shouted)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    ASSERT_NE(shouted, paths::programDirectory());
    form().edit("文件名编辑框_数据库位置").setText(shouted + "/list.csv");
    click("按钮_确定");
    ASSERT_TRUE(closed());
    EXPECT_EQ(config::readKey(paths::configPath(), "database", "dbname", "missing"), shouted + "/list.csv");
}

// Letter case once did not count, the Windows rule: "/x/APP/list.csv" was saved as "list.csv".
TEST(SavedDataPath, ALeadingProgramDirectoryGoesOnlyAsItIsWritten) {
    using settings::savedDataPath;
    EXPECT_EQ(savedDataPath("/opt/app/data/a.xls", "/opt/app"), "data/a.xls");
    EXPECT_EQ(savedDataPath(" /opt/app/a.xls ", "/opt/app"), "a.xls");
    EXPECT_EQ(savedDataPath("/opt/App/data/a.xls", "/opt/app"), "/opt/App/data/a.xls");
    EXPECT_EQ(savedDataPath("/OPT/APP/a.xls", "/opt/app"), "/OPT/APP/a.xls");
    EXPECT_EQ(savedDataPath("/opt/application/a.xls", "/opt/app"), "/opt/application/a.xls");
    // Cutting the directory out of the middle would save another file's path.
    EXPECT_EQ(savedDataPath("/srv/x/opt/app/a.xls", "/opt/app"), "/srv/x/opt/app/a.xls");
    EXPECT_EQ(savedDataPath("a.xls", "/opt/app"), "a.xls");
    // A GBK trail byte is never taken for an ASCII letter of the directory.
    const std::string dir = "/d/\x81\x41";  // a two-byte character whose trail byte is "A"
    EXPECT_EQ(savedDataPath(dir + "/a.xls", dir), "a.xls");
    EXPECT_EQ(savedDataPath("/d/\x81\x61/a.xls", dir), "/d/\x81\x61/a.xls");
}

// "<program folder>//list.csv" was saved as "/list.csv", a file in the root.
TEST(SavedDataPath, DoubledSeparatorsAndDotStepsGoBeforeTheFolderIsRemoved) {
    using settings::savedDataPath;
    EXPECT_EQ(savedDataPath("/x/app//list.csv", "/x/app"), "list.csv");
    EXPECT_EQ(savedDataPath("/x/app/./list.csv", "/x/app"), "list.csv");
    EXPECT_EQ(savedDataPath("/x//app/.//./data///list.csv", "/x/app"), "data/list.csv");
    EXPECT_EQ(savedDataPath("//x/app/list.csv", "/x/app"), "list.csv");
    // Only at a separator: "app2" is another folder.
    EXPECT_EQ(savedDataPath("/x/app2/list.csv", "/x/app"), "/x/app2/list.csv");
    EXPECT_EQ(savedDataPath("/x/app2//list.csv", "/x/app"), "/x/app2/list.csv");
    // ".." and names that merely begin with "." stay: only the lexical no-ops go.
    EXPECT_EQ(savedDataPath("/x/app/../app/list.csv", "/x/app"), "../app/list.csv");
    EXPECT_EQ(savedDataPath("/x/app/.data/..list.csv", "/x/app"), ".data/..list.csv");
    EXPECT_EQ(savedDataPath("data//a.xls", "/x/app"), "data/a.xls");
    // A program in the root keeps a path that is relative to it.
    EXPECT_EQ(savedDataPath("/srv//a.xls", "/"), "srv/a.xls");
    // "/" and "." are never the second byte of a GBK character.
    EXPECT_EQ(savedDataPath(G("/x/app//表/./名单.csv"), "/x/app"), G("表/名单.csv"));
}

TEST_F(SettingsWindowTest, SavingKeepsEveryLineItDoesNotOwn) {
    if (!copyFromSource("examples/data/例子.xls", "例子.xls")) GTEST_SKIP() << "no example workbook";
    write("quillmar.ini", golden("hand_edited.ini"));
    start();
    form().edit("编辑框_logo").setText(G("  测试学校 "));
    click("按钮_下一步");
    EXPECT_EQ(comboText(1), "姓名");
    form().combo("组合框2").setText(G("班级"));
    click("按钮_确定");
    ASSERT_TRUE(closed());
    EXPECT_EQ(read("quillmar.ini"), golden("hand_edited_saved.ini"));
}

TEST_F(SettingsWindowTest, CancelAndClosingWriteNothing) {
    const std::string before = golden("hand_edited.ini");
    for (bool byCancel : {true, false}) {
        write("quillmar.ini", before);
        start();
        form().edit("编辑框_logo").setText(G("改了"));
        if (byCancel) {
            form().tabs("选择夹1").setCurrentPage(1);
            click("按钮1");
        } else {
            form().window()->close();
        }
        ASSERT_TRUE(closed());
        EXPECT_EQ(read("quillmar.ini"), before);
        releaseProgram();
    }
}

// Closing as if saved while nothing was written told the user a lie; now the window says
// so and stays, and the file keeps every byte.
TEST_F(SettingsWindowTest, AFileThatCannotBeWrittenIsReportedAndTheWindowStays) {
    const std::string before = golden("hand_edited.ini");
    write("quillmar.ini", before);
    ::chmod(local("quillmar.ini").c_str(), 0444);  // refused by the program even for root
    start();
    form().edit("编辑框_logo").setText(G("新标题"));
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    click("按钮_确定");
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    EXPECT_NE(utf8(ui::dialogs::script::shown()[0].text).find("设置没有保存"), std::string::npos);
    QTest::qWait(20);
    EXPECT_TRUE(form().isLoaded());
    EXPECT_EQ(read("quillmar.ini"), before);

    // Writable again: the same click saves and closes.
    ::chmod(local("quillmar.ini").c_str(), 0644);
    click("按钮_确定");
    ASSERT_TRUE(closed());
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "reg", "logo", "")), "新标题");

    if (::geteuid() != 0) {  // a folder that takes no new file (root writes anyway)
        std::filesystem::remove(local("quillmar.ini"));
        ::chmod(dir_.c_str(), 0555);
        releaseProgram();
        start();
        ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
        click("按钮_确定");
        EXPECT_TRUE(form().isLoaded());
        ::chmod(dir_.c_str(), 0755);
        EXPECT_FALSE(std::filesystem::exists(local("quillmar.ini")));
    }
}

// Regression: a lone CR inside a value (logo=黑<CR>盒) lost the rest of the line on 确定.
TEST_F(SettingsWindowTest, ALoneCrInsideAValueIsSavedAsItWas) {
    writeConfig({"[reg]", "logo=黑\r盒"});
    start();
    click("按钮_确定");
    EXPECT_TRUE(closed());
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "reg", "logo", "missing")), "黑\r盒");
}

// A UTF-16 string as the bytes of a file saved as "Unicode" by a Windows editor.
std::string unicodeFile(const QString& text) {
    return std::string("\xFF\xFE") +
           std::string(reinterpret_cast<const char*>(text.utf16()), static_cast<size_t>(text.size()) * 2);
}

// Regression: writing GBK lines into a Windows editor's "Unicode" file mixed two encodings
// and buried the user's values; it is now written back whole in GBK.
TEST_F(SettingsWindowTest, AUtf16FileIsWrittenBackWholeInGbk) {
    write("quillmar.ini", unicodeFile(QStringLiteral("; 三年二班\r\n[reg]\r\nlogo=三年二班\r\n[database]\r\ndbname=\r\n")));
    start();
    EXPECT_EQ(editText("编辑框_logo"), "三年二班");
    click("按钮_确定");
    EXPECT_TRUE(closed());
    EXPECT_TRUE(ui::dialogs::script::shown().empty());
    const std::string saved = read("quillmar.ini");
    EXPECT_EQ(saved.rfind(G("; 三年二班\r\n[reg]\r\nlogo=三年二班\r\n[database]\r\ndbname=\r\n"), 0), 0u) << saved;
    EXPECT_EQ(saved.find(G("三年二班"), 40), std::string::npos) << "a key written twice";
}

// A file in another encoding with a character GBK cannot hold is not written, saying why.
TEST_F(SettingsWindowTest, AUtf16FileGbkCannotHoldIsNotWrittenIntoAndSaysWhy) {
    const std::string before = unicodeFile(QStringLiteral("; \U0001F600\r\n[reg]\r\nlogo=三年二班\r\n"));
    write("quillmar.ini", before);
    start();
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    click("按钮_确定");
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    EXPECT_NE(utf8(ui::dialogs::script::shown()[0].text).find("UTF-16编码的，第1行的字符U+1F600"), std::string::npos);
    QTest::qWait(20);
    EXPECT_TRUE(form().isLoaded());
    EXPECT_EQ(read("quillmar.ini"), before);
}

// Regression: with a quillmar.ini that is a FIFO, 确定 blocked for good opening it.
TEST_F(SettingsWindowTest, AConfigurationFileThatIsNoRegularFileIsNeitherReadNorWritten) {
    ASSERT_EQ(::mkfifo(local("quillmar.ini").c_str(), 0644), 0);
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    start();
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    EXPECT_NE(utf8(ui::dialogs::script::shown()[0].text).find("不是普通文件"), std::string::npos);
    click("按钮_确定");
    ASSERT_EQ(ui::dialogs::script::shown().size(), 2u);
    EXPECT_EQ(utf8(ui::dialogs::script::shown()[1].text).rfind("设置没有保存：配置文件", 0), 0u);
    QTest::qWait(20);
    EXPECT_TRUE(form().isLoaded());
    struct stat st{};
    ASSERT_EQ(::lstat(local("quillmar.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
