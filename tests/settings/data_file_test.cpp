// The data file on page "基本设置" and its tables on page "搜索与显示设置": the path handler
// on every change (kind, repair, password, listing), the file-open button, the page
// handler's checks and the table radios, five to a row.
#include <QTabWidget>

#include "settings_test_support.h"

using namespace settingstest;

namespace {

class DataFileTest : public SettingsProgramTest {
protected:
    // What the user does to reach the tables: back to page 0 (quietly), then "下一步".
    void next() {
        form().tabs("选择夹1").setCurrentPage(0);
        click("按钮_下一步");
    }
    // The user picks a page on the tab strip (which raises the page-changed event).
    void userPicksPage(int page) { qobject_cast<QTabWidget*>(form().tabs("选择夹1").widget())->setCurrentIndex(page); }
    void setPath(const std::string& utf8Path) { form().edit("文件名编辑框_数据库位置").setText(G(utf8Path)); }
};

TEST_F(DataFileTest, ElevenTablesFiveToARowThenFewerTablesLeaveNoStaleRadio) {
    ASSERT_TRUE(copyFromSource("tests/settings/data/tables11.xls", "tables11.xls"));
    writeConfig({"[database]", "dbname=tables11.xls", "[display]", "display1=表"});
    start();
    next();
    EXPECT_EQ(form().tabs("选择夹1").currentPage(), 1);
    std::vector<ui::RadioButton> radios = tableRadios();
    ASSERT_EQ(radios.size(), 11u);
    for (int i = 1; i <= 11; ++i) {
        SCOPED_TRACE(i);
        const ui::RadioButton& r = radios[i - 1];
        EXPECT_EQ(r.tag(), std::to_string(i));
        EXPECT_EQ(utf8(r.caption()), "表" + std::to_string(i) + "$");
        EXPECT_EQ(r.left(), 8 + 120 * ((i - 1) % 5));
        EXPECT_EQ(r.top(), 16 + 25 * ((i - 1) / 5));
        EXPECT_EQ(r.width(), 120);
    }
    EXPECT_TRUE(radios[0].isChecked());
    EXPECT_EQ(comboText(4), "表1甲");  // table 1's fields, the saved prefix chose the first

    // A workbook's radio reads the sheet at its position.
    QTest::mouseClick(radios[2].widget(), Qt::LeftButton, {}, QPoint(6, 12));  // on its mark
    EXPECT_EQ(comboText(4), "表3甲");
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "当前选中的表单有如下字段：  1.表3甲  2.表3乙");

    // A second visit for a one-table file: the copies of the first visit are gone.
    write("名单.csv", gbkLines({"姓名,班级", "张三,一班"}));
    setPath("名单.csv");
    EXPECT_EQ(tableRadios().size(), 11u) << "a new path changes the page only when it is shown";
    next();
    radios = tableRadios();
    ASSERT_EQ(radios.size(), 1u);
    EXPECT_EQ(utf8(radios[0].caption()), "名单.csv");
    EXPECT_EQ(form().combo("组合框4").count(), 2);

    // Back to eleven: the copies come back, at their places.
    setPath("tables11.xls");
    next();
    radios = tableRadios();
    ASSERT_EQ(radios.size(), 11u);
    EXPECT_EQ(radios[10].left(), 8);
    EXPECT_EQ(radios[10].top(), 66);
}

TEST_F(DataFileTest, AWorkbookWithoutTablesShowsNoRadioAndNoFields) {
    write("坏.xls", "this is not a workbook");
    writeConfig({"[database]", "dbname=坏.xls", "[search]", "searchname1=姓名"});
    // The listing cannot open it: the reminder, then one more try.
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    start();
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(utf8(shown[0].title), "提醒：");
    EXPECT_EQ(utf8(shown[0].text), "如果数据库有密码，那么在程序运行期间，请一直打开它，先打开数据库，再按‘确定’！");
    EXPECT_TRUE(settings::表名数组.empty());
    // The empty page says why; the box keeps the saved name for "确定" to write back.
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    next();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(utf8(shown[1].title), "警告！");
    EXPECT_EQ(utf8(shown[1].text), "不是可以识别的 Excel 工作簿：" + local("坏.xls"));
    EXPECT_TRUE(tableRadios().empty());
    EXPECT_EQ(form().combo("组合框1").count(), 0);
    EXPECT_EQ(comboText(1), "姓名");
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "");
}

TEST_F(DataFileTest, WithoutADataFileThePageShowsNoPlaceholderRadio) {
    start();
    next();
    EXPECT_EQ(form().tabs("选择夹1").currentPage(), 1);
    EXPECT_TRUE(tableRadios().empty());
    EXPECT_TRUE(ui::dialogs::script::shown().empty());
}

TEST_F(DataFileTest, PageChecksWarnAboutAMissingFileAndKeepWhatThePageShows) {
    write("名单.csv", gbkLines({"姓名,班级"}));
    writeConfig({"[database]", "dbname=名单.csv"});
    start();
    next();
    ASSERT_EQ(tableRadios().size(), 1u);
    ASSERT_EQ(form().combo("组合框1").count(), 2);

    setPath("没有这个文件.csv");
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    next();
    EXPECT_EQ(form().tabs("选择夹1").currentPage(), 1);
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    EXPECT_EQ(utf8(ui::dialogs::script::shown()[0].text), "文件不存在，请仔细检查！");
    EXPECT_EQ(utf8(ui::dialogs::script::shown()[0].title), "警告！");
    EXPECT_EQ(utf8(tableRadios()[0].caption()), "名单.csv");
    EXPECT_EQ(form().combo("组合框1").count(), 2);

    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    userPicksPage(0);  // the way back warns as well
    EXPECT_EQ(ui::dialogs::script::shown().size(), 2u);
    setPath("");
    userPicksPage(1);  // an empty path: nothing at all
    userPicksPage(0);
    EXPECT_EQ(ui::dialogs::script::shown().size(), 2u);

    // A folder passes the check (as a directory search finds it), and so does a pattern.
    std::filesystem::create_directory(local("资料"));
    setPath("资料");
    userPicksPage(1);
    EXPECT_TRUE(tableRadios().empty());
    setPath("名*.csv");
    userPicksPage(0);
    EXPECT_EQ(ui::dialogs::script::shown().size(), 2u);
}

TEST_F(DataFileTest, TypingAnAccessPathAsksForThePasswordOnceItEndsInMdb) {
    if (!copyFromShared("fixtures/mdb/pupils.mdb", "pupils.mdb")) GTEST_SKIP() << "shared Access fixture absent";
    start();
    ui::EditBox box = form().edit("文件名编辑框_数据库位置");
    box.setFocus();
    ui::dialogs::script::answerInput(std::string());
    QTest::keyClicks(box.widget(), "pupils.mdb");
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 1u) << "one box for the whole typing";
    EXPECT_EQ(shown[0].kind, ui::dialogs::script::Kind::Input);
    EXPECT_EQ(utf8(shown[0].title), "有密码吗？");
    EXPECT_EQ(utf8(shown[0].text), "如果数据库包含密码，请输入，无则直接退出！");
    ASSERT_FALSE(settings::表名数组.empty());
    EXPECT_EQ(utf8(settings::表名数组[0]), "学生名单");
    EXPECT_EQ(settings::数据库扩展名, "mdb");

    next();
    EXPECT_EQ(tableRadios().size(), settings::表名数组.size());
    EXPECT_EQ(utf8(form().combo("组合框1").itemText(0)), "序号");
}

TEST_F(DataFileTest, APasswordOpensAProtectedDatabaseAndAWrongOneListsNothing) {
    if (!copyFromShared("fixtures/mdb/pupils_password.mdb", "p.mdb")) GTEST_SKIP() << "shared Access fixture absent";
    writeConfig({"[database]", "dbname=p.mdb"});
    ui::dialogs::script::answerInput(std::string("abc123"));
    start();
    ASSERT_EQ(settings::表名数组.size(), 1u);
    EXPECT_EQ(settings::数据库密码, "abc123");
    ui::dialogs::script::answerInput(std::nullopt);  // the same file again asks again
    setPath("p.mdb");
    EXPECT_TRUE(settings::表名数组.empty());
    EXPECT_EQ(settings::数据库密码, "");
}

TEST_F(DataFileTest, TextFilesAreRepairedAndSplitDbaseFilesOnlySplit) {
    write("data/NAMES.TXT", "a\tb\r\n1\t2\r\n");
    writeConfig({"[database]", "dbname=data/NAMES.TXT"});
    start();
    form().checkBox("选择框_文本文件自动校正").setChecked(false);
    EXPECT_EQ(read("data/NAMES.TXT"), "a,b\r\n1,2\r\n");
    EXPECT_EQ(settings::dbname, gbkPath("data/"));
    EXPECT_EQ(settings::表名数组, std::vector<std::string>{"NAMES.TXT"});

    // ".txt" ticks the box again; ".csv" is repaired only while it is ticked.
    setPath("data/NAMES.TXT");
    EXPECT_TRUE(form().checkBox("选择框_文本文件自动校正").isChecked());
    form().checkBox("选择框_文本文件自动校正").setChecked(false);
    write("tab.csv", "a\tb\r\n");
    setPath("tab.csv");
    EXPECT_EQ(read("tab.csv"), "a\tb\r\n");
    form().checkBox("选择框_文本文件自动校正").setChecked(true);
    write("tab.dbf", "a\tb");
    setPath("tab.dbf");
    EXPECT_EQ(read("tab.dbf"), "a\tb");
    EXPECT_EQ(settings::数据库扩展名, "dbf");
    EXPECT_EQ(settings::表名数组, std::vector<std::string>{"tab.dbf"});
    setPath("tab.csv");
    EXPECT_EQ(read("tab.csv"), "a,b\r\n");
}

TEST_F(DataFileTest, TheOpenButtonStartsInTheProgramDirectoryAndRunsThePathHandler) {
    write("名单.csv", gbkLines({"姓名,班级"}));
    start();
    ui::dialogs::script::answerOpenFile(std::nullopt);
    click("按钮_打开");
    EXPECT_EQ(editText("文件名编辑框_数据库位置"), "");
    ui::dialogs::script::answerOpenFile(gbkPath("名单.csv"));
    click("按钮_打开");
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, ui::dialogs::script::Kind::OpenFile);
    EXPECT_EQ(shown[1].text, paths::programDirectory());
    EXPECT_EQ(editText("文件名编辑框_数据库位置"), local("名单.csv"));
    EXPECT_EQ(settings::表名数组, std::vector<std::string>{G("名单.csv")});
}

TEST_F(DataFileTest, AChosenFileWhosePathGbkCannotWriteIsRefusedNotTurnedIntoAPattern) {
    write("한.csv", gbkLines({"姓名"}));
    write("a.csv", gbkLines({"班级"}));  // what "?.csv" matches as a pattern
    start();
    // The dialog hands over 한.csv with "?" for the character GBK lacks.
    ui::dialogs::script::answerOpenFile(gbkPath("?.csv"));
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    click("按钮_打开");
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, ui::dialogs::script::Kind::Message);
    EXPECT_EQ(utf8(shown[1].title), "警告！");
    EXPECT_EQ(editText("文件名编辑框_数据库位置"), "");
    EXPECT_TRUE(settings::表名数组.empty());
}

}  // namespace
