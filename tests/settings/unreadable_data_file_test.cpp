// A data file that cannot be read in the settings window: a wrong Access password, a path
// written on Windows, a damaged workbook. The page of tables says why, and "确定" writes
// the saved field choices back unchanged.
#include <map>

#include "common/config_file.h"
#include "common/paths.h"
#include "settings_test_support.h"

using namespace settingstest;
namespace script = ui::dialogs::script;

namespace {

// The 14 field keys as the file holds them: section, key (UTF-8), value (UTF-8).
const std::vector<std::array<std::string, 3>> kSavedFields = {
    {"search", "searchname1", "姓名"}, {"search", "searchname2", "学号"}, {"search", "searchname3", ""},
    {"display", "display1", "学号"},   {"display", "display2", "姓名"},   {"display", "display3", "班级"},
    {"display", "display4", "姓名"},   {"display", "display5", ""},       {"display", "display6", "性别"},
    {"display", "display7", ""},       {"display", "display8", ""},       {"display", "display9", ""},
    {"display", "display10", "备注"},  {"photo", "标记字段", "姓名"},
};

class UnreadableDataFileTest : public SettingsProgramTest {
protected:
    // quillmar.ini naming `dbname` (UTF-8) with the field choices above.
    void writeConfigFor(const std::string& dbname) {
        std::vector<std::string> lines{"[database]", "dbname=" + dbname};
        std::string section;
        for (const auto& [s, key, value] : kSavedFields) {
            if (s != section) lines.push_back("[" + (section = s) + "]");
            lines.push_back(key + "=" + value);
        }
        writeConfig(lines);
    }
    void showTables() {
        form().tabs("选择夹1").setCurrentPage(0);
        click("按钮_下一步");
    }
    // The boxes show the saved names, and "确定" writes every one of them back.
    void expectSavedFieldsKept() {
        for (int box = 1; box <= 14; ++box) EXPECT_EQ(comboText(box), kSavedFields[box - 1][2]) << "box " << box;
        click("按钮_确定");
        ASSERT_TRUE(closed());
        for (const auto& [section, key, value] : kSavedFields)
            EXPECT_EQ(utf8(config::readKey(paths::configPath(), section, G(key), "(missing)")), value) << key;
    }
    // The last box shown: a warning with the text given.
    void expectWarning(const std::string& textUtf8) {
        ASSERT_FALSE(script::shown().empty());
        EXPECT_EQ(utf8(script::shown().back().title), "警告！");
        EXPECT_EQ(utf8(script::shown().back().text), textUtf8);
    }
};

// A wrong password left the page empty without a word, and "确定" wrote all 14 field keys
// empty.
TEST_F(UnreadableDataFileTest, AWrongAccessPasswordIsToldAndTheFieldChoicesKept) {
    if (!copyFromShared("fixtures/mdb/pupils_password.mdb", "p.mdb")) GTEST_SKIP() << "shared Access fixture absent";
    writeConfigFor("p.mdb");
    script::answerInput(std::string("wrong"));
    start();
    script::answerMessage(ui::dialogs::Answer::Ok);
    showTables();
    ASSERT_EQ(script::shown().size(), 2u);
    expectWarning("不是有效的密码。");
    EXPECT_TRUE(tableRadios().empty());
    expectSavedFieldsKept();
}

// A path written on Windows: the missing file is told with the reason, and the field
// choices were erased all the same.
TEST_F(UnreadableDataFileTest, AWindowsPathIsToldAndTheFieldChoicesKept) {
    writeConfigFor("D:\\名单.xls");
    start();
    EXPECT_TRUE(script::shown().empty());
    script::answerMessage(ui::dialogs::Answer::Ok);
    showTables();
    ASSERT_EQ(script::shown().size(), 1u);
    expectWarning("文件不存在，请仔细检查！\n“D:\\名单.xls”是Windows的路径（带盘符），这里没有这样的位置。"
                  "请用“打开”按钮重新选择数据库文件。");
    expectSavedFieldsKept();
}

// A damaged workbook: the reminder, then an empty page without a word.
TEST_F(UnreadableDataFileTest, ADamagedWorkbookIsToldAndTheFieldChoicesKept) {
    if (!copyFromSource("tests/database/data/xls/headers.xls", "名单.xls")) GTEST_SKIP() << "no workbook fixture";
    std::filesystem::resize_file(local("名单.xls"), 1000);
    writeConfigFor("名单.xls");
    script::answerMessage(ui::dialogs::Answer::Ok);  // the reminder
    start();
    ASSERT_EQ(script::shown().size(), 1u);
    script::answerMessage(ui::dialogs::Answer::Ok);
    showTables();
    ASSERT_EQ(script::shown().size(), 2u);
    EXPECT_EQ(utf8(script::shown()[1].title), "警告！");
    EXPECT_NE(utf8(script::shown()[1].text).find(local("名单.xls")), std::string::npos) << "names the file";
    EXPECT_TRUE(tableRadios().empty());
    expectSavedFieldsKept();
}

// A file that is read keeps the Part's rule: a saved name its fields do not offer is
// written back empty; the names it offers are selected.
TEST_F(UnreadableDataFileTest, AReadableFileStillReplacesTheChoicesByItsFields) {
    write("名单.csv", gbkLines({"学号,姓名", "1,张三"}));
    writeConfigFor("名单.csv");
    start();
    showTables();
    EXPECT_TRUE(script::shown().empty());
    EXPECT_EQ(comboText(1), "姓名");
    EXPECT_EQ(comboText(6), "");  // 班级 is no field of this file
    click("按钮_确定");
    ASSERT_TRUE(closed());
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "display", "display3", "(missing)")), "");
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "display", "display1", "(missing)")), "学号");
}

}  // namespace
