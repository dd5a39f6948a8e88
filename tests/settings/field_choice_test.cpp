// Field names on page "搜索与显示设置": the 14 boxes and the numbered field list filled
// from the listing of the table shown, the saved choices selected by prefix, and what a
// listing that fails leaves.
#include "common/config_file.h"
#include "settings/field_choice.h"
#include "settings_test_support.h"

using namespace settingstest;

namespace {

class FieldChoiceTest : public SettingsProgramTest {
protected:
    void showTables() {
        form().tabs("选择夹1").setCurrentPage(0);
        click("按钮_下一步");
    }
};

TEST_F(FieldChoiceTest, EveryBoxOffersTheFieldsWithTheirNumbersAndTheListNamesThem) {
    write("名单.csv", gbkLines({"姓名,班级", "张三,一班"}));
    writeConfig({"[database]", "dbname=名单.csv"});
    start();
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "") << "empty until the page is shown";
    showTables();
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "当前选中的表单有如下字段：  1.姓名  2.班级");
    for (int box = 1; box <= 14; ++box) {
        SCOPED_TRACE(box);
        ui::ComboBox combo = form().combo("组合框" + std::to_string(box));
        ASSERT_EQ(combo.count(), 2);
        EXPECT_EQ(utf8(combo.itemText(0)), "姓名");
        EXPECT_EQ(combo.itemValue(0), 1);
        EXPECT_EQ(utf8(combo.itemText(1)), "班级");
        EXPECT_EQ(combo.itemValue(1), 2);
        EXPECT_EQ(combo.currentIndex(), -1);
        EXPECT_EQ(combo.text(), "");
    }
    // Saving at once writes every field key empty.
    click("按钮_确定");
    ASSERT_TRUE(closed());
    EXPECT_EQ(config::readKey(paths::configPath(), "display", "display1", "missing"), "");
    EXPECT_EQ(config::readKey(paths::configPath(), "photo", G("标记字段"), "missing"), "");
}

TEST_F(FieldChoiceTest, SavedNamesSelectTheFirstFieldTheyBeginAndRefillsForgetTheUsersChange) {
    write("证件.csv", gbkLines({"IDCard,ID,姓名,姓名", "1,2,3,4"}));
    writeConfig({"[database]", "dbname=证件.csv", "[search]", "searchname1=ID", "searchname2=id",
                 "searchname3=未知", "[display]", "display1=姓", "display2=", "[photo]", "标记字段=姓名"});
    start();
    showTables();
    EXPECT_EQ(comboText(1), "IDCard");  // the earlier field wins over the exact one
    EXPECT_EQ(comboText(2), "IDCard");  // letters compare without case
    EXPECT_EQ(comboText(3), "");
    EXPECT_EQ(form().combo("组合框3").currentIndex(), -1);
    EXPECT_EQ(comboText(4), "姓名");
    EXPECT_EQ(form().combo("组合框4").currentIndex(), 2);  // the first of two equal names
    EXPECT_EQ(comboText(5), "");
    EXPECT_EQ(comboText(14), "姓名");

    form().combo("组合框1").setText("ID");
    form().combo("组合框3").setText(G("自己输入"));
    QTest::mouseClick(form().radio("单选框1").widget(), Qt::LeftButton, {}, QPoint(6, 12));
    EXPECT_EQ(comboText(1), "IDCard");
    EXPECT_EQ(comboText(3), "");
}

TEST_F(FieldChoiceTest, TableNamesWithSpacesHyphensOrLeadingDigitsListTheirFields) {
    write("my list-1.csv", gbkLines({"姓名,班级", "张三,一班"}));
    writeConfig({"[database]", "dbname=my list-1.csv", "[search]", "searchname1=班"});
    start();
    showTables();
    EXPECT_TRUE(ui::dialogs::script::shown().empty());
    EXPECT_EQ(form().combo("组合框1").count(), 2);
    EXPECT_EQ(comboText(1), "班级");

    if (!copyFromShared("corpus/mdb/ucanaccess__weirdObjectNames.mdb", "weird.mdb") ||
        !copyFromShared("corpus/dbf/javadbf__gbk.dbf", "2024 gbk.dbf"))
        GTEST_SKIP() << "shared corpus absent: the Access and dBASE tables not tried";
    form().edit("文件名编辑框_数据库位置").setText(G("2024 gbk.dbf"));
    showTables();
    EXPECT_TRUE(ui::dialogs::script::shown().empty());
    ASSERT_EQ(form().combo("组合框1").count(), 3);
    EXPECT_EQ(utf8(form().combo("组合框1").itemText(0)), "设计编号");

    ui::dialogs::script::answerInput(std::string());
    form().edit("文件名编辑框_数据库位置").setText("weird.mdb");
    showTables();
    EXPECT_EQ(ui::dialogs::script::shown().size(), 1u) << "the password prompt only, no listing error";
    ASSERT_EQ(settings::表名数组.size(), 1u);
    EXPECT_EQ(settings::表名数组[0], "19 MB 01 BEZAHLT ???");
    ASSERT_EQ(form().combo("组合框1").count(), 2);
    EXPECT_EQ(utf8(form().combo("组合框1").itemText(1)), "TextField");
}

TEST(FirstItemBeginningWith, PrefixCaseAndEmptyValues) {
    using settings::firstItemBeginningWith;
    const std::vector<std::string> items{"IDCard", "ID", "\xD0\xD5\xC3\xFB"};  // 姓名
    EXPECT_EQ(firstItemBeginningWith(items, "ID"), 0);
    EXPECT_EQ(firstItemBeginningWith(items, "idc"), 0);
    EXPECT_EQ(firstItemBeginningWith(items, "\xD0\xD5"), 2);
    EXPECT_EQ(firstItemBeginningWith(items, ""), -1);
    EXPECT_EQ(firstItemBeginningWith(items, "IDCards"), -1);
    EXPECT_EQ(firstItemBeginningWith({}, "ID"), -1);
}

TEST_F(FieldChoiceTest, AWorkbookHeaderEndsAtItsFirstBlankCellAndKeepsItsSpaces) {
    if (!copyFromSource("tests/database/data/xls/headers.xls", "headers.xls")) GTEST_SKIP() << "no header fixture";
    writeConfig({"[database]", "dbname=headers.xls"});
    start();
    showTables();
    ui::ComboBox combo = form().combo("组合框1");
    ASSERT_EQ(combo.count(), 2);  // 序号, " 姓名 ", then a gap before 班级
    EXPECT_EQ(utf8(combo.itemText(1)), " 姓名 ");

    std::vector<ui::RadioButton> radios = tableRadios();
    ASSERT_GE(radios.size(), 4u);
    QTest::mouseClick(radios[2].widget(), Qt::LeftButton, {}, QPoint(6, 12));  // A1 empty
    EXPECT_EQ(form().combo("组合框1").count(), 0);
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "当前选中的表单有如下字段：");
    QTest::mouseClick(radios[3].widget(), Qt::LeftButton, {}, QPoint(6, 12));  // 30 columns, past Z
    ASSERT_EQ(form().combo("组合框1").count(), 30);
    EXPECT_EQ(utf8(form().combo("组合框1").itemText(29)), "H30");
}

TEST_F(FieldChoiceTest, AFailedListingShowsTheComponentsMessageOnceAndKeepsTheSavedNames) {
    write("坏.dbf", "not a dBASE table at all");
    writeConfig({"[database]", "dbname=坏.dbf", "[search]", "searchname1=姓名"});
    start();
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    showTables();
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ui::dialogs::script::Kind::Message);
    EXPECT_FALSE(shown[0].text.empty());
    ASSERT_EQ(tableRadios().size(), 1u);
    EXPECT_EQ(form().combo("组合框1").count(), 0);
    EXPECT_EQ(comboText(1), "姓名");  // the saved name, kept for "确定"
    EXPECT_EQ(utf8(form().label("标签_隐藏_字段内容").caption()), "当前选中的表单有如下字段：");
}

}  // namespace
