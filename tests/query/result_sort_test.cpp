// Sorting the result list by a header click: the tick box, the sort-type choice, the
// direction kept for the run, and the current row following its record.
#include "query/result_sort.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include "query_test_support.h"

using namespace querytest;

namespace {

class ResultSortTest : public QueryProgramTest {
  protected:
    void SetUp() override {
        QueryProgramTest::SetUp();
        query::排序方向 = 0;  // as at program start
    }

    // Columns: 0 序号, 1 (none), 2 班级, 3 姓名, 4 入学.
    query::采像窗口& openPupils() {
        write("名单.csv",
              gbkLines({"序号,姓名,班级,入学", "10,张三,一班,2026年9月1日", "9,李四,一班,不详",
                        "-3,王五,二班,1899年12月29日18时", "abc,阿明,二班,2025-09-01 08:00",
                        "2,赵六,一班,1899/12/29 06:00"}));
        writeConfig({"[database]", "dbname=名单.csv", "[search]", "searchname1=姓名", "[display]",
                     "display1=序号", "display3=班级", "display4=姓名", "display5=入学", "[reg]",
                     "logo=测试"});
        query::采像窗口* record = search(start(), "*");
        EXPECT_NE(record, nullptr);
        return *record;
    }

    static void clickHeader(query::采像窗口& record, int column) {
        auto* view = qobject_cast<QTableView*>(record.form().reportList("list").widget());
        view->scrollTo(view->model()->index(0, column));  // five columns do not fit the list
        QHeaderView* header = view->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    static std::vector<std::string> column(query::采像窗口& record, int c) {
        std::vector<std::string> cells;
        for (int r = 0; r < record.form().reportList("list").rowCount(); ++r)
            cells.push_back(cell(record, r, c));
        return cells;
    }
    using Cells = std::vector<std::string>;
};

TEST_F(ResultSortTest, ClicksSortOnlyWhenTickedAndEachCountedClickReverses) {
    query::采像窗口& record = openPupils();
    ui::Form& form = record.form();
    const Cells asRead{"10", "9", "-3", "abc", "2"};

    // Unticked: nothing moves and the direction stays.
    clickHeader(record, 0);
    EXPECT_EQ(column(record, 0), asRead);
    EXPECT_EQ(query::排序方向, 0);

    // The combo box as the window opens says text: "10" before "9".
    form.checkBox("选择框_是否排序").setChecked(true);
    EXPECT_EQ(utf8(form.combo("组合框_排序类型").text()), "1-文本型排序");
    clickHeader(record, 0);
    EXPECT_EQ(column(record, 0), (Cells{"-3", "10", "2", "9", "abc"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Numbers, and the next counted click (another column's alike) sorts descending.
    form.combo("组合框_排序类型").setCurrentIndex(0);
    clickHeader(record, 0);
    EXPECT_EQ(column(record, 0), (Cells{"10", "9", "2", "abc", "-3"}));

    // Unticking in between does not count; ticked again, the next click is ascending.
    form.checkBox("选择框_是否排序").setChecked(false);
    clickHeader(record, 0);
    form.checkBox("选择框_是否排序").setChecked(true);
    clickHeader(record, 0);
    EXPECT_EQ(column(record, 0), (Cells{"-3", "abc", "2", "9", "10"}));
    EXPECT_EQ(query::排序方向, 1);
}

TEST_F(ResultSortTest, NamesByPinyinDatesByDayAndOtherTypeAsText) {
    query::采像窗口& record = openPupils();
    ui::Form& form = record.form();
    form.checkBox("选择框_是否排序").setChecked(true);
    ui::ComboBox type = form.combo("组合框_排序类型");

    type.setCurrentIndex(3);  // "3-其它类型"
    clickHeader(record, 3);
    EXPECT_EQ(column(record, 3), (Cells{"阿明", "李四", "王五", "张三", "赵六"}));
    // Every cell of a row moves with it.
    EXPECT_EQ(column(record, 0), (Cells{"abc", "9", "-3", "10", "2"}));

    type.setCurrentIndex(2);
    clickHeader(record, 4);  // descending
    EXPECT_EQ(column(record, 4), (Cells{"2026年9月1日", "2025-09-01 08:00", "1899年12月29日18时",
                                        "1899/12/29 06:00", "不详"}));
    clickHeader(record, 4);  // ascending: the unreadable first
    EXPECT_EQ(column(record, 4), (Cells{"不详", "1899/12/29 06:00", "1899年12月29日18时",
                                        "2025-09-01 08:00", "2026年9月1日"}));

    // No item selected sorts as text.
    type.setCurrentIndex(-1);
    clickHeader(record, 0);  // descending
    EXPECT_EQ(column(record, 0), (Cells{"abc", "9", "2", "10", "-3"}));
}

TEST_F(ResultSortTest, TheCurrentRowFollowsItsRecordAndTheDirectionOutlivesTheWindow) {
    query::采像窗口* record = &openPupils();
    ui::ReportList list = record->form().reportList("list");
    list.selectRow(1);  // 9, 李四
    record->form().checkBox("选择框_是否排序").setChecked(true);
    clickHeader(*record, 3);
    EXPECT_EQ(cell(*record, list.currentRow(), 3), "李四");
    EXPECT_EQ(utf8(record->form().edit("编辑框4").text()), "李四");

    // A new record window goes on with the direction after the last counted click.
    query::查询窗口& window = *query::queryWindow();
    record->form().window()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.recordWindow() == nullptr; }, 2000));
    record = search(window, "*");
    ASSERT_NE(record, nullptr);
    record->form().checkBox("选择框_是否排序").setChecked(true);
    clickHeader(*record, 3);
    EXPECT_EQ(column(*record, 3), (Cells{"赵六", "张三", "王五", "李四", "阿明"}));
}

// Phone numbers compared equal as numbers (32 bits), and Latin names came after hanzi.
TEST_F(ResultSortTest, LongNumbersSortExactlyAndLatinNamesBeforeHanzi) {
    query::采像窗口& record = openPupils();
    ui::ReportList list = record.form().reportList("list");
    list.deleteAllRows();
    for (const char* row : {"13912345678,张三", "13800138002,Li Si", "13800138001,阿明", "9,li"}) {
        const std::string text = codepage::utf8ToGbk(row);
        const size_t comma = text.find(',');
        list.appendRow(
            std::vector<std::string>{text.substr(0, comma), "", "", text.substr(comma + 1)});
    }
    query::排序列表(list, 0, 1, 0);
    EXPECT_EQ(column(record, 0), (Cells{"9", "13800138001", "13800138002", "13912345678"}));
    query::排序列表(list, 3, 1, 1);
    EXPECT_EQ(column(record, 3), (Cells{"li", "Li Si", "阿明", "张三"}));
}

TEST_F(ResultSortTest, EmptyAndOneRowListsSortWithoutEffect) {
    query::采像窗口& record = openPupils();
    ui::ReportList list = record.form().reportList("list");
    query::排序列表(list, 0, 1, 0);
    list.deleteAllRows();
    query::排序列表(list, 0);
    EXPECT_EQ(list.rowCount(), 0);
    list.appendRow(std::vector<std::string>{"x"});
    query::排序列表(list, 7, 0, 2);  // a column the list lacks reads as empty texts
    EXPECT_EQ(cell(record, 0, 0), "x");
    EXPECT_EQ(query::比较类型, 2);
    EXPECT_EQ(query::比较表项(0, 1), 0);  // outside a sort
}

}  // namespace
