// Searching number, date and boolean columns as the record window shows them: LIKE on
// every reader's typed columns, "=" with a date written in any of the forms the runtime
// reads, dates before 1900 and with a time of day, and character lists in a statement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/codepage.h"
#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }
std::string U(const std::string& gbk) { return codepage::gbkToUtf8(gbk); }

using Texts = std::vector<std::string>;

class TypedSearch : public ::testing::Test {
protected:
    void SetUp() override { db::TableCache::instance().clear(); }

    void open(const std::string& connection) { ASSERT_TRUE(database.open(connection)) << U(database.lastError()); }
    void openWorkbook(const std::string& file) { open("ODBC;DBQ=" + file + ";Driver={Microsoft Excel Driver (*.xls)};"); }
    void openAccess(const std::string& file) {
        open("ODBC;DBQ=" + file + ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;");
    }

    // Column `field` (UTF-8) of the rows that "select * from <table> where <condition>"
    // gives, as the list shows them; the statement must run.
    Texts shown(const std::string& table, const std::string& condition, const std::string& field) {
        const std::string sql = "select * from " + G(table.c_str()) + " where " + G(condition.c_str());
        const int set = database.openRecordSet(sql);
        EXPECT_NE(set, 0) << condition << ": " << U(database.lastError());
        Texts values;
        for (; set != 0 && !database.atEnd(set); database.moveNext(set))
            values.push_back(U(database.fieldText(set, G(field.c_str()))));
        database.closeRecordSet(set);
        return values;
    }
    size_t count(const std::string& table, const std::string& condition) {
        return shown(table, condition, "x").size();
    }

    db::ExternalDatabase database;
};

TEST_F(TypedSearch, TextFileNumberColumnsMatchTheirShownText) {
    TempFolder folder;
    folder.write("scores.csv", G("姓名,学号,分数\r\n甲,7,90\r\n乙,17,85.5\r\n丙,170,100.25\r\n丁,,\r\n"));
    open("ODBC;DBQ=" + folder.dir() + ";Driver={Microsoft Text Driver (*.txt; *.csv)};");
    // A float column shows 90, not the 90.0 SQLite would make of it.
    EXPECT_EQ(shown("[scores.csv]", "[分数] like '90'", "姓名"), Texts{"甲"});
    EXPECT_EQ(shown("[scores.csv]", "[分数] like '%.%'", "分数"), (Texts{"85.5", "100.25"}));
    EXPECT_EQ(shown("[scores.csv]", "[学号] like '%7%'", "姓名"), (Texts{"甲", "乙", "丙"}));
    EXPECT_EQ(shown("[scores.csv]", "[学号] like '1[0-9]%'", "学号"), (Texts{"17", "170"}));
    // A missing value shows as 0 but is no value: LIKE finds nothing in it.
    EXPECT_EQ(shown("[scores.csv]", "[分数] like '%0%'", "姓名"), (Texts{"甲", "丙"}));
    EXPECT_EQ(shown("[scores.csv]", "[分数] not like '%.%'", "姓名"), Texts{"甲"});
}

TEST_F(TypedSearch, DbaseDateNumberAndLogicalFields) {
    open("ODBC;DBQ=" LOOKUP_TEST_DATA_DIR "/dbf/;Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;");
    EXPECT_EQ(shown("[plain.dbf]", "[birth] like '%1990%'", "BIRTH"), Texts{"1990年5月4日"});
    EXPECT_EQ(count("[plain.dbf]", "[birth] like '1990-05-04'"), 0u);
    EXPECT_EQ(count("[plain.dbf]", "[birth] like '%年5月%'"), 1u);
    EXPECT_EQ(shown("[plain.dbf]", "[score] like '%.5'", "SCORE"), Texts{"77.5"});
    EXPECT_EQ(count("[plain.dbf]", "[ok] like '1'"), 1u);
    for (const char* date : {"1990-5-4", "1990/5/4", "1990年5月4日", "1990-05-04"})
        EXPECT_EQ(count("[plain.dbf]", std::string("[birth] = '") + date + "'"), 1u) << date;
}

TEST_F(TypedSearch, SheetDateCellsWithTimesAndBooleans) {
    for (const std::string kind : {"xls", "xlsx"}) {
        SCOPED_TRACE(kind);
        db::TableCache::instance().clear();
        openWorkbook(LOOKUP_TEST_DATA_DIR "/" + kind + "/students." + kind);
        const std::string sheet = "[学生名单$]";
        EXPECT_EQ(shown(sheet, "[生日] like '19%'", "生日"), (Texts{"1928年10月1日", "1900年1月5日", "1900年3月1日"}));
        EXPECT_EQ(shown(sheet, "[生日] like '%12时30分45秒'", "学号"), Texts{"1003"});
        EXPECT_EQ(shown(sheet, "[生日] like '%[89]年%'", "生日"), (Texts{"1928年10月1日", "9999年12月31日"}));
        // A time of day is part of the date "=" compares.
        EXPECT_EQ(shown(sheet, "[生日] = '2150-6-15 12:30:45'", "学号"), Texts{"1003"});
        EXPECT_EQ(shown(sheet, "[生日] = '2150年6月15日12时30分45秒'", "学号"), Texts{"1003"});
        EXPECT_EQ(count(sheet, "[生日] = '2150-6-15'"), 0u);
        EXPECT_EQ(shown(sheet, "[生日] = '1900/1/5'", "学号"), Texts{"1004"});
        EXPECT_EQ(shown(sheet, "[分数] like '%.%'", "分数"), (Texts{"95.5", "0.25"}));
        EXPECT_EQ(shown(sheet, "[学号] like '100[!1-3]'", "学号"), (Texts{"1004", "1006", "1007"}));
        EXPECT_EQ(shown(sheet, "[在校] like '1'", "姓名"), (Texts{"朱镕基", "李四", "钱七"}));
    }
}

TEST_F(TypedSearch, AccessDatesAsTheListShowsThem) {
    REQUIRE_SHARED_FILE("corpus/mdb/mdbtestdata__nwind.mdb");
    openAccess(sharedFile("corpus/mdb/mdbtestdata__nwind.mdb"));
    // The orders of 1996, which a comparison of the stored day numbers never found.
    EXPECT_EQ(count("[Orders]", "[OrderDate] like '%1996%'"), 318u);
    EXPECT_EQ(count("[Orders]", "[OrderDate] not like '%1996%'"), 830u - 318u);
    const size_t june5 = count("[Orders]", "[OrderDate] like '1996年6月5日'");
    EXPECT_GT(june5, 0u);
    for (const char* date : {"1996-6-5", "1996/6/5", "1996年6月5日", "1996.6.5", " 1996-06-05 "})
        EXPECT_EQ(count("[Orders]", std::string("[OrderDate] = '") + date + "'"), june5) << date;
    EXPECT_EQ(count("[Orders]", "[Freight] like '%.5'"), count("[Orders]", "[Freight] like '%[.]5'"));
}

TEST_F(TypedSearch, AccessDatesBefore1900AndTheOtherTypes) {
    REQUIRE_SHARED_FILE("corpus/mdb/mdbtestdata__DateTestDatabase.mdb");
    openAccess(sharedFile("corpus/mdb/mdbtestdata__DateTestDatabase.mdb"));
    EXPECT_EQ(shown("[DateTest]", "[DateTimeCol] like '18%'", "IDCol"), Texts{"3"});
    EXPECT_EQ(shown("[DateTest]", "[DateTimeCol] = '1898-1-1'", "IDCol"), Texts{"3"});
    EXPECT_EQ(shown("[DateTest]", "[DateCol] = '1899年1月1日'", "IDCol"), Texts{"3"});
    EXPECT_EQ(shown("[DateTest]", "[DateTimeCol] like '63_年%'", "DateTimeCol"), Texts{"632年1月1日"});
    EXPECT_EQ(shown("[DateTest]", "[DateCol] = '633/1/1'", "IDCol"), Texts{"4"});

    REQUIRE_SHARED_FILE("fixtures/mdb/pupils.mdb");
    openAccess(sharedFile("fixtures/mdb/pupils.mdb"));
    EXPECT_EQ(shown("[学生名单]", "[成绩] like '1.5'", "序号"), (Texts{"0012", "0107"}));
    EXPECT_EQ(shown("[学生名单]", "[学号] like '%00[01][0-9]'", "序号").size(), 19u);  // 0001..0019
    EXPECT_EQ(count("[学生名单]", "[在校] like '0'") + count("[学生名单]", "[在校] like '1'"), 200u);
    EXPECT_EQ(shown("[学生名单]", "[姓名] like '[张]%' and [出生日期] like '2012年2%'", "序号"), Texts{"0009"});
}

TEST_F(TypedSearch, ALiteralThatIsNoDateMatchesNothingAndTheStatementRuns) {
    openWorkbook(LOOKUP_TEST_DATA_DIR "/xlsx/students.xlsx");
    for (const char* literal : {"nonsense", "2013", "2013-2-30", "2013-6-19 25:00", ""})
        EXPECT_EQ(count("[学生名单$]", std::string("[生日] = '") + literal + "'"), 0u) << literal;
    // A number against a date compares day numbers, as before; a text column is untouched.
    EXPECT_EQ(shown("[学生名单$]", "[生日] = 10502", "学号"), Texts{"1001"});  // 1928-10-01
    EXPECT_EQ(shown("[学生名单$]", "[备注] = '2001-2-3'", "学号"), Texts{});
    EXPECT_EQ(shown("[学生名单$]", "[备注] like '2001年2月3日'", "学号"), Texts{"1006"});
}

}  // namespace
