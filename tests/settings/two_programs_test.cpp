// lookup and 设置 together: the query window's "设置" button starts the program file 设置
// from the program directory, waits for it and asks whether to reload; 设置 saves another
// data file and other fields, and lookup searches the new file by the new fields.
#include <sys/stat.h>

#include "common/config_file.h"
#include "query/query_test_support.h"
#include "settings_test_support.h"

namespace {

using programtest::G;
using programtest::readBytes;
using programtest::writeBytes;

class TwoProgramsTest : public querytest::QueryProgramTest {
protected:
    void releaseProgram() override {
        settings::releaseWindows();
        settings::释放全局变量();
        querytest::QueryProgramTest::releaseProgram();
    }
};

TEST_F(TwoProgramsTest, TheButtonRunsTheProgramBesideLookupAndWaitsForItBeforeTheQuestion) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();

    // A stand-in for 设置 that takes its time before it writes: a reload that did not wait
    // would read the old file.
    writePupils("新名单.csv", 2);
    write("next.ini", querytest::gbkLines({"[database]", "dbname=新名单.csv", "[search]", "searchname1=班级",
                                           "[reg]", "logo=新标题"}));
    write("设置", "#!/bin/sh\ncd \"$(dirname \"$0\")\"\nsleep 0.3\necho \"$#\" > started\ncp next.ini quillmar.ini\n");
    ::chmod(local("设置").c_str(), 0755);
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Yes);
    QTest::mouseClick(window.form().button("配置按钮").widget(), Qt::LeftButton);
    EXPECT_EQ(read("started"), "0\n") << "started once, without arguments";
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    EXPECT_EQ(utf8(ui::dialogs::script::shown()[0].text), "按 是 重新装载，否则退出程序！");
    EXPECT_EQ(utf8(window.form().caption()), "新标题");
    EXPECT_EQ(utf8(window.form().radio("单选框4").caption()), "按班级查");
    EXPECT_EQ(utf8(query::当前表名), "[新名单.csv]");
}

TEST_F(TwoProgramsTest, SettingsChoseAnotherFileAndFieldsAndLookupSearchesByThem) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();

    // The user runs 设置: picks another file with the open button and new fields.
    write("data/教师.csv", querytest::gbkLines({"工号,姓名,科目", "T01,王老师,语文", "T02,李老师,数学",
                                                "T03,赵老师,语文"}));
    settings::startProgram();
    ui::Form& settingsForm = settings::settingsWindow()->form();
    ui::dialogs::script::answerOpenFile(gbkPath("data/教师.csv"));
    QTest::mouseClick(settingsForm.button("按钮_打开").widget(), Qt::LeftButton);
    QTest::mouseClick(settingsForm.button("按钮_下一步").widget(), Qt::LeftButton);
    settingsForm.combo("组合框1").setText(G("科目"));   // search by subject
    settingsForm.combo("组合框4").setText(G("工号"));   // display1
    settingsForm.combo("组合框7").setText(G("姓名"));   // display4
    settingsForm.edit("编辑框_logo").setText(G("教师查询"));
    QTest::mouseClick(settingsForm.button("按钮_确定").widget(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !settingsForm.isLoaded(); }, 1000));
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "database", "dbname", "")), "data/教师.csv");

    // Back in lookup: no program file here, so the question comes at once; Yes reloads.
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Yes);
    QTest::mouseClick(window.form().button("配置按钮").widget(), Qt::LeftButton);
    EXPECT_EQ(utf8(window.form().caption()), "教师查询");
    EXPECT_EQ(utf8(window.form().radio("单选框4").caption()), "按科目查");
    window.form().radio("单选框4").setChecked(true);
    query::采像窗口* record = search(window, "语文");
    ASSERT_NE(record, nullptr);
    ui::ReportList list = record->form().reportList("list");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(cell(*record, 0, 0), "T01");
    EXPECT_EQ(cell(*record, 1, 3), "赵老师");
}

// Regression: a quillmar.ini saved as UTF-8 by a Linux editor read as defaults in both
// programs (its mark hid the first section), and 确定 then wrote its field keys empty
// in GBK lines among the UTF-8 ones.
TEST_F(TwoProgramsTest, AUtf8FileReadsInBothProgramsAndIsSavedBackWholeInGbk) {
    writePupils("名单.csv", 4);
    const std::string lines = "[database]\r\ndbname=名单.csv\r\n[search]\r\nsearchname1=班级\r\n"
                              "[display]\r\ndisplay1=姓名\r\n[reg]\r\nlogo=三年二班\r\n";
    write("quillmar.ini", "\xEF\xBB\xBF" + lines);
    query::查询窗口& window = start();
    EXPECT_EQ(utf8(window.form().caption()), "三年二班");
    EXPECT_EQ(utf8(window.form().radio("单选框4").caption()), "按班级查");

    settings::startProgram();
    ui::Form& settingsForm = settings::settingsWindow()->form();
    QTest::mouseClick(settingsForm.button("按钮_下一步").widget(), Qt::LeftButton);
    EXPECT_EQ(utf8(settingsForm.combo("组合框1").text()), "班级");
    EXPECT_EQ(utf8(settingsForm.combo("组合框4").text()), "姓名");
    QTest::mouseClick(settingsForm.button("按钮_确定").widget(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !settingsForm.isLoaded(); }, 1000));
    const std::string saved = read("quillmar.ini");
    EXPECT_EQ(saved.rfind(G("[database]\r\ndbname=名单.csv\r\n[search]\r\nsearchname1=班级\r\n"), 0), 0u)
        << "not GBK from its first line: " << utf8(saved);
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "search", "searchname1", "")), "班级");
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "display", "display1", "")), "姓名");
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "reg", "logo", "")), "三年二班");
    EXPECT_EQ(codepage::gbkToUtf8(saved).find("\xEF\xBB\xBF"), std::string::npos);
}

// In "app😀" both programs used "app?": lookup read the sibling's quillmar.ini and data,
// ran the sibling's 设置, and 设置 rewrote the sibling's quillmar.ini.
TEST_F(TwoProgramsTest, AProgramFolderNameGbkCannotHoldIsNeverTakenForItsSibling) {
    const std::string sibling = root_ + "/app?";
    std::filesystem::create_directories(sibling);
    const std::string siblingConfig =
        querytest::gbkLines({"[database]", "dbname=名单.csv", "[search]", "searchname1=班级", "[reg]", "logo=别人"});
    writeBytes(sibling + "/quillmar.ini", siblingConfig);
    writeBytes(sibling + "/名单.csv", querytest::gbkLines({"学号,名字,年级", "X1,别人,三"}));
    writeBytes(sibling + "/设置", "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    ::chmod((sibling + "/设置").c_str(), 0755);

    useProgramFolder("app😀");
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    write("设置", "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    ::chmod(local("设置").c_str(), 0755);
    query::查询窗口& window = start();
    EXPECT_EQ(utf8(window.form().caption()), "测试");
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 4);
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::No);
    QTest::mouseClick(window.form().button("配置按钮").widget(), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(local("ran"))) << "设置 beside lookup ran";

    settings::startProgram();
    ui::Form& settingsForm = settings::settingsWindow()->form();
    EXPECT_EQ(utf8(settingsForm.edit("编辑框_logo").text()), "测试");
    // A file chosen in the folder comes back from the dialog with "?", and is saved relative.
    ui::dialogs::script::answerOpenFile(gbkPath("名单.csv"));
    QTest::mouseClick(settingsForm.button("按钮_打开").widget(), Qt::LeftButton);
    QTest::mouseClick(settingsForm.button("按钮_下一步").widget(), Qt::LeftButton);
    // The fields are those of the folder's own list.
    EXPECT_GE(settingsForm.combo("组合框1").findItem(G("班级")), 0);
    EXPECT_LT(settingsForm.combo("组合框1").findItem(G("年级")), 0);
    settingsForm.edit("编辑框_logo").setText(G("自己"));
    QTest::mouseClick(settingsForm.button("按钮_确定").widget(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !settingsForm.isLoaded(); }, 1000));
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "reg", "logo", "")), "自己");
    EXPECT_EQ(utf8(config::readKey(paths::configPath(), "database", "dbname", "")), "名单.csv");
    EXPECT_NE(read("quillmar.ini").find(G("logo=自己")), std::string::npos);

    // The sibling is exactly as it was: same files, same bytes.
    EXPECT_EQ(readBytes(sibling + "/quillmar.ini"), siblingConfig);
    EXPECT_FALSE(std::filesystem::exists(sibling + "/ran"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sibling), {}), 3);
}

}  // namespace
