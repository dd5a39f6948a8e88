// Start-up of the query program: the configuration file created on a fresh install, the
// example opening on it, the end on a missing data file, the tables of each kind.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "query_test_support.h"

using namespace querytest;

namespace {

class StartTest : public QueryProgramTest {};

TEST_F(StartTest, FreshInstallCreatesTheDefaultFileAndOpensTheExample) {
    const std::string example = std::string(LOOKUP_SOURCE_DIR) + "/examples/data/例子.xls";
    ASSERT_TRUE(std::filesystem::exists(example)) << "committed example workbook missing: " << example;
    std::filesystem::copy(std::string(LOOKUP_SOURCE_DIR) + "/examples/data", dir_,
                          std::filesystem::copy_options::recursive);

    query::查询窗口& window = start();

    EXPECT_EQ(readBytes(local("quillmar.ini")),
              readBytes(std::string(LOOKUP_SOURCE_DIR) + "/tests/common/data/default_quillmar.ini"));
    ui::Form& form = window.form();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(utf8(form.radio("单选框4").caption()), "按姓名查");
    EXPECT_EQ(utf8(form.radio("单选框5").caption()), "按查");
    ui::CheckListBox tables = form.checkList("选择列表框1");
    ASSERT_EQ(tables.count(), 1);
    EXPECT_EQ(tables.itemText(0), "[Sheet1$]");
    EXPECT_TRUE(tables.isChecked(0));
    EXPECT_EQ(query::当前表名, "[Sheet1$]");
    EXPECT_EQ(utf8(form.label("标签_表名提示").caption()), "当前所选表名：[Sheet1$]");
    EXPECT_FALSE(form.button("按钮_校正文本文件").isVisible());
    EXPECT_TRUE(form.hasTrayIcon());
    EXPECT_TRUE(form.button("按钮1").hasFocus());

    // The example's pupils are found by name, with their photos beside them.
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 200);
    EXPECT_EQ(record->form().reportList("list").currentRow(), 0);
    EXPECT_TRUE(record->form().picture("图片框1").hasPicture());
}

// "请稍候……" must be whole in its 136 x 48 label with the face that stands in for 楷体_GB2312
// (it was reported cut to "请"; a message box lying over the start window was the cause).
TEST_F(StartTest, TheStartWindowsTextFitsItsLabel) {
    ui::Form start;
    ASSERT_TRUE(start.load(":/query/forms/启动窗口.ui"));
    auto* label = qobject_cast<QLabel*>(start.label("标签1").widget());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("请稍候……"));
    EXPECT_EQ(label->size(), QSize(136, 48));
    const QFontMetrics metrics(label->font());
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
    EXPECT_LE(metrics.height(), label->height());
    EXPECT_TRUE(QFontDatabase::writingSystems(QFontInfo(label->font()).family())
                    .contains(QFontDatabase::SimplifiedChinese));
}

TEST_F(StartTest, AnExistingFileIsNeverRewritten) {
    writePupils("名单.csv", 3);
    const std::string config = gbkLines({"; kept as it is", "[database]", "dbname=名单.csv"});
    write("quillmar.ini", config);
    start();
    EXPECT_EQ(readBytes(local("quillmar.ini")), config);
    // Keys missing from the file read as the query program's defaults.
    EXPECT_EQ(utf8(query::searchname1), "未设置");
    EXPECT_EQ(query::显示字段数组.size(), 11u);
}

// Run in a child process: the program ends there. What the boxes showed is printed by an
// exit clean-up so that the parent can match it.
void startExpectingTheEnd(const std::string& dir) {
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    ui::atExit([dir] {
        for (const auto& shown : ui::dialogs::script::shown())
            std::fprintf(stderr, "BOX[%s|%s]\n", codepage::gbkToUtf8(shown.title).c_str(),
                         codepage::gbkToUtf8(shown.text).c_str());
        // Only a regular file is read back: opening a FIFO would wait for a writer.
        const bool regular = std::filesystem::is_regular_file(dir + "/quillmar.ini");
        std::fprintf(stderr, "INI[%zu]\n", regular ? readBytes(dir + "/quillmar.ini").size() : 0);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);  // the child's TearDown never runs
    });
    query::startProgram();
    QTest::qWait(3000);
    std::exit(3);  // the program should have ended before
}

TEST_F(StartTest, MissingDataFileEndsTheProgramWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeStandardConfig("不在.xls");
    EXPECT_EXIT(startExpectingTheEnd(dir_), ::testing::ExitedWithCode(0),
                "BOX\\[严重错误！\\|没有找到数据库，请运行‘设置’程序！\\]");
}

TEST_F(StartTest, EmptyConfigurationFileMeansNoDataFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    write("quillmar.ini", "");
    // The file stays empty: an existing file is never rewritten.
    EXPECT_EXIT(startExpectingTheEnd(dir_), ::testing::ExitedWithCode(0), "BOX\\[严重错误！.*INI\\[0\\]");
}

// Regression: a quillmar.ini that is a FIFO read as one without keys, without a word.
TEST_F(StartTest, AConfigurationFileThatIsNoRegularFileEndsTheProgramSayingSo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(::mkfifo(local("quillmar.ini").c_str(), 0644), 0);
    EXPECT_EXIT(startExpectingTheEnd(dir_), ::testing::ExitedWithCode(0),
                "BOX\\[严重错误！\\|配置文件.*quillmar.ini不是普通文件");
}

TEST_F(StartTest, TextTableIsSplitIntoItsFolderAndItsOneTable) {
    writePupils("data/名单.txt", 3);
    writeStandardConfig("data\\名单.txt");  // written on Windows
    query::查询窗口& window = start();
    EXPECT_EQ(query::dbname, codepage::fromLocalPath(dir_) + "/data/");
    EXPECT_EQ(query::数据库扩展名, "txt");
    ASSERT_EQ(query::表名数组.size(), 1u);
    EXPECT_EQ(utf8(query::表名数组[0]), "[名单.txt]");
    EXPECT_EQ(utf8(query::当前表名), "[名单.txt]");
    EXPECT_TRUE(window.form().button("按钮_校正文本文件").isVisible());
    EXPECT_EQ(utf8(window.form().caption()), "测试");
    EXPECT_EQ(utf8(window.form().trayTip()), "测试");
}

TEST_F(StartTest, DbaseTableListsItselfWithoutTheRepairButton) {
    const std::string fixture = std::string(LOOKUP_SOURCE_DIR) + "/tests/database/data/dbf/学生.dbf";
    ASSERT_TRUE(std::filesystem::exists(fixture)) << "committed dBASE fixture missing: " << fixture;
    std::filesystem::copy_file(fixture, local("学生.DBF"));
    writeStandardConfig("学生.DBF");
    query::查询窗口& window = start();
    EXPECT_EQ(query::数据库扩展名, "dbf");
    EXPECT_EQ(utf8(window.form().checkList("选择列表框1").itemText(0)), "[学生.DBF]");
    EXPECT_FALSE(window.form().button("按钮_校正文本文件").isVisible());

    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 4);  // the fifth is deleted
}

TEST_F(StartTest, WorkbookThatCannotBeOpenedRemindsTriesAgainAndHasNoTables) {
    write("坏.xls", "this is no workbook");
    writeStandardConfig("坏.xls");
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);  // the reminder
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);  // no tables
    query::查询窗口& window = start();
    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(utf8(shown[1].text), "怎么尽是倒霉事儿，这个数据库中居然还没有表！");
    EXPECT_EQ(utf8(shown[1].title), "信息：");
    EXPECT_EQ(window.form().checkList("选择列表框1").count(), 0);
    EXPECT_TRUE(window.form().isLoaded());
}

TEST_F(StartTest, WorkbookSheetsAreListedInBracketsAndTheFirstIsChecked) {
    const std::string fixture = std::string(LOOKUP_SOURCE_DIR) + "/tests/database/data/xls/students.xls";
    ASSERT_TRUE(std::filesystem::exists(fixture)) << "committed workbook fixture missing: " << fixture;
    std::filesystem::copy_file(fixture, local("students.xls"));
    writeStandardConfig("students.xls");
    query::查询窗口& window = start();
    ui::CheckListBox tables = window.form().checkList("选择列表框1");
    ASSERT_EQ(tables.count(), 3);
    EXPECT_EQ(utf8(tables.itemText(0)), "[学生名单$]");
    EXPECT_EQ(utf8(tables.itemText(1)), "['my sheet$']");
    EXPECT_TRUE(tables.isChecked(0));
    EXPECT_FALSE(tables.isChecked(1));
}

// Access: the password prompt, and the tables with "apw" and "cpw" left out of the list.
class AccessTest : public QueryProgramTest {
protected:
    bool copyFixture(const std::string& name) {
        const std::string fixture = std::string(LOOKUP_SHARED_DIR) + "/fixtures/mdb/" + name;
        if (!std::filesystem::exists(fixture)) return false;
        std::filesystem::copy_file(fixture, local(name));
        return true;
    }
};

TEST_F(AccessTest, AsksForThePasswordAndListsTheUserTables) {
    if (!copyFixture("pupils.mdb")) GTEST_SKIP() << "no Access fixture pupils.mdb in " LOOKUP_SHARED_DIR;
    writeStandardConfig("pupils.mdb");
    ui::dialogs::script::answerInput(std::nullopt);  // no password: cancelled
    query::查询窗口& window = start();

    const auto& shown = ui::dialogs::script::shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ui::dialogs::script::Kind::Input);
    EXPECT_EQ(utf8(shown[0].title), "有密码吗？");
    EXPECT_EQ(utf8(shown[0].text), "如果数据库包含密码，请输入，无则直接退出！");
    EXPECT_EQ(query::数据库密码, "");

    std::vector<std::string> tables;
    for (const auto& t : query::表名数组) tables.push_back(utf8(t));
    EXPECT_EQ(tables, (std::vector<std::string>{"[学生名单]", "[进度测试]", "apw", "cpw", "[教师]"}));
    ui::CheckListBox list = window.form().checkList("选择列表框1");
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(utf8(list.itemText(2)), "[教师]");
    EXPECT_EQ(list.itemData(2), 3);
}

TEST_F(AccessTest, ThePasswordOpensAProtectedDatabase) {
    if (!copyFixture("pupils_password.mdb")) GTEST_SKIP() << "no Access fixture pupils_password.mdb";
    writeStandardConfig("pupils_password.mdb");
    ui::dialogs::script::answerInput(std::string("abc123"));
    query::查询窗口& window = start();
    EXPECT_EQ(query::数据库密码, "abc123");
    ASSERT_EQ(window.form().checkList("选择列表框1").count(), 1);
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 200);
}

TEST_F(AccessTest, OnlyHiddenTablesGiveAnEmptyListWithoutAMessage) {
    if (!copyFixture("apw_cpw_only.mdb")) GTEST_SKIP() << "no Access fixture apw_cpw_only.mdb";
    writeStandardConfig("apw_cpw_only.mdb");
    ui::dialogs::script::answerInput(std::string());
    query::查询窗口& window = start();
    EXPECT_EQ(ui::dialogs::script::shown().size(), 1u);  // the prompt alone
    EXPECT_EQ(window.form().checkList("选择列表框1").count(), 0);
    EXPECT_EQ(query::当前表名, "");
    EXPECT_EQ(utf8(window.form().label("标签_表名提示").caption()), "当前所选表名：");
}

}  // namespace
