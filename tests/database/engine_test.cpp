// The external-database component on generated text tables: the statement shapes the
// programs send, Jet's comparison rules, failures, and the reuse of loaded tables.
#include <gtest/gtest.h>

#include <new>

#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"
#include "temp_folder.h"

namespace {

// GBK bytes of the Chinese texts used below.
const std::string kXingMing = "\xD0\xD5\xC3\xFB";  // 姓名
const std::string kBanJi = "\xB0\xE0\xBC\xB6";     // 班级
const std::string kBianHao = "\xB1\xE0\xBA\xC5";   // 编号
const std::string kXueHao = "\xD1\xA7\xBA\xC5";    // 学号
const std::string kFenShu = "\xB7\xD6\xCA\xFD";    // 分数
const std::string kZhangSan = "\xD5\xC5\xC8\xFD";  // 张三
const std::string kLiSi = "\xC0\xEE\xCB\xC4";      // 李四
const std::string kYiBan = "\xD2\xBB\xB0\xE0";     // 一班
const std::string kErBan = "\xB6\xFE\xB0\xE0";     // 二班

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        db::TableCache::instance().clear();
        folder.write("pupils.csv", kXingMing + "," + kBanJi + "," + kBianHao + "," + kXueHao + "," + kFenShu + "\r\n" +
                                       kZhangSan + "," + kYiBan + ",'0123,0123,90\r\n" +
                                       "O'Neil," + kErBan + ",'0456,456,85.5\r\n" +
                                       "abc," + kYiBan + ",x1,789,70\r\n" +
                                       "ABC," + kErBan + ",,1000,60\r\n" +
                                       kLiSi + ",,y2,12,\r\n");
    }
    std::string textString() const {
        return "ODBC;DBQ=" + folder.dir() +
               ";Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;Persist Security Info=False;";
    }
    // Column `name` of every row of the statement, as the record window shows it.
    std::vector<std::string> column(const std::string& sql, const std::string& name) {
        std::vector<std::string> values;
        const int set = database.openRecordSet(sql);
        EXPECT_NE(set, 0) << sql << ": " << database.lastError();
        for (; !database.atEnd(set); database.moveNext(set)) values.push_back(database.fieldText(set, name));
        database.closeRecordSet(set);
        return values;
    }

    TempFolder folder;
    db::ExternalDatabase database;
};

using Texts = std::vector<std::string>;

TEST_F(Engine, SelectAllWithFieldsByNameAndNumber) {
    ASSERT_TRUE(database.open(textString())) << database.lastError();
    const int set = database.openRecordSet("select * from [pupils.csv] ");
    ASSERT_NE(set, 0) << database.lastError();
    EXPECT_EQ(database.fieldNames(set), (Texts{kXingMing, kBanJi, kBianHao, kXueHao, kFenShu}));
    EXPECT_EQ(database.fieldCount(set), 5);
    EXPECT_EQ(database.fieldText(set, kXingMing), kZhangSan);
    EXPECT_EQ(database.field(set, 4), db::Value(int64_t{123}));
    EXPECT_EQ(database.field(set, 5), db::Value(90.0));
    EXPECT_EQ(database.fieldText(set, "nosuch"), "");
    EXPECT_EQ(database.fieldText(set, 0), "");
    EXPECT_EQ(database.fieldText(set, 6), "");
    int rows = 1;
    for (database.moveNext(set); !database.atEnd(set); database.moveNext(set)) ++rows;
    EXPECT_EQ(rows, 5);
    // Past the end every field is empty; move first starts again.
    EXPECT_EQ(database.fieldText(set, 1), "");
    database.moveFirst(set);
    EXPECT_EQ(database.fieldText(set, 1), kZhangSan);
}

TEST_F(Engine, NullShowsAsEmptyInTextAndZeroInNumberColumns) {
    ASSERT_TRUE(database.open(textString()));
    EXPECT_EQ(column("select * from [pupils.csv] where [" + kXingMing + "] = '" + kLiSi + "'", kBanJi), Texts{""});
    EXPECT_EQ(column("select * from [pupils.csv] where [" + kXingMing + "] = '" + kLiSi + "'", kFenShu), Texts{"0"});
}

TEST_F(Engine, TheProgramsConditionShapes) {
    ASSERT_TRUE(database.open(textString()));
    const std::string from = "select * from [pupils.csv] ";
    // like '%T%' and = 'T' without regard to ASCII case
    EXPECT_EQ(column(from + "where [" + kXingMing + "] like '%b%'", kXingMing), (Texts{"abc", "ABC"}));
    EXPECT_EQ(column(from + "where [" + kXingMing + "] = 'Abc'", kXingMing), (Texts{"abc", "ABC"}));
    EXPECT_EQ(column(from + "where [" + kXingMing + "] like '%" + kZhangSan + "%'", kXueHao), Texts{"123"});
    // doubled quotes inside T
    EXPECT_EQ(column(from + "where [" + kXingMing + "] = 'O''Neil'", kXueHao), Texts{"456"});
    EXPECT_EQ(column(from + "where [" + kXingMing + "] like '%o''n%'", kXueHao), Texts{"456"});
    EXPECT_EQ(column(from + "where [" + kBianHao + "] = '''0123'", kXingMing), Texts{kZhangSan});
    // = T on a numeric column compares numbers
    EXPECT_EQ(column(from + "where [" + kXueHao + "] = 0123", kXingMing), Texts{kZhangSan});
    EXPECT_EQ(column(from + "where [" + kXueHao + "] like '%12%'", kXingMing), (Texts{kZhangSan, kLiSi}));
    // no match
    EXPECT_TRUE(column(from + "where [" + kXingMing + "] = 'nobody'", kXingMing).empty());
}

TEST_F(Engine, DistinctAndBareTableNames) {
    ASSERT_TRUE(database.open(textString()));
    // Values differing only in case are one value, as Jet has them.
    auto names = column("select DISTINCT " + kXingMing + " from [pupils.csv]", kXingMing);
    EXPECT_EQ(names.size(), 4u);
    auto classes = column("select DISTINCT " + kBanJi + " from [pupils.csv]", kBanJi);
    EXPECT_EQ(classes, (Texts{kYiBan, kErBan, ""}));
    EXPECT_EQ(column("SELECT * FROM pupils.csv", kXueHao).size(), 5u);
    EXPECT_EQ(column("select * from PUPILS.CSV where [" + kBanJi + "] = '" + kErBan + "'", kXingMing),
              (Texts{"O'Neil", "ABC"}));
}

TEST_F(Engine, FailuresGiveRecordSetZeroAndNeverThrow) {
    EXPECT_EQ(database.openRecordSet("select * from [pupils.csv]"), 0);  // no connection
    EXPECT_TRUE(database.atEnd(0));
    EXPECT_EQ(database.fieldText(0, 1), "");
    ASSERT_TRUE(database.open(textString()));
    for (const std::string sql :
         {"select * from [pupils.csv] where [nosuch] = 'a'", "select nosuch from [pupils.csv]",
          "garbage", "select * from [missing.csv]",
          "select * from [pupils.csv", "select * from [pupils.csv] where [a] = 'unclosed",
          "select * from [pupils.csv]; drop table t1", "delete from [pupils.csv]",
          "select * from [pupils.csv] where 1 in (select 1 from sqlite_master)", ""}) {
        EXPECT_EQ(database.openRecordSet(sql), 0) << sql;
        EXPECT_FALSE(database.lastError().empty()) << sql;
    }
    // The connection still works.
    EXPECT_EQ(column("select * from [pupils.csv]", kXueHao).size(), 5u);
}

TEST_F(Engine, AFailedOpenKeepsThePreviousConnection) {
    ASSERT_TRUE(database.open(textString()));
    const int set = database.openRecordSet("select * from [pupils.csv]");
    EXPECT_FALSE(database.open("ODBC;DBQ=" + folder.dir() + "nowhere/;Driver={Microsoft Text Driver (*.txt; *.csv)};"));
    EXPECT_FALSE(database.open("ODBC;DBQ=" + folder.file("none.xls") + ";Driver={Microsoft Excel Driver (*.xls)};"));
    EXPECT_FALSE(database.open("ODBC;DBQ=" + folder.file("pupils.csv") + ";Driver={Microsoft Excel Driver (*.xls)};"));
    EXPECT_FALSE(database.open("Driver={No Such Driver};DBQ=/tmp/"));
    EXPECT_TRUE(database.isOpen());
    EXPECT_FALSE(database.atEnd(set));  // the open record set survived too
    EXPECT_EQ(column("select * from [pupils.csv]", kXueHao).size(), 5u);
    database.close();
    EXPECT_FALSE(database.isOpen());
    EXPECT_EQ(database.openRecordSet("select * from [pupils.csv]"), 0);
}

TEST_F(Engine, AnUnchangedFileIsReadOnceAndAChangedOneAgain) {
    auto& cache = db::TableCache::instance();
    const int before = cache.loadCount();
    for (int search = 0; search < 3; ++search) {
        db::ExternalDatabase fresh;  // every search of the programs opens a new connection
        ASSERT_TRUE(fresh.open(textString()));
        EXPECT_NE(fresh.openRecordSet("select * from [pupils.csv] where [" + kXueHao + "] = 12"), 0);
        EXPECT_NE(fresh.openRecordSet("select DISTINCT " + kBanJi + " from pupils.csv"), 0);
    }
    EXPECT_EQ(cache.loadCount(), before + 1);

    ASSERT_TRUE(database.open(textString()));
    const int old = database.openRecordSet("select * from [pupils.csv]");
    folder.write("pupils.csv", "a\r\nnew\r\n");
    folder.touch("pupils.csv", 5);
    db::ExternalDatabase fresh;
    ASSERT_TRUE(fresh.open(textString()));
    const int set = fresh.openRecordSet("select * from [pupils.csv]");
    EXPECT_EQ(cache.loadCount(), before + 2);
    EXPECT_EQ(fresh.fieldText(set, "a"), "new");
    // A record set opened before the change keeps reading the rows it started on.
    database.moveNext(old);
    EXPECT_EQ(database.fieldText(old, kXingMing), "O'Neil");
}

// Regression: a reader running out of memory threw through the cache, left its
// transaction open and so made every later load fail.
TEST_F(Engine, AReaderOutOfMemoryFailsOneLoadAndTheNextWorks) {
    auto& cache = db::TableCache::instance();
    db::FileStamp stamp;
    ASSERT_TRUE(db::fileStamp(folder.file("pupils.csv"), stamp));
    std::string internalName, error;
    const db::TableCache::Loader exhausted = [](db::TableSink& sink, std::string& why) -> bool {
        if (!sink.begin({"a"}, {db::ColumnType::Text}, why)) return false;
        throw std::bad_alloc();
    };
    EXPECT_FALSE(cache.table("exhausted", stamp, exhausted, internalName, error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(database.open(textString()));
    EXPECT_EQ(column("select * from [pupils.csv]", kXueHao).size(), 5u);
}

TEST_F(Engine, DuplicateAndEmptyFieldNamesGetJetStyleNames) {
    folder.write("dup.csv", "a,A,,b\r\n1,2,3,4\r\n");
    ASSERT_TRUE(database.open(textString()));
    const int set = database.openRecordSet("select * from [dup.csv]");
    ASSERT_NE(set, 0) << database.lastError();
    EXPECT_EQ(database.fieldNames(set), (Texts{"a", "F2", "F3", "b"}));
    EXPECT_EQ(database.fieldText(set, "F2"), "2");
}

// Rows go into the cache a batch at a time: every row, in file order, for counts that
// fill no batch, some batches and a remainder, and for the widest table SQLite holds.
TEST_F(Engine, EveryRowIsLoadedInOrderWhateverTheBatching) {
    ASSERT_TRUE(database.open(textString()));
    for (int rows : {1, 15, 16, 17, 37}) {
        std::string csv = "n,t\r\n";
        Texts expected;
        for (int i = 1; i <= rows; ++i) {
            csv += std::to_string(i) + "," + kZhangSan + std::to_string(i) + "\r\n";
            expected.push_back(kZhangSan + std::to_string(i));
        }
        const std::string name = "rows" + std::to_string(rows) + ".csv";
        folder.write(name, csv);
        EXPECT_EQ(column("select * from [" + name + "]", "t"), expected) << rows;
    }
    std::string header, row;
    for (int c = 1; c <= 2000; ++c) {  // SQLite's most columns
        header += (c > 1 ? ",c" : "c") + std::to_string(c);
        row += (c > 1 ? "," : "") + std::to_string(c);
    }
    folder.write("wide.csv", header + "\r\n" + row + "\r\n" + row + "\r\n");
    EXPECT_EQ(column("select * from [wide.csv]", "c2000"), (Texts{"2000", "2000"}));
}

}  // namespace
