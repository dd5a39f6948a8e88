// The report list: cells, rows, the current row and its event, arrow keys at the ends,
// and the sort with the program's comparison function.
#include <QTableView>

#include <cstdlib>
#include <set>
#include <vector>

#include "runtime_test_support.h"

using namespace runtime_test;

namespace {

class ReportListTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_TRUE(f.load(form("测试窗口.ui")));
        list = f.reportList("list");
        f.on("list", ui::Event::CurrentRowChanged, [this](int r) { rows.push_back(r); });
        for (const char* c : {"序号", "姓名", "班级"}) list.addColumn(G(c), 105, ui::ReportList::Align::Centre);
    }
    void fill(const std::vector<std::string>& firstColumn) {
        for (const std::string& v : firstColumn) {
            const int r = list.insertRow(list.rowCount());
            list.setCellText(r, 0, v);
            list.setCellText(r, 1, G("名") + v);
        }
    }
    ui::Form f;
    ui::ReportList list;
    std::vector<int> rows;
};

TEST_F(ReportListTest, CellsAndRows) {
    EXPECT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.columnCaption(1), G("姓名"));
    fill({"1", "2", "3"});
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.insertRow(1), 1);  // in the middle: the rest move down
    EXPECT_EQ(list.cellText(1, 0), "");
    EXPECT_EQ(list.cellText(2, 0), "2");
    const std::string longText(5000, 'z');
    list.setCellText(3, 2, longText);
    EXPECT_EQ(list.cellText(3, 2), longText);
    EXPECT_EQ(list.cellText(-1, 0), "");
    EXPECT_EQ(list.cellText(0, -1), "");
    EXPECT_EQ(list.cellText(4, 0), "");
    EXPECT_EQ(list.cellText(0, 3), "");
    list.setCellText(9, 0, "ignored");
    list.setCellText(0, 7, "ignored");
    EXPECT_EQ(list.rowCount(), 4);
    // The view shows what the list holds.
    ui::processPendingEvents();
    auto* view = static_cast<QTableView*>(list.widget());
    EXPECT_EQ(view->model()->rowCount(), 4);
    EXPECT_EQ(view->model()->index(0, 1).data().toString(), QStringLiteral("名1"));
}

TEST_F(ReportListTest, SelectRowRaisesCurrentRowChangedDeleteAllDoesNot) {
    fill({"a", "b", "c"});
    EXPECT_EQ(list.currentRow(), -1);
    list.selectRow(0);
    EXPECT_EQ(rows, std::vector<int>{0});
    EXPECT_EQ(list.currentRow(), 0);
    list.selectRow(2);
    EXPECT_EQ(rows, (std::vector<int>{0, 2}));
    list.deleteAllRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(rows, (std::vector<int>{0, 2}));
    // A new fill selects its first row again, with the event.
    fill({"d"});
    list.selectRow(0);
    EXPECT_EQ(rows, (std::vector<int>{0, 2, 0}));
}

TEST_F(ReportListTest, ArrowKeysStopAtTheEnds) {
    fill({"a", "b", "c"});
    list.selectRow(0);
    rows.clear();
    list.keyDown(38);  // up at the first row: nothing
    EXPECT_EQ(list.currentRow(), 0);
    list.keyDown(40);
    list.keyDown(40);
    list.keyDown(40);  // down at the last row: nothing
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_EQ(rows, (std::vector<int>{1, 2}));
    list.keyDown(38);
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 1}));
    list.keyDown(65);  // not a moving key
    EXPECT_EQ(list.currentRow(), 1);
}

TEST_F(ReportListTest, ClickBelowTheRowsLeavesNoRowSelected) {
    fill({"a", "b"});
    list.selectRow(1);
    int clicks = 0;
    f.on("list", ui::Event::Clicked, [&] { clicks++; EXPECT_EQ(list.currentRow(), -1); });
    auto* view = static_cast<QTableView*>(list.widget());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, view->viewport()->height() - 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.currentRow(), -1);
}

// Regression: after a click below the rows a program-sent Down jumped to the first row,
// while the list's own Down key goes on from the row that last had the focus.
TEST_F(ReportListTest, ArrowSentAfterAClickBelowTheRowsGoesOnLikeTheListsOwnKey) {
    fill({"a", "b", "c", "d"});
    auto* view = static_cast<QTableView*>(list.widget());
    const QPoint below(10, view->viewport()->height() - 5);
    list.selectRow(1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, below);
    ASSERT_EQ(list.currentRow(), -1);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    const int byTheList = list.currentRow();
    EXPECT_EQ(byTheList, 2);

    list.selectRow(1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, below);
    rows.clear();
    list.keyDown(40);
    EXPECT_EQ(list.currentRow(), byTheList);
    EXPECT_EQ(rows, std::vector<int>{2});  // the record sheet follows
}

TEST_F(ReportListTest, SortWithTheProgramsComparison) {
    fill({"10", "9", "abc", "-3", "9"});
    list.setCellText(4, 1, "second nine");
    list.selectRow(0);  // "10"
    std::vector<std::string> texts;
    for (int r = 0; r < list.rowCount(); ++r) texts.push_back(list.cellText(r, 0));
    for (int r = 0; r < list.rowCount(); ++r) list.setRowValue(r, reinterpret_cast<intptr_t>(&texts[r]));
    rows.clear();
    list.sortRows([](intptr_t a, intptr_t b) {
        return std::atoi(reinterpret_cast<std::string*>(a)->c_str()) -
               std::atoi(reinterpret_cast<std::string*>(b)->c_str());
    });
    std::vector<std::string> sorted;
    for (int r = 0; r < list.rowCount(); ++r) sorted.push_back(list.cellText(r, 0));
    EXPECT_EQ(sorted, (std::vector<std::string>{"-3", "abc", "9", "9", "10"}));
    EXPECT_EQ(list.cellText(3, 1), "second nine");  // equal rows keep their order
    EXPECT_EQ(list.currentRow(), 4);               // the selection moved with its row
    EXPECT_TRUE(rows.empty());
    // Row values travel with their rows.
    EXPECT_EQ(*reinterpret_cast<std::string*>(list.rowValue(0)), "-3");
    EXPECT_EQ(list.rowValue(99), 0);
}

// A comparison whose 32-bit difference wraps gives inconsistent answers; the sort must
// still end with every row kept.
TEST_F(ReportListTest, InconsistentComparisonNeitherCrashesNorLosesRows) {
    std::vector<int> values;
    for (int i = 0; i < 300; ++i) values.push_back((i % 2 ? 1 : -1) * (1500000000 - i * 7919));
    for (size_t i = 0; i < values.size(); ++i) {
        list.insertRow(static_cast<int>(i));
        list.setCellText(static_cast<int>(i), 0, std::to_string(values[i]));
        list.setRowValue(static_cast<int>(i), values[i]);
    }
    list.sortRows([](intptr_t a, intptr_t b) {
        return static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(a) - static_cast<int64_t>(b)));
    });
    ASSERT_EQ(list.rowCount(), 300);
    std::multiset<std::string> before, after;
    for (int v : values) before.insert(std::to_string(v));
    for (int r = 0; r < 300; ++r) after.insert(list.cellText(r, 0));
    EXPECT_EQ(before, after);
}

TEST_F(ReportListTest, ManyRowsOneInsertAtATime) {
    constexpr int kRows = 100000;
    list.removeAllColumns();
    for (int c = 0; c < 11; ++c) list.addColumn(std::to_string(c), 105, ui::ReportList::Align::Centre);
    for (int r = 0; r < kRows; ++r) {
        list.insertRow(r);
        for (int c = 0; c < 11; ++c) list.setCellText(r, c, "v");
    }
    list.setCellText(kRows - 1, 10, "last");
    list.selectRow(kRows - 1);
    EXPECT_EQ(list.rowCount(), kRows);
    EXPECT_EQ(list.currentRow(), kRows - 1);
    EXPECT_EQ(list.cellText(kRows - 1, 10), "last");
    EXPECT_EQ(static_cast<QTableView*>(list.widget())->model()->rowCount(), kRows);
}

// A fill could only insert a row and set it cell by cell (a call per cell); a whole row
// now goes in at once and must read back exactly as the cell-by-cell way.
TEST_F(ReportListTest, AppendRowWithTexts) {
    fill({"1"});
    EXPECT_EQ(list.appendRow({"2", G("名2"), G("一班")}), 1);
    EXPECT_EQ(list.appendRow({"3"}), 2);                       // missing texts: empty cells
    EXPECT_EQ(list.appendRow({"4", "b", "c", "dropped"}), 3);  // beyond the last column: dropped
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.cellText(1, 1), G("名2"));
    EXPECT_EQ(list.cellText(1, 2), G("一班"));
    EXPECT_EQ(list.cellText(2, 0), "3");
    EXPECT_EQ(list.cellText(2, 2), "");
    EXPECT_EQ(list.cellText(3, 3), "");
    list.setCellText(2, 2, "set later");  // an appended row's cells stay settable
    EXPECT_EQ(list.cellText(2, 2), "set later");
    EXPECT_EQ(list.insertRow(0), 0);       // and rows still go in before it
    EXPECT_EQ(list.cellText(2, 1), G("名2"));
    EXPECT_TRUE(rows.empty());             // no current-row event while filling
    list.selectRow(2);
    EXPECT_EQ(rows, std::vector<int>{2});
    auto* view = static_cast<QTableView*>(list.widget());
    EXPECT_EQ(view->model()->rowCount(), 5);
    EXPECT_EQ(view->model()->index(4, 0).data().toString(), QStringLiteral("4"));
}

// Appended rows are packed into shared blocks and leave them when a cell is set; every
// way a packed row is read, changed, moved or thrown away must keep its texts exact.
TEST_F(ReportListTest, PackedRowsSurviveEditsSortRefillAndLongTexts) {
    const std::string longText(300000, 'L');  // larger than a shared block
    std::vector<std::string> texts(3);           // one set of strings reused for every row
    for (int r = 0; r < 2000; ++r) {
        texts[0] = std::to_string(r);
        texts[1] = r % 3 ? G("名") + std::string(r % 40, 'x') : "";
        texts[2] = r == 1500 ? longText : G("一班");
        EXPECT_EQ(list.appendRow(texts), r);
    }
    EXPECT_EQ(list.cellText(1500, 2), longText);
    EXPECT_EQ(list.cellText(1501, 2), G("一班"));
    EXPECT_EQ(list.cellText(3, 1), "");
    EXPECT_EQ(list.cellText(1999, 1), G("名") + std::string(1999 % 40, 'x'));

    // An edited row keeps its other cells; a column added later is empty until set.
    list.setCellText(7, 1, "edited");
    EXPECT_EQ(list.cellText(7, 0), "7");
    EXPECT_EQ(list.cellText(7, 1), "edited");
    EXPECT_EQ(list.cellText(7, 2), G("一班"));
    list.addColumn("extra", 50);
    EXPECT_EQ(list.cellText(8, 3), "");
    list.setCellText(8, 3, "new column");
    EXPECT_EQ(list.cellText(8, 3), "new column");
    EXPECT_EQ(list.cellText(8, 0), "8");

    // Sorting descending moves packed and edited rows alike, values with them.
    for (int r = 0; r < list.rowCount(); ++r) list.setRowValue(r, r);
    list.sortRows([](intptr_t a, intptr_t b) { return static_cast<int>(b - a); });
    EXPECT_EQ(list.cellText(0, 0), "1999");
    EXPECT_EQ(list.cellText(1999 - 7, 1), "edited");
    EXPECT_EQ(list.cellText(1999 - 8, 3), "new column");
    EXPECT_EQ(list.cellText(1999 - 1500, 2), longText);
    EXPECT_EQ(list.rowValue(1999 - 1500), 1500);

    // Emptied and filled again: nothing of the old rows shows through.
    list.deleteAllRows();
    EXPECT_EQ(list.cellText(0, 0), "");
    list.appendRow(std::vector<std::string>{"again"});
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, 0), "again");
    EXPECT_EQ(list.cellText(0, 1), "");
    EXPECT_EQ(list.rowValue(0), 0);
    ui::processPendingEvents();
    EXPECT_EQ(static_cast<QTableView*>(list.widget())->model()->index(0, 0).data().toString(),
              QStringLiteral("again"));
}

TEST_F(ReportListTest, FontAndTextColour) {
    list.setTextColour(0x0000FF);  // 0x00BBGGRR: red
    EXPECT_EQ(list.textColour(), 0x0000FFu);
    EXPECT_EQ(list.widget()->palette().color(QPalette::Text), QColor(255, 0, 0));
    list.setFontSize(14);
    list.setFontFace(G("宋体"));
    EXPECT_EQ(list.fontSize(), 14);
    EXPECT_EQ(list.fontFace(), G("宋体"));
}

}  // namespace
