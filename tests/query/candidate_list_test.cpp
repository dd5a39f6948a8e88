// The candidate lists under both search boxes: matching as typed and by pinyin initials,
// the skip of an unchanged text, the keys and the mouse in the box and the list, the
// write-back runs, Enter starting the search, and the pinyin library's binding errors.
#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <map>

#include <QCoreApplication>
#include <QListWidget>
#include <QProcess>

#include "query_test_support.h"

using namespace querytest;

namespace {

class CandidateListTest : public QueryProgramTest {
protected:
    // Six pupils and these names, searched by 姓名 (the first radio).
    query::采像窗口& openRecordWindow() {
        writePupils("名单.csv", 2,
                    {"S0011,张三,一班", "S0012,张思,一班", "S0013,赵六,二班", "S0014,单田芳,二班",
                     "S0015,Zhang San,二班", "S0016,zhang,二班", "S0017,a b,一班", "S0018,ab,一班",
                     "S0019,a,一班", "S0020,张三,二班"});
        writeStandardConfig("名单.csv");
        query::查询窗口& window = start();
        query::采像窗口* record = search(window, "*");
        EXPECT_NE(record, nullptr);
        return *record;
    }

    static std::vector<std::string> items(ui::ListBox list) {
        std::vector<std::string> texts;
        for (int k = 0; k < list.count(); ++k) texts.push_back(utf8(list.itemText(k)));
        return texts;
    }
    using Items = std::vector<std::string>;

    // Gives the search box the focus (opening the candidates) and types ASCII keys.
    static void type(ui::EditBox box, const char* keys) {
        if (!box.hasFocus()) box.setFocus();
        QTest::keyClicks(box.widget(), keys);
    }
    static void key(ui::Control control, Qt::Key k) { QTest::keyClick(control.widget(), k); }
    // A key as the user presses it: to whatever holds the focus.
    static void keyToFocus(Qt::Key k) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, k);
    }
};

TEST_F(CandidateListTest, TypedTextMatchesTheBeginningOfValuesByteForByte) {
    query::采像窗口& record = openRecordWindow();
    ui::Form& form = record.form();
    form.checkBox("声母查询选择框").setChecked(false);
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");

    type(box, "a");
    EXPECT_TRUE(list.isVisible());
    EXPECT_TRUE(list.isSorted());
    EXPECT_EQ(items(list), (Items{"a", "a b", "ab"}));
    // Only spaces at the end differ from the last run: nothing runs, the list stays.
    type(box, " ");
    EXPECT_EQ(items(list), (Items{"a", "a b", "ab"}));
    EXPECT_EQ(query::上次候选文本_采像, "a");
    // Spaces typed inside the text take part in the match.
    type(box, "b");
    EXPECT_EQ(items(list), (Items{"a b"}));

    // Case-sensitive: "z" does not find "Zhang San".
    box.setText("");
    type(box, "z");
    EXPECT_EQ(items(list), (Items{"zhang"}));
    type(box, "x");
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(query::上次候选文本_采像, "zx");

    // Emptied: hidden, the last-run text kept; the same text again stays hidden.
    key(box, Qt::Key_Backspace);
    key(box, Qt::Key_Backspace);
    EXPECT_EQ(box.text(), "");
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(query::上次候选文本_采像, "z");
    type(box, "z");
    EXPECT_FALSE(list.isVisible());
}

TEST_F(CandidateListTest, WithThePinyinOptionInitialsOfTheWholeTextMatch) {
    query::采像窗口& record = openRecordWindow();
    ui::Form& form = record.form();
    ASSERT_TRUE(form.checkBox("声母查询选择框").isChecked());
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");

    type(box, "zs");
    EXPECT_EQ(items(list), (Items{"张三", "张思"}));  // distinct: the second 张三 is one item
    // Typed hanzi are read as initials too: 张 gives "z".
    box.setText(G("张"));
    EXPECT_EQ(items(list), (Items{"zhang", "Zhang San", "张三", "张思", "赵六"}));
    // A surname's reading: 单 is "s" at the start of a name.
    box.setText("stf");
    EXPECT_EQ(items(list), (Items{"单田芳"}));
    // A text the library gives no initials matches every value.
    box.setText("?");
    EXPECT_EQ(list.count(), 11);
    // The item data counts the matches in record order: with every value listed it is
    // each value's record number; a run listing some of them numbers those in the same
    // order from 0.
    std::map<std::string, int64_t> recordNumber;
    for (int k = 0; k < list.count(); ++k) recordNumber[list.itemText(k)] = list.itemData(k);
    box.setText(G("张"));
    std::vector<std::pair<int64_t, int64_t>> numbers;  // record number, item data
    for (int k = 0; k < list.count(); ++k) numbers.emplace_back(recordNumber[list.itemText(k)], list.itemData(k));
    std::sort(numbers.begin(), numbers.end());
    for (size_t k = 0; k < numbers.size(); ++k) EXPECT_EQ(numbers[k].second, static_cast<int64_t>(k));
    ASSERT_EQ(numbers.size(), 5u);
}

TEST_F(CandidateListTest, DownUpAndBackspaceMoveBetweenTheBoxAndTheList) {
    query::采像窗口& record = openRecordWindow();
    ui::Form& form = record.form();
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");

    // Down with an empty list does nothing; the box keeps the focus and its record set.
    type(box, "q");
    ASSERT_EQ(list.count(), 0);
    key(box, Qt::Key_Down);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_GT(query::queryWindow()->查询窗口外部数据库.fieldCount(query::候选记录集_采像), 0);

    box.setText("zs");
    ASSERT_EQ(list.count(), 2);
    key(box, Qt::Key_Down);  // no selection: the first item, and the focus moves there
    EXPECT_TRUE(list.hasFocus());
    EXPECT_EQ(list.currentIndex(), 0);
    // The box lost the focus: its record set and the component are closed.
    EXPECT_EQ(query::queryWindow()->查询窗口外部数据库.fieldCount(query::候选记录集_采像), 0);
    EXPECT_FALSE(query::queryWindow()->查询窗口外部数据库.isOpen());

    // Backspace in the list: back to the box, which opens the candidates again.
    key(list, Qt::Key_Backspace);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_TRUE(query::queryWindow()->查询窗口外部数据库.isOpen());
    EXPECT_EQ(box.selectionStart(), 2);
    // The list lost the focus: emptied and hidden.
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.isVisible());

    box.setText("zh");  // zhang, Zhang San: the letters' initials are the letters
    ASSERT_EQ(list.count(), 2);
    key(box, Qt::Key_Up);  // the last item
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_TRUE(list.hasFocus());
    key(list, Qt::Key_Backspace);
    box.setText("zs");
    list.setCurrentIndex(1);
    key(box, Qt::Key_Down);  // at the last item: nothing
    EXPECT_TRUE(box.hasFocus());
    EXPECT_EQ(list.currentIndex(), 1);

    // Up with an empty list still moves the focus there: the list shows, empty, while it
    // holds the focus, and the box's candidates close.
    box.setText("qq");
    ASSERT_EQ(list.count(), 0);
    key(box, Qt::Key_Up);
    EXPECT_TRUE(list.hasFocus());
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_FALSE(query::queryWindow()->查询窗口外部数据库.isOpen());
    key(list, Qt::Key_Backspace);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_FALSE(list.isVisible());
}

TEST_F(CandidateListTest, SpaceAndTheMouseTakeAValueAndEnterSearchesForIt) {
    query::采像窗口& record = openRecordWindow();
    ui::Form& form = record.form();
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");

    // Space with nothing selected (Up on the one-item list, then the selection cleared).
    type(box, "stf");
    key(box, Qt::Key_Up);
    list.setCurrentIndex(-1);
    key(list, Qt::Key_Space);
    EXPECT_EQ(box.text(), "");
    EXPECT_TRUE(form.button("查询按钮").hasFocus());
    EXPECT_FALSE(list.isVisible());

    // Enter with nothing selected: an empty text, which the search ignores.
    type(box, "stf");
    key(box, Qt::Key_Up);
    list.setCurrentIndex(-1);
    key(list, Qt::Key_Return);
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(form.reportList("list").rowCount(), 12);

    // Space on an item: the box holds it; the write-back run met the closed record set,
    // found nothing and took the candidate as its last-run text.
    type(box, "zs");
    key(box, Qt::Key_Down);
    key(list, Qt::Key_Space);
    EXPECT_EQ(utf8(box.text()), "张三");
    EXPECT_EQ(utf8(query::上次候选文本_采像), "张三");
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(list.count(), 0);

    // The left button on an item.
    box.setText("");
    type(box, "zs");
    QListWidget* widget = static_cast<QListWidget*>(list.widget());
    const QRect second = widget->visualItemRect(widget->item(1));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(utf8(box.text()), "张思");
    EXPECT_FALSE(list.isVisible());
    EXPECT_TRUE(form.button("查询按钮").hasFocus());

    // Enter in the list searches for the value taken.
    box.setText("");
    type(box, "zs");
    key(box, Qt::Key_Down);
    key(list, Qt::Key_Return);
    ui::ReportList result = form.reportList("list");
    ASSERT_EQ(result.rowCount(), 2);
    EXPECT_EQ(cell(record, 0, 3), "张三");
    EXPECT_EQ(cell(record, 1, 0), "S0020");

    // Enter in the box searches for what it holds and hides the list.
    box.setText("");
    type(box, "ab");
    EXPECT_TRUE(list.isVisible());
    key(box, Qt::Key_Return);
    EXPECT_FALSE(list.isVisible());
    ASSERT_EQ(result.rowCount(), 1);
    EXPECT_EQ(cell(record, 0, 0), "S0018");
}

// Up with an empty list left the focus in the search box, the next key sent it on into
// the record sheet, and the key after that overwrote the 序号 shown there.
TEST_F(CandidateListTest, UpWithAnEmptyListMovesTheFocusIntoTheListInBothWindows) {
    query::采像窗口& record = openRecordWindow();
    ui::Form& form = record.form();
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");
    ui::EditBox number = form.edit("编辑框1");
    const std::string shown = number.text();
    ASSERT_FALSE(shown.empty());

    type(box, "qq");
    ASSERT_EQ(list.count(), 0);
    key(box, Qt::Key_Up);
    EXPECT_TRUE(list.hasFocus());
    EXPECT_FALSE(box.hasFocus());
    // The box lost the focus: its candidate connection closed.
    EXPECT_FALSE(query::queryWindow()->查询窗口外部数据库.isOpen());
    // Keys that the list has no use for go nowhere else.
    keyToFocus(Qt::Key_1);
    keyToFocus(Qt::Key_2);
    keyToFocus(Qt::Key_Down);
    EXPECT_TRUE(list.hasFocus());
    EXPECT_EQ(number.text(), shown);
    // Space with nothing selected: an empty search text and the focus on the search button.
    keyToFocus(Qt::Key_Space);
    EXPECT_EQ(box.text(), "");
    EXPECT_TRUE(form.button("查询按钮").hasFocus());
    EXPECT_FALSE(list.isVisible());
    keyToFocus(Qt::Key_3);
    EXPECT_EQ(number.text(), shown);

    // Backspace in the empty list goes back to the box; Enter searches for the empty text,
    // which the search ignores.
    type(box, "qq");
    key(box, Qt::Key_Up);
    keyToFocus(Qt::Key_Backspace);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_FALSE(list.isVisible());
    key(box, Qt::Key_Up);
    keyToFocus(Qt::Key_Return);
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(form.reportList("list").rowCount(), 12);
    keyToFocus(Qt::Key_4);
    EXPECT_EQ(number.text(), shown);
    releaseProgram();

    // The query window, dynamic input ticked: the same keys.
    query::查询窗口& window = start();
    ui::Form& query = window.form();
    ui::EditBox queryBox = query.edit("编辑框1");
    ui::ListBox queryList = query.listBox("列表框1");
    QTest::mouseClick(query.checkBox("选择框1").widget(), Qt::LeftButton);
    queryBox.setText("");
    type(queryBox, "qq");
    ASSERT_EQ(queryList.count(), 0);
    key(queryBox, Qt::Key_Up);
    EXPECT_TRUE(queryList.hasFocus());
    EXPECT_FALSE(window.查询窗口外部数据库.isOpen());
    keyToFocus(Qt::Key_1);
    EXPECT_TRUE(queryList.hasFocus());
    keyToFocus(Qt::Key_Space);
    EXPECT_EQ(queryBox.text(), "");
    EXPECT_TRUE(query.button("按钮1").hasFocus());
    EXPECT_FALSE(queryList.isVisible());
}

TEST_F(CandidateListTest, QueryWindowListsOnlyWithDynamicInputTicked) {
    writePupils("名单.csv", 2, {"S0011,张三,一班", "S0012,张思,一班"});
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    ui::Form& form = window.form();
    ui::EditBox box = form.edit("编辑框1");
    ui::ListBox list = form.listBox("列表框1");
    box.setText("");  // the form's sample text

    // Unticked: no list, but the focus opened the distinct values all the same.
    type(box, "zs");
    EXPECT_FALSE(list.isVisible());
    EXPECT_GT(window.查询窗口外部数据库.fieldCount(query::候选记录集_查询), 0);

    // "使用声母查" ticks "动态查询(慢)" too.
    QTest::mouseClick(form.checkBox("选择框3").widget(), Qt::LeftButton);
    EXPECT_TRUE(form.checkBox("选择框1").isChecked());
    box.setFocus();
    type(box, "z");  // "zsz": nothing
    EXPECT_FALSE(list.isVisible());
    key(box, Qt::Key_Backspace);
    EXPECT_EQ(items(list), (Items{"张三", "张思"}));

    // Down, Enter in the list: the record window shows that name's records.
    key(box, Qt::Key_Down);
    key(list, Qt::Key_Return);
    query::采像窗口* record = window.recordWindow();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 1);
    EXPECT_EQ(cell(*record, 0, 3), "张三");
    EXPECT_EQ(utf8(box.text()), "张三");
}

// The field goes into "select DISTINCT" without brackets: a name with a space fails there
// and the list stays empty and hidden; nothing else goes wrong.
TEST_F(CandidateListTest, AFieldNameWithASpaceGivesNoCandidates) {
    write("名单.csv", gbkLines({"学 号,姓名", "S1,张三", "S2,李四"}));
    writeConfig({"[database]", "dbname=名单.csv", "[search]", "searchname1=学 号", "[display]",
                 "display1=学 号", "display4=姓名"});
    query::查询窗口& window = start();
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->form().reportList("list").rowCount(), 2);
    ui::EditBox box = record->form().edit("查询编辑框");
    record->form().checkBox("声母查询选择框").setChecked(false);
    type(box, "S");
    EXPECT_EQ(query::候选记录集_采像, 0);
    EXPECT_FALSE(record->form().listBox("列表框1").isVisible());
    EXPECT_EQ(query::上次候选文本_采像, "S");
    key(box, Qt::Key_Return);  // the search brackets the field and finds both
    EXPECT_EQ(record->form().reportList("list").rowCount(), 2);
}

TEST_F(CandidateListTest, EnterInTheQueryWindowsBoxStartsTheSearch) {
    writePupils("名单.csv", 4);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    ui::EditBox box = window.form().edit("编辑框1");
    box.setText("");
    type(box, " 2 ");
    key(box, Qt::Key_Return);
    query::采像窗口* record = window.recordWindow();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(box.text()), "2");  // the search wrote the trimmed text back
    ASSERT_EQ(record->form().reportList("list").rowCount(), 1);
    EXPECT_EQ(cell(*record, 0, 0), "S0002");
}

// A missing library or function ends the program at the first pinyin run that meets a
// value, with the runtime's error text and exit code -1. The library is looked for beside
// the running program, so the run happens in a copy of this test program in a folder of
// its own, beside `library` named pinyin.so (none when empty).
struct ChildRun {
    int exitCode = 0;
    std::string errors;
};

ChildRun runPinyinInACopy(const std::string& folder, const std::string& library) {
    namespace fs = std::filesystem;
    const std::string copy = folder + "/test_query";
    fs::copy_file(QCoreApplication::applicationFilePath().toStdString(), copy);
    if (!library.empty()) fs::create_symlink(library, folder + "/pinyin.so");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.start(QString::fromStdString(copy),
                {"--gtest_also_run_disabled_tests",
                 "--gtest_filter=CandidateListTest.DISABLED_PinyinRunBesideTheLibrary"});
    EXPECT_TRUE(child.waitForFinished(30000));
    return {child.exitCode(), child.readAllStandardError().toStdString()};
}

TEST_F(CandidateListTest, DISABLED_PinyinRunBesideTheLibrary) {
    query::采像窗口& record = openRecordWindow();
    ui::EditBox box = record.form().edit("查询编辑框");
    // Without the option the library is never needed.
    record.form().checkBox("声母查询选择框").setChecked(false);
    type(box, "zh");
    EXPECT_EQ(record.form().listBox("列表框1").count(), 1);
    record.form().checkBox("声母查询选择框").setChecked(true);
    box.setText("zs");
}

TEST_F(CandidateListTest, AMissingPinyinLibraryOrFunctionEndsTheProgram) {
    namespace fs = std::filesystem;
    fs::create_directories(local("missing"));
    const ChildRun missing = runPinyinInACopy(local("missing"), "");
    EXPECT_EQ(missing.exitCode, 255);
    EXPECT_NE(missing.errors.find("运行时出错! 无法找到指定DLL库文件“pinyin.dll”中的输出命令“GetPinYin”"),
              std::string::npos)
        << missing.errors;

    // A library that lacks the functions.
    Dl_info maths{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(static_cast<double (*)(double)>(std::cos)), &maths), 0);
    fs::create_directories(local("other"));
    const ChildRun other = runPinyinInACopy(local("other"), maths.dli_fname);
    EXPECT_EQ(other.exitCode, 255);
    EXPECT_NE(other.errors.find("无法找到指定DLL库文件“pinyin.dll”中的输出命令“GetPinYin”"), std::string::npos)
        << other.errors;

    // Beside the real library the same run goes on.
    fs::create_directories(local("real"));
    const ChildRun real = runPinyinInACopy(local("real"), LOOKUP_PROGRAM_DIR "/pinyin.so");
    EXPECT_EQ(real.exitCode, 0) << real.errors;
}

}  // namespace
