// The record window: the result list, its title and progress bar, the record sheet and
// photo, the second search, stepping through rows, the list font, and closing.
#include <QAbstractButton>
#include <QProgressBar>
#include <QTimer>

#include "query/fill_progress.h"
#include "query_test_support.h"

using namespace querytest;

namespace {

class RecordWindowTest : public QueryProgramTest {
protected:
    // Six pupils S0001..S0006 (一班: 1-3, 二班: 4-6) and a photo for S0001.
    query::查询窗口& startOnSixPupils(const std::vector<std::string>& extraRows = {}) {
        writePupils("名单.csv", 6, extraRows);
        writeStandardConfig("名单.csv");
        write("photo/一班/S0001.jpg", jpegBytes());
        return start();
    }
};

TEST_F(RecordWindowTest, SearchFillsTheListTitlesTheWindowAndShowsRowZero) {
    query::查询窗口& window = startOnSixPupils();
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    ui::Form& form = record->form();
    ui::ReportList list = form.reportList("list");

    EXPECT_EQ(query::查询条件, "");
    ASSERT_EQ(list.columnCount(), 11);
    EXPECT_EQ(utf8(list.columnCaption(0)), "序号");
    EXPECT_EQ(list.columnCaption(1), "");
    EXPECT_EQ(utf8(list.columnCaption(10)), "姓名");
    ASSERT_EQ(list.rowCount(), 6);
    EXPECT_EQ(cell(*record, 5, 0), "S0006");
    EXPECT_EQ(cell(*record, 5, 3), "学生6");
    EXPECT_EQ(utf8(form.caption()), "测试－－符合记录的条件有：6个。");
    EXPECT_FALSE(form.window()->isHidden());
    EXPECT_FALSE(window.form().isVisible());
    EXPECT_FALSE(form.progressBar("进度条_列表").isVisible());
    // Where its form places it (an owned window once came up at (0, 0)).
    EXPECT_EQ(form.left(), 50);
    EXPECT_EQ(form.top(), 50);

    // Row 0's sheet and photo.
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(utf8(form.edit("编辑框1").text()), "S0001");
    EXPECT_EQ(utf8(form.edit("编辑框3").text()), "一班");
    EXPECT_EQ(utf8(form.edit("编辑框4").text()), "学生1");
    EXPECT_EQ(utf8(form.label("标签1").caption()), "序号");
    EXPECT_EQ(utf8(form.label("标签_标记字段").caption()), "学生1");
    EXPECT_EQ(utf8(form.label("标签_图片1说明").caption()), "\r\n  S0001");
    EXPECT_EQ(utf8(form.groupBox("分组框_记录单").caption()), "记录单--1/6");
    EXPECT_TRUE(form.picture("图片框1").hasPicture());
    EXPECT_EQ(utf8(form.radio("单选框5").caption()), "按班级查");

    // Row 4 of class 二班: its folder is made when it is shown; it has no photo yet.
    EXPECT_FALSE(std::filesystem::exists(local("photo/二班")));
    list.selectRow(4);
    EXPECT_EQ(utf8(form.groupBox("分组框_记录单").caption()), "记录单--5/6");
    EXPECT_TRUE(std::filesystem::is_directory(local("photo/二班")));
    EXPECT_FALSE(form.picture("图片框1").hasPicture());
}

TEST_F(RecordWindowTest, APhotoThatIsNoJpegShowsAnEmptyPicture) {
    query::查询窗口& window = startOnSixPupils();
    write("photo/一班/S0001.jpg", "GIF89a not a photo at all");
    query::采像窗口* record = search(window, "学生1");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").currentRow(), 0);
    EXPECT_FALSE(record->form().picture("图片框1").hasPicture());
}

// Regression: a "'" in the search text ended the literal and the statement failed, so a
// name such as O'Neil could not be found.
TEST_F(RecordWindowTest, ANameWithAnApostropheIsFound) {
    query::查询窗口& window = startOnSixPupils({"S0099,Liam O'Neil,三班"});
    query::采像窗口* record = search(window, "O'Neil");
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->form().reportList("list").rowCount(), 1);
    EXPECT_EQ(cell(*record, 0, 3), "Liam O'Neil");
    EXPECT_EQ(utf8(record->form().caption()), "测试－－符合记录的条件有：1个。");
}

TEST_F(RecordWindowTest, ApostropheOptionDropsOneLeadingApostropheAndRepeatsFollow) {
    write("名单.csv", gbkLines({"序号,姓名,班级", "'0123,''x,'", "S2,张三,一班"}));
    writeConfig({"[database]", "dbname=名单.csv", "[search]", "searchname1=姓名", "[display]",
                 "display1=序号", "display2=姓名", "display3=班级", "display4=序号"});
    query::查询窗口& window = start();

    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(cell(*record, 0, 0), "'0123");  // unticked: as read
    EXPECT_EQ(cell(*record, 0, 1), "''x");
    EXPECT_EQ(cell(*record, 0, 2), "'");
    EXPECT_EQ(cell(*record, 0, 3), "'0123");  // display4 repeats display1
    record->form().window()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.form().isVisible(); }, 2000));

    window.form().checkBox("选择框_去除单引号").setChecked(true);
    record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(cell(*record, 0, 0), "0123");
    EXPECT_EQ(cell(*record, 0, 1), "'x");
    EXPECT_EQ(cell(*record, 0, 2), "");
    EXPECT_EQ(cell(*record, 0, 3), "0123");
    EXPECT_EQ(cell(*record, 1, 3), "S2");

    // The record window's own box decides for its second search.
    record->form().edit("查询编辑框").setText("*");
    record->查询按钮_被单击();
    EXPECT_EQ(cell(*record, 0, 0), "'0123");
    record->form().checkBox("选择框_去除单引号").setChecked(true);
    record->查询按钮_被单击();
    EXPECT_EQ(cell(*record, 0, 0), "0123");
}

TEST_F(RecordWindowTest, ProgressBarCountsRowsModuloFiveHundred) {
    EXPECT_EQ(query::fillProgressPosition(100), 100);
    EXPECT_EQ(query::fillProgressPosition(499), 499);
    EXPECT_EQ(query::fillProgressPosition(500), 0);
    EXPECT_EQ(query::fillProgressPosition(620), 120);
    EXPECT_EQ(query::shownProgress(499, 0, 100), 100);
    EXPECT_EQ(query::shownProgress(-3, 0, 100), 0);
    {
        // At most one setting a frame; a repeat of what is shown is never set.
        using namespace std::chrono_literals;
        query::FillProgress progress(0, 100, 16ms);
        const auto t0 = query::FillProgress::Clock::now();
        EXPECT_TRUE(progress.step(1, t0));
        EXPECT_FALSE(progress.step(2, t0 + 1ms));
        EXPECT_TRUE(progress.step(3, t0 + 20ms));
        EXPECT_EQ(progress.position(), 3);
        EXPECT_TRUE(progress.step(150, t0 + 40ms));  // full
        EXPECT_FALSE(progress.step(160, t0 + 60ms));  // still full
        EXPECT_TRUE(progress.step(500, t0 + 80ms));   // empty again
        EXPECT_EQ(progress.position(), 0);
    }
    // Every change, for the fill below.
    const auto frame = query::progressFrameInterval();
    query::progressFrameInterval() = {};
    struct Restore {
        std::chrono::steady_clock::duration frame;
        ~Restore() { query::progressFrameInterval() = frame; }
    } restore{frame};

    writePupils("名单.csv", 620);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    std::vector<int> shown;
    query::采像窗口* record = nullptr;
    record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(record->form().caption()), "测试－－符合记录的条件有：620个。");
    EXPECT_EQ(record->form().reportList("list").currentRow(), 0);
    EXPECT_FALSE(record->form().progressBar("进度条_列表").isVisible());

    // The bar exists only with its window; the second search fills it again from the
    // start, now watched.
    auto* bar = qobject_cast<QProgressBar*>(record->form().progressBar("进度条_列表").widget());
    ASSERT_NE(bar, nullptr);
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&shown](int v) { shown.push_back(v); });
    record->form().edit("查询编辑框").setText("*");
    record->查询按钮_被单击();
    std::vector<int> expected;
    for (int v = 1; v <= 100; ++v) expected.push_back(v);  // rows 1-100
    expected.push_back(0);                                   // row 500
    for (int v = 1; v <= 100; ++v) expected.push_back(v);  // rows 501-600
    expected.push_back(0);                                   // the repeated-field pass
    for (int v = 1; v <= 10; ++v) expected.push_back(v);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 620);
}

TEST_F(RecordWindowTest, SecondSearchUsesTheWindowsOwnControls) {
    query::查询窗口& window = startOnSixPupils();
    query::采像窗口* record = search(window, "学生1");
    ASSERT_NE(record, nullptr);
    ui::Form& form = record->form();
    ui::ReportList list = form.reportList("list");
    ASSERT_EQ(list.rowCount(), 1);

    form.edit("查询编辑框").setText("   ");
    record->查询按钮_被单击();  // spaces only: nothing happens
    EXPECT_EQ(list.rowCount(), 1);

    form.edit("查询编辑框").setText(G(" * "));
    QTest::mouseClick(form.button("查询按钮").widget(), Qt::LeftButton);
    EXPECT_EQ(list.rowCount(), 6);
    EXPECT_EQ(utf8(form.edit("查询编辑框").text()), " * ");  // not written back
    EXPECT_TRUE(list.hasFocus());

    form.radio("单选框5").setChecked(true);
    form.edit("查询编辑框").setText(G("二班"));
    form.button("查询按钮").setFocus();
    QTest::keyClick(form.button("查询按钮").widget(), Qt::Key_Return);
    EXPECT_EQ(utf8(query::查询条件), "where [班级] like '%二班%'");
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(utf8(form.caption()), "测试－－符合记录的条件有：3个。");
    EXPECT_EQ(utf8(form.groupBox("分组框_记录单").caption()), "记录单--1/3");

    // A search that finds nothing empties the list; the sheet keeps the last record.
    form.edit("查询编辑框").setText(G("三班"));
    record->查询按钮_被单击();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(utf8(form.edit("编辑框1").text()), "S0004");
}

TEST_F(RecordWindowTest, ExactNumericSearchDropsTheQuotes) {
    write("名单.csv", gbkLines({"编号,姓名", "7,甲", "17,乙", "70,丙"}));
    writeConfig({"[database]", "dbname=名单.csv", "[search]", "searchname1=编号", "[display]",
                 "display1=编号", "display4=姓名"});
    query::查询窗口& window = start();
    window.form().checkBox("精确查找选择框").setChecked(true);
    window.form().checkBox("数值处理选择框").setChecked(true);
    query::采像窗口* record = search(window, "7");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(query::查询条件), "where [编号] = 7");
    ASSERT_EQ(record->form().reportList("list").rowCount(), 1);
    EXPECT_EQ(cell(*record, 0, 3), "甲");
}

TEST_F(RecordWindowTest, PreviousAndNextStopAtTheEnds) {
    query::查询窗口& window = startOnSixPupils();
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    ui::Form& form = record->form();
    ui::ReportList list = form.reportList("list");
    auto click = [&](const char* button) { QTest::mouseClick(form.button(button).widget(), Qt::LeftButton); };

    click("上一记录按钮");
    EXPECT_EQ(list.currentRow(), 0);
    click("下一记录按钮");
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(utf8(form.edit("编辑框1").text()), "S0002");
    for (int k = 0; k < 6; ++k) click("下一记录按钮");
    EXPECT_EQ(list.currentRow(), 5);
    EXPECT_EQ(utf8(form.groupBox("分组框_记录单").caption()), "记录单--6/6");
    click("上一记录按钮");
    EXPECT_EQ(list.currentRow(), 4);
    EXPECT_TRUE(list.hasFocus());
}

TEST_F(RecordWindowTest, FontDialogSetsTheListFontOnlyWhenConfirmed) {
    query::查询窗口& window = startOnSixPupils();
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    ui::ReportList list = record->form().reportList("list");
    const int size = list.fontSize();

    ui::dialogs::script::answerFont(std::nullopt);
    record->按钮_listset_被单击();
    EXPECT_EQ(list.fontSize(), size);

    ui::dialogs::FontChoice choice;
    choice.pointSize = size + 3;
    choice.colour = 0x0000FF;
    choice.face = list.fontFace();
    ui::dialogs::script::answerFont(choice);
    QTest::mouseClick(record->form().button("按钮_listset").widget(), Qt::LeftButton);
    EXPECT_EQ(list.fontSize(), size + 3);
    EXPECT_EQ(list.textColour(), 0x0000FFu);
}

TEST_F(RecordWindowTest, AStatementTheTableCannotRunGivesAnEmptyList) {
    writePupils("名单.csv", 3);
    writeConfig({"[database]", "dbname=名单.csv", "[search]", "searchname1=没有这列", "[display]",
                 "display1=序号", "display2=也没有", "[reg]", "logo=测试"});
    query::查询窗口& window = start();
    query::采像窗口* record = search(window, "x");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 0);
    EXPECT_EQ(utf8(record->form().caption()), "测试－－符合记录的条件有：0个。");
    EXPECT_TRUE(ui::dialogs::script::shown().empty());
}

// Regression: a data file that could not be read gave the same empty list as "no match".
TEST_F(RecordWindowTest, ADataFileThatCannotBeReadIsReportedBesideTheEmptyList) {
    writeStandardConfig("名单.csv");
    write("名单.csv", G("序号,姓") + std::string("\0", 1) + G("名,班级\r\nS0001,张三,一班\r\n"));
    query::查询窗口& window = start();
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 0);
    ASSERT_EQ(ui::dialogs::script::shown().size(), 1u);
    const auto& box = ui::dialogs::script::shown().front();
    EXPECT_EQ(utf8(box.title), "警告！");
    EXPECT_NE(utf8(box.text).find("名单.csv"), std::string::npos) << utf8(box.text);
}

TEST_F(RecordWindowTest, ClosingTheRecordWindowShowsTheQueryWindowAgain) {
    query::查询窗口& window = startOnSixPupils();
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    ASSERT_FALSE(window.form().isVisible());
    record->form().window()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.recordWindow() == nullptr; }, 2000));
    EXPECT_TRUE(window.form().isVisible());

    // A new search opens a new record window.
    record = search(window, "学生2");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 1);
}

// Lets pending events in at every row of a fill, as a long fill does now and then.
struct EventsAtEveryRow {
    EventsAtEveryRow() {
        query::progressFrameInterval() = {};
        query::fillRepaintInterval() = {};
    }
    ~EventsAtEveryRow() {
        query::progressFrameInterval() = frame;
        query::fillRepaintInterval() = repaint;
    }
    const std::chrono::steady_clock::duration frame = query::progressFrameInterval();
    const std::chrono::steady_clock::duration repaint = query::fillRepaintInterval();
};

// Regression: a record window closed while its first fill still ran (the fill lets events
// in to repaint) left the query window hidden too, so nothing of the program was on screen.
TEST_F(RecordWindowTest, ClosingTheRecordWindowDuringItsFillLeavesTheQueryWindowShown) {
    query::查询窗口& window = startOnSixPupils();
    EventsAtEveryRow eventsAtEveryRow;
    bool closedDuringFill = false;
    QTimer::singleShot(0, [&] {
        if (query::采像窗口* record = window.recordWindow()) {
            closedDuringFill = query::行计数 < 6;
            record->form().window()->close();
        }
    });
    search(window, "*");
    ASSERT_TRUE(closedDuringFill);
    EXPECT_EQ(window.recordWindow(), nullptr);
    EXPECT_TRUE(window.form().isVisible());
}

// Regression: the query window, still shown during the first fill, took a second click on
// "进入采像界面", which deleted the record window under its running fill (a crash).
TEST_F(RecordWindowTest, SearchingAgainDuringTheFirstFillIsIgnored) {
    query::查询窗口& window = startOnSixPupils();
    EventsAtEveryRow eventsAtEveryRow;
    query::采像窗口* clickedDuringFill = nullptr;
    QTimer::singleShot(0, [&] {
        clickedDuringFill = window.recordWindow();
        window.form().edit("编辑框1").setText(G("学生2"));
        QTest::mouseClick(window.form().button("按钮1").widget(), Qt::LeftButton);
    });
    query::采像窗口* record = search(window, "*");
    ASSERT_NE(clickedDuringFill, nullptr);
    EXPECT_EQ(record, clickedDuringFill);
    EXPECT_EQ(record->form().reportList("list").rowCount(), 6);
    EXPECT_EQ(query::查询条件, "");
    EXPECT_FALSE(window.form().isVisible());
}

}  // namespace

// Regression: a record window closed while a fill ran was destroyed inside the fill (which
// lets events in), the query window came back, and a search started there deleted the
// record window under its running fill (a use after free). The closed window now goes when
// the fill's handler returns; until then a search from the query window is ignored. Both fills: the first one and the record window's own second search.
TEST_F(RecordWindowTest, ARecordWindowClosedDuringAFillGoesWhenTheFillHasEnded) {
    writePupils("名单.csv", 200);
    writeStandardConfig("名单.csv");
    query::查询窗口& window = start();
    EventsAtEveryRow eventsAtEveryRow;

    // Queues, for the fill about to start: close the record window; at the next events
    // search again from the query window (as Enter on 按钮1 would).
    struct Seen {
        bool closed = false, searchedAgain = false, stillLoaded = false, queryHidden = false;
    };
    auto closeThenSearchDuringTheFill = [&](Seen& seen) {
        QTimer::singleShot(0, [&] {
            query::采像窗口* record = window.recordWindow();
            if (!record || query::行计数 >= 200) return;
            seen.closed = true;
            record->form().window()->close();
            QTimer::singleShot(0, [&, record] {
                if (query::行计数 >= 200) return;
                seen.searchedAgain = true;
                seen.stillLoaded = window.recordWindow() == record && record->form().isLoaded();
                seen.queryHidden = !window.form().isVisible();
                window.form().edit("编辑框1").setText(G("学生2"));
                qobject_cast<QAbstractButton*>(window.form().button("按钮1").widget())->click();
            });
        });
    };

    Seen first;
    closeThenSearchDuringTheFill(first);
    EXPECT_EQ(search(window, "*"), nullptr);
    ASSERT_TRUE(first.closed && first.searchedAgain);
    EXPECT_TRUE(first.stillLoaded);  // the query window is still shown during the first fill
    EXPECT_EQ(query::行计数, 200);
    EXPECT_EQ(query::查询条件, "");
    EXPECT_TRUE(window.form().isVisible());

    query::采像窗口* record = search(window, "*");
    ASSERT_NE(record, nullptr);
    record->form().edit("查询编辑框").setText(G("学生"));
    Seen second;
    closeThenSearchDuringTheFill(second);
    QTest::mouseClick(record->form().button("查询按钮").widget(), Qt::LeftButton);
    ASSERT_TRUE(second.closed && second.searchedAgain);
    EXPECT_TRUE(second.stillLoaded);
    EXPECT_TRUE(second.queryHidden);
    EXPECT_EQ(window.recordWindow(), nullptr);
    EXPECT_TRUE(window.form().isVisible());
    EXPECT_EQ(query::查询条件, G("where [姓名] like '%学生%'"));
}
