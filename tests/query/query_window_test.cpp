// The query window's own handlers: table choice, option coupling, music, Enter, the
// notification-area icon, the settings program with its reload, the text-file repair.
#include <QListWidget>

#include "query_test_support.h"

using namespace querytest;

namespace {

class QueryWindowTest : public QueryProgramTest {};

TEST_F(QueryWindowTest, ChoosingATableMovesTheOneCheckMark) {
    const std::string fixture = std::string(LOOKUP_SOURCE_DIR) + "/tests/database/data/xls/students.xls";
    ASSERT_TRUE(std::filesystem::exists(fixture)) << "committed workbook fixture missing: " << fixture;
    std::filesystem::copy_file(fixture, local("students.xls"));
    writeStandardConfig("students.xls");
    query::查询窗口& window = start();
    ui::CheckListBox tables = window.form().checkList("选择列表框1");
    auto* list = qobject_cast<QListWidget*>(tables.widget());
    ASSERT_NE(list, nullptr);
    auto clickItem = [&](int index) {
        const QRect place = list->visualItemRect(list->item(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center() + QPoint(20, 0));
    };

    for (int pass = 0; pass < 2; ++pass) {  // choosing the chosen item again keeps it checked
        clickItem(2);
        EXPECT_FALSE(tables.isChecked(0));
        EXPECT_TRUE(tables.isChecked(2));
        EXPECT_EQ(query::已选表序号, 2);
        EXPECT_EQ(utf8(query::当前表名), "[空表$]");
        EXPECT_EQ(utf8(window.form().label("标签_表名提示").caption()), "当前所选表名：[空表$]");
    }
    clickItem(1);
    EXPECT_FALSE(tables.isChecked(2));
    EXPECT_TRUE(tables.isChecked(1));
    EXPECT_EQ(utf8(query::当前表名), "['my sheet$']");
    // The handler reads the list's current item, which must already be the clicked or
    // keyed one (it once read the selection, which a click moves only afterwards).
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_FALSE(tables.isChecked(1));
    EXPECT_TRUE(tables.isChecked(0));
    EXPECT_EQ(query::已选表序号, 0);
}

TEST_F(QueryWindowTest, OptionsAreCoupledAndTheMusicFollowsItsBox) {
    writePupils("名单.csv", 3);
    writeStandardConfig("名单.csv");
    ui::Form& form = start().form();
    ui::CheckBox dynamic = form.checkBox("选择框1"), initials = form.checkBox("选择框3");

    QTest::mouseClick(initials.widget(), Qt::LeftButton);  // initials need the candidate list
    EXPECT_TRUE(initials.isChecked());
    EXPECT_TRUE(dynamic.isChecked());
    QTest::mouseClick(initials.widget(), Qt::LeftButton);  // unchecking initials leaves it
    EXPECT_TRUE(dynamic.isChecked());
    QTest::mouseClick(initials.widget(), Qt::LeftButton);
    QTest::mouseClick(dynamic.widget(), Qt::LeftButton);  // no candidate list, no initials
    EXPECT_FALSE(dynamic.isChecked());
    EXPECT_FALSE(initials.isChecked());

    EXPECT_EQ(form.tunePlayMode(), 2);  // silent when the window opens
    ui::CheckBox music = form.checkBox("选择框2");
    QTest::mouseClick(music.widget(), Qt::LeftButton);
    EXPECT_EQ(form.tunePlayMode(), 0);
    QTest::mouseClick(music.widget(), Qt::LeftButton);
    EXPECT_EQ(form.tunePlayMode(), 2);
}

TEST_F(QueryWindowTest, EnterOnTheButtonOrAFieldRadioSearchesOtherKeysDoNot) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    window.form().edit("编辑框1").setText(G("学生"));

    window.form().radio("单选框5").setFocus();
    QTest::keyClick(window.form().radio("单选框5").widget(), Qt::Key_A);
    EXPECT_EQ(window.recordWindow(), nullptr);
    window.form().radio("单选框4").setFocus();
    QTest::keyClick(window.form().radio("单选框4").widget(), Qt::Key_Return);
    ASSERT_NE(window.recordWindow(), nullptr);
    EXPECT_EQ(window.recordWindow()->form().reportList("list").rowCount(), 4);
    EXPECT_FALSE(window.form().isVisible());
}

TEST_F(QueryWindowTest, SearchTextIsTrimmedAndAnEmptyOneSearchesNothing) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    EXPECT_EQ(search(window, " 　 "), nullptr);
    EXPECT_EQ(window.form().edit("编辑框1").text(), "");
    EXPECT_TRUE(window.form().isVisible());

    window.form().radio("单选框5").setChecked(true);
    window.form().checkBox("精确查找选择框").setChecked(true);
    query::采像窗口* record = search(window, "  一班 ");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(window.form().edit("编辑框1").text()), "一班");
    EXPECT_EQ(utf8(query::查询条件), "where [班级] = '一班'");
    EXPECT_EQ(record->form().reportList("list").rowCount(), 2);
}

TEST_F(QueryWindowTest, TrayEventsBringTheShownWindowBack) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    window.form().window()->showMinimized();
    window.form().raiseTrayEvent(2);
    EXPECT_FALSE(window.form().window()->isMinimized());

    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    record->form().window()->showMinimized();
    window.form().raiseTrayEvent(2);  // a double click does nothing while records are shown
    EXPECT_TRUE(record->form().window()->isMinimized());
    window.form().raiseTrayEvent(1);
    EXPECT_FALSE(record->form().window()->isMinimized());
    window.form().raiseTrayEvent(3);
    EXPECT_FALSE(window.form().isVisible());  // the query window stays hidden meanwhile
}

TEST_F(QueryWindowTest, AfterTheSettingsProgramYesReloadsAndNoEnds) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    window.form().checkBox("精确查找选择框").setChecked(true);

    // No settings program in this program directory: the question comes at once.
    writePupils("新名单.txt", 2);
    writeConfig({"[database]", "dbname=新名单.txt", "[search]", "searchname1=班级", "[reg]", "logo=新标题"});
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Yes);
    QTest::mouseClick(window.form().button("配置按钮").widget(), Qt::LeftButton);
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(utf8(shown[0].text), "按 是 重新装载，否则退出程序！");
    EXPECT_EQ(utf8(shown[0].title), "友情提醒：");
    EXPECT_EQ(utf8(window.form().caption()), "新标题");
    EXPECT_EQ(utf8(window.form().radio("单选框4").caption()), "按班级查");
    EXPECT_EQ(utf8(query::当前表名), "[新名单.txt]");
    EXPECT_TRUE(window.form().checkBox("精确查找选择框").isChecked());  // options stay

    ui::dialogs::script::answerMessage(ui::dialogs::Answer::No);
    QTest::mouseClick(window.form().button("配置按钮").widget(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.form().isLoaded(); }, 2000));
}

class RepairTest : public QueryProgramTest {};

TEST_F(RepairTest, TheButtonTurnsTabsIntoCommasInTheTextTable) {
    write("名单.txt", G("序号\t姓名\r\nS1\t张三\r\n"));
    writeStandardConfig("名单.txt");
    query::查询窗口& window = start();
    ASSERT_TRUE(window.form().button("按钮_校正文本文件").isVisible());
    QTest::mouseClick(window.form().button("按钮_校正文本文件").widget(), Qt::LeftButton);
    EXPECT_EQ(readBytes(local("名单.txt")), G("序号,姓名\r\nS1,张三\r\n"));
    EXPECT_EQ(utf8(window.form().caption()), "测试");  // the waiting caption is gone again
    EXPECT_TRUE(ui::dialogs::script::shown().empty());

    // The repaired table now has its columns.
    query::采像窗口* record = search(window, "张三");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(cell(*record, 0, 0), "S1");
}

TEST_F(RepairTest, OtherKindsAreRefusedAfterAReload) {
    const std::string fixture = std::string(LOOKUP_SOURCE_DIR) + "/tests/database/data/dbf/学生.dbf";
    ASSERT_TRUE(std::filesystem::exists(fixture)) << "committed dBASE fixture missing: " << fixture;
    write("名单.txt", "a\tb\r\n");
    writeStandardConfig("名单.txt");
    query::查询窗口& window = start();

    std::filesystem::copy_file(fixture, local("学生.dbf"));
    writeStandardConfig("学生.dbf");
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Yes);
    window.配置按钮_被单击();
    ASSERT_TRUE(window.form().button("按钮_校正文本文件").isVisible());  // never hidden again

    const std::string dbf = readBytes(local("学生.dbf"));
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    QTest::mouseClick(window.form().button("按钮_校正文本文件").widget(), Qt::LeftButton);
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(utf8(shown[1].text), "仅支持扩展名为txt与csv的文件");
    EXPECT_EQ(utf8(shown[1].title), "信息：");
    EXPECT_EQ(readBytes(local("学生.dbf")), dbf);
    EXPECT_EQ(readBytes(local("名单.txt")), "a\tb\r\n");
}

}  // namespace
