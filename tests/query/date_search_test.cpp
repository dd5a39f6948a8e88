// Searching a date field from both windows, in substring and exact mode, on the example
// workbook whose 出生日期 cells are dates: what the list shows is what a search finds.
#include "query_test_support.h"

using namespace querytest;

namespace {

class DateSearchTest : public QueryProgramTest {
protected:
    query::查询窗口& startOnExample() {
        const std::string example = std::string(LOOKUP_SOURCE_DIR) + "/examples/data/例子.xls";
        std::filesystem::copy_file(example, local("例子.xls"));  // a committed file: throws when missing
        writeConfig({"[database]", "dbname=例子.xls", "[search]", "searchname1=出生日期", "searchname2=姓名",
                     "searchname3=序号", "[display]", "display1=序号", "display3=班级", "display4=出生日期",
                     "[reg]", "logo=测试"});
        return start();
    }
    // Column 3 (出生日期) of every row of the list.
    static std::vector<std::string> dates(query::采像窗口& record) {
        std::vector<std::string> out;
        for (int row = 0; row < record.form().reportList("list").rowCount(); ++row) out.push_back(cell(record, row, 3));
        return out;
    }
};

TEST_F(DateSearchTest, SubstringSearchFindsTheDatesTheListShows) {
    query::查询窗口& window = startOnExample();
    query::采像窗口* record = search(window, "2012年2月");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(query::查询条件), "where [出生日期] like '%2012年2月%'");
    const auto found = dates(*record);
    ASSERT_EQ(found.size(), 15u);
    for (const std::string& date : found) EXPECT_EQ(date.rfind("2012年2月", 0), 0u) << date;
    EXPECT_EQ(utf8(record->form().caption()), "测试－－符合记录的条件有：15个。");

    // The record window's own search, by a part of the shown date.
    ui::Form& form = record->form();
    form.edit("查询编辑框").setText(G("9月20"));
    record->查询按钮_被单击();
    EXPECT_EQ(dates(*record), std::vector<std::string>(4, "2011年9月20日"));
}

TEST_F(DateSearchTest, ExactSearchReadsTheTextAsADateInEachForm) {
    query::查询窗口& window = startOnExample();
    window.form().checkBox("精确查找选择框").setChecked(true);
    query::采像窗口* record = search(window, "2011-9-20");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(utf8(query::查询条件), "where [出生日期] = '2011-9-20'");
    EXPECT_EQ(dates(*record), std::vector<std::string>(4, "2011年9月20日"));

    ui::Form& form = record->form();
    form.checkBox("精确查找选择框").setChecked(true);
    for (const char* typed : {"2011/9/20", "2011年9月20日"}) {
        form.edit("查询编辑框").setText(G(typed));
        record->查询按钮_被单击();
        EXPECT_EQ(dates(*record), std::vector<std::string>(4, "2011年9月20日")) << typed;
    }
    // A text that is no date finds nothing, and says so like any empty search.
    form.edit("查询编辑框").setText(G("九月"));
    record->查询按钮_被单击();
    EXPECT_EQ(form.reportList("list").rowCount(), 0);
    EXPECT_EQ(utf8(form.caption()), "测试－－符合记录的条件有：0个。");
}

}  // namespace
