// The dBASE reader on the made fixtures (data/dbf, from make_dbf_fixtures.py), on
// damaged copies of them, and on real files of the shared corpus.
#include <gtest/gtest.h>

#include "reader_test_support.h"

namespace {

using namespace readers_test;
using db::ColumnType;

db::LoadedTable readOk(const std::string& path) {
    db::LoadedTable table;
    std::string error;
    EXPECT_TRUE(db::readDbfTable(path, table, error)) << codepage::gbkToUtf8(error);
    expectRectangular(table);
    return table;
}

TEST(DbfReader, FieldsInFileOrderWithTheirTypes) {
    const auto t = readOk(fixture("dbf", "学生.dbf"));
    const std::vector<std::string> names = {gbkOf("姓名"), gbkOf("学号"), gbkOf("分数"),
                                            gbkOf("生日"), gbkOf("在校"), gbkOf("备注"),
                                            gbkOf("系数")};
    EXPECT_EQ(t.names, names);
    const std::vector<ColumnType> types = {
        ColumnType::Text,    ColumnType::Integer, ColumnType::Float, ColumnType::DateTime,
        ColumnType::Boolean, ColumnType::Text,    ColumnType::Float};
    EXPECT_EQ(t.types, types);
}

TEST(DbfReader, ValuesBlanksAsNullAndDeletedRecordsSkipped) {
    const auto t = readOk(fixture("dbf", "学生.dbf"));
    ASSERT_EQ(t.rows.size(), 4u);  // the deleted fifth record of the file is not here
    // Raw GBK bytes, characters outside GB2312 included.
    EXPECT_EQ(text(cell(t, 0, gbkOf("姓名"))), kZhuRongji);
    EXPECT_EQ(text(cell(t, 1, gbkOf("姓名"))), kWangKun);
    EXPECT_EQ(text(cell(t, 2, gbkOf("姓名"))), kZhangZhe);
    EXPECT_EQ(std::get<int64_t>(cell(t, 0, gbkOf("学号"))), 1001);
    EXPECT_DOUBLE_EQ(number(cell(t, 0, gbkOf("分数"))), 95.5);
    EXPECT_TRUE(isDate(cell(t, 0, gbkOf("生日")), date(1928, 10, 1)));
    EXPECT_EQ(std::get<bool>(cell(t, 0, gbkOf("在校"))), true);
    // Leading blanks of a character field are kept, trailing ones dropped.
    EXPECT_EQ(text(cell(t, 0, gbkOf("备注"))), gbkOf("  前导空格保留"));
    EXPECT_DOUBLE_EQ(number(cell(t, 0, gbkOf("系数"))), 1.2345);

    // Blank number, date and character fields are NULL; F is false.
    EXPECT_TRUE(isNull(cell(t, 1, gbkOf("分数"))));
    EXPECT_TRUE(isNull(cell(t, 1, gbkOf("生日"))));
    EXPECT_TRUE(isNull(cell(t, 1, gbkOf("备注"))));
    EXPECT_TRUE(isNull(cell(t, 1, gbkOf("系数"))));
    EXPECT_EQ(std::get<bool>(cell(t, 1, gbkOf("在校"))), false);

    EXPECT_TRUE(isNull(cell(t, 2, gbkOf("学号"))));
    EXPECT_TRUE(isDate(cell(t, 2, gbkOf("生日")), date(2100, 3, 1)));
    EXPECT_TRUE(isNull(cell(t, 2, gbkOf("在校"))));  // "?" is unknown
    EXPECT_DOUBLE_EQ(number(cell(t, 2, gbkOf("系数"))), -0.5);

    // An all-blank name, "*****" (overflow), 1999-02-31 and "1e3".
    EXPECT_TRUE(isNull(cell(t, 3, gbkOf("姓名"))));
    EXPECT_EQ(std::get<int64_t>(cell(t, 3, gbkOf("学号"))), -7);
    EXPECT_TRUE(isNull(cell(t, 3, gbkOf("分数"))));
    EXPECT_TRUE(isNull(cell(t, 3, gbkOf("生日"))));
    EXPECT_EQ(std::get<bool>(cell(t, 3, gbkOf("在校"))), true);  // "y"
    EXPECT_DOUBLE_EQ(number(cell(t, 3, gbkOf("系数"))), 1000);
}

TEST(DbfReader, TableWrittenByPythonDbf) {
    const auto t = readOk(fixture("dbf", "plain.dbf"));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(text(cell(t, 0, "NAME")), gbkOf("王五"));
    EXPECT_TRUE(isDate(cell(t, 0, "BIRTH"), date(1990, 5, 4)));
    for (const auto& v : t.rows[1]) EXPECT_TRUE(isNull(v));
}

TEST(DbfReader, MemosFromDbaseIiiAndFoxProFiles) {
    const auto iii = readOk(fixture("dbf", "memo3.dbf"));
    ASSERT_EQ(iii.rows.size(), 3u);
    EXPECT_EQ(text(cell(iii, 0, gbkOf("说明"))), gbkOf("第一条备注，含镕字\r\n第二行"));
    EXPECT_TRUE(isNull(cell(iii, 1, gbkOf("说明"))));  // no block
    EXPECT_EQ(text(cell(iii, 2, gbkOf("说明"))), "second memo");

    // FoxPro: the memo file's extension is upper case; _NullFlags is not a field.
    const auto fox = readOk(fixture("dbf", "fox.dbf"));
    EXPECT_EQ(fox.names, (std::vector<std::string>{"ID", "RATE", "PRICE", "STAMP", "NOTE"}));
    ASSERT_EQ(fox.rows.size(), 2u);
    EXPECT_EQ(std::get<int64_t>(cell(fox, 0, "ID")), 7);
    EXPECT_EQ(std::get<int64_t>(cell(fox, 1, "ID")), -42);
    EXPECT_DOUBLE_EQ(number(cell(fox, 0, "RATE")), 2.5);
    EXPECT_DOUBLE_EQ(number(cell(fox, 0, "PRICE")), 12.345);
    EXPECT_TRUE(isDate(cell(fox, 0, "STAMP"), date(2024, 2, 29, 13, 45, 30)));
    EXPECT_TRUE(isNull(cell(fox, 1, "STAMP")));
    EXPECT_EQ(text(cell(fox, 0, "NOTE")), gbkOf("狐狸备注"));
    EXPECT_TRUE(isNull(cell(fox, 1, "NOTE")));
}

// A memo file that is missing, empty, or whose memo runs past its end is damage: the
// table fails, naming the file and what is wrong, rather than showing empty memos, the
// rest of the memo file or its padding.
TEST(DbfReader, MissingOrDamagedMemoFileFailsTheTable) {
    auto fails = [](const std::string& path, const std::string& why) {
        db::LoadedTable t;
        std::string error;
        EXPECT_FALSE(db::readDbfTable(path, t, error)) << why;
        EXPECT_TRUE(t.rows.empty());
        EXPECT_NE(error.find(path), std::string::npos) << codepage::gbkToUtf8(error);
        EXPECT_NE(error.find(gbkOf(why.c_str())), std::string::npos) << codepage::gbkToUtf8(error);
    };
    Scratch scratch;
    const std::string fox = readAll(fixture("dbf", "fox.dbf")), fpt = readAll(fixture("dbf", "fox.FPT"));
    const auto table = scratch.write("fox.dbf", fox);
    fails(table, "找不到它的备注文件");
    scratch.write("fox.fpt", "");
    fails(table, "是空的");

    std::string huge = fpt;
    huge.replace(512 + 4, 4, "\x7F\xFF\xFF\xFF");  // the length of the memo at block 8
    scratch.write("fox.fpt", huge);
    fails(table, "超出了备注文件");

    const std::string memo3 = readAll(fixture("dbf", "memo3.dbf"));
    const std::string dbt = readAll(fixture("dbf", "memo3.dbt"));
    const auto path = scratch.write("memo3.dbf", memo3);
    scratch.write("memo3.dbt", dbt.substr(0, 512));  // the header block only
    fails(path, "超出了备注文件");
}

// Regression: a zeroed dBASE III memo file gave each record the rest of the file as a
// memo of NUL bytes (megabytes per record on a large damaged file).
TEST(DbfReader, ZeroedMemoFileGivesNullMemos) {
    Scratch scratch;
    const auto path = scratch.write("memo3.dbf", readAll(fixture("dbf", "memo3.dbf")));
    scratch.write("memo3.dbt", std::string(512 * 64, '\0'));
    const auto t = readOk(path);
    ASSERT_EQ(t.rows.size(), 3u);
    for (size_t row = 0; row < 3; ++row) EXPECT_TRUE(isNull(cell(t, row, gbkOf("说明")))) << row;
}

TEST(DbfReader, MarkedCodePagesAreConvertedToGbk) {
    const auto cyrillic = readOk(fixture("dbf", "cp1251.dbf"));
    EXPECT_EQ(cyrillic.names, std::vector<std::string>{gbkOf("ИМЯ")});
    EXPECT_EQ(text(cyrillic.rows.at(0).at(0)), gbkOf("Привет"));

    const auto utf8 = readOk(fixture("dbf", "utf8.dbf"));  // by utf8.cpg
    EXPECT_EQ(utf8.names, std::vector<std::string>{gbkOf("名字")});
    EXPECT_EQ(text(utf8.rows.at(0).at(0)), kZhuRongji);
}

TEST(DbfReader, DuplicateNamesMadeDistinctWithoutRegardToCase) {
    const auto t = readOk(fixture("dbf", "dups.dbf"));
    // NAME1 is taken by the file itself, so the case-twin "name" becomes name2.
    EXPECT_EQ(t.names, (std::vector<std::string>{"NAME", "name2", "NAME1", "NAME3"}));
    EXPECT_EQ(text(cell(t, 0, "NAME3")), "d");
}

TEST(DbfReader, ExtensionInAnyLetterCase) {
    Scratch scratch;
    const auto path = scratch.write("表.Dbf", readAll(fixture("dbf", "学生.dbf")));
    EXPECT_EQ(readOk(path).rows.size(), 4u);
}

TEST(DbfReader, MissingAndWrongKindFilesFailWithAMessage) {
    Scratch scratch;
    db::LoadedTable t;
    std::string error;
    EXPECT_FALSE(db::readDbfTable(fixture("dbf", "nothing.dbf"), t, error));
    EXPECT_FALSE(error.empty());
    for (const auto& bytes : {readAll(fixture("xls", "students.xls")),
                              std::string("id,name\r\n1,abc\r\n"), std::string()}) {
        error.clear();
        EXPECT_FALSE(db::readDbfTable(scratch.write("x.dbf", bytes), t, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(t.names.empty() && t.rows.empty());
    }
}

TEST(DbfReader, TruncatedFileFailsButAMissingEndMarkIsFine) {
    Scratch scratch;
    const std::string good = readAll(fixture("dbf", "学生.dbf"));
    ASSERT_EQ(good.back(), '\x1A');
    db::LoadedTable t;
    std::string error;
    EXPECT_TRUE(
        db::readDbfTable(scratch.write("a.dbf", good.substr(0, good.size() - 1)), t, error));
    EXPECT_EQ(t.rows.size(), 4u);
    for (size_t cut : {good.size() - 2, good.size() - 60, size_t{300}, size_t{33}}) {
        error.clear();
        EXPECT_FALSE(db::readDbfTable(scratch.write("a.dbf", good.substr(0, cut)), t, error))
            << cut;
        EXPECT_FALSE(error.empty());
    }
}

TEST(DbfReader, DamagedCopiesNeverCrash) {
    for (const char* name : {"学生.dbf", "fox.dbf", "memo3.dbf"})
        readDamagedCopies(readAll(fixture("dbf", name)), "t.dbf", db::readDbfTable, 300);
}

// A header that disagrees with itself once read as a table with every field taken from
// its neighbours' bytes (or, in Visual FoxPro, the first record from the header): each
// must fail naming the file and the damage. plain.dbf: 4 fields (C 10, D 8, N 5, L 1)
// in a 25-byte record; fox.dbf: a Visual FoxPro table.
TEST(DbfReader, HeadersThatDisagreeWithThemselvesFailTheTable) {
    struct Case {
        const char* what;
        const char* file;
        size_t at;
        std::string bytes;
        const char* says;
    };
    const Case cases[] = {
        {"a field of width 0", "plain.dbf", 32 + 16, std::string(1, '\0'), "宽度为 0"},
        {"widths one short of the record", "plain.dbf", 32 + 16, "\x09", "字段宽度之和"},
        {"widths one over the record", "plain.dbf", 10, "\x18", "字段宽度之和"},
        {"an unknown field type", "plain.dbf", 32 + 11, "X", "字段类型"},
        {"a header shorter than its backlink", "fox.dbf", 8, "\xC8\x01", "文件头长度"},  // 488 - 32
    };
    Scratch scratch;
    for (const Case& c : cases) {
        std::string copy = readAll(fixture("dbf", c.file));
        copy.replace(c.at, c.bytes.size(), c.bytes);
        const std::string path = scratch.write("damaged.dbf", copy);
        db::LoadedTable t;
        std::string error;
        EXPECT_FALSE(db::readDbfTable(path, t, error)) << c.what;
        for (const std::string& part : {path, gbkOf(c.says)})
            EXPECT_NE(error.find(part), std::string::npos) << c.what << ": " << codepage::gbkToUtf8(error);
    }
}

// --- real files of the shared corpus (facts from its MANIFEST.md) ---------------------

TEST(DbfCorpus, GbkForestryRecords) {
    REQUIRE_CORPUS(path, "dbf", "javadbf__gbk.dbf");
    const auto t = readOk(path);
    EXPECT_EQ(t.names,
              (std::vector<std::string>{gbkOf("设计编号"), gbkOf("审核信息"), gbkOf("是否打印")}));
    ASSERT_EQ(t.rows.size(), 28u);
    EXPECT_EQ(text(t.rows[0][0]), gbkOf("201500256-059K-001-001牡丹江林口朝阳"));
    EXPECT_EQ(text(t.rows[0][1]).rfind(gbkOf(">经营区：商品林；起源：天然林；采伐类型：抚育伐"), 0),
              0u);
    for (const auto& row : t.rows) {
        const std::string id = text(row[0]);
        const std::string tail = gbkOf("牡丹江林口朝阳");
        EXPECT_EQ(id.substr(id.size() - tail.size()), tail);
        EXPECT_TRUE(isNull(row[2]));  // the logical field holds a blank
    }
}

TEST(DbfCorpus, ChineseLanguageDriversAndUnmarkedGbk) {
    REQUIRE_CORPUS(cp936, "dbf", "dbasers__cp936.dbf");
    EXPECT_EQ(text(readOk(cp936).rows.at(0).at(0)), gbkOf("测试中文"));
    REQUIRE_CORPUS(unmarked, "dbf", "mapshaper__gbk.dbf");
    EXPECT_EQ(text(readOk(unmarked).rows.at(0).at(0)), gbkOf("简体国语"));
    REQUIRE_CORPUS(exact, "dbf", "mapshaper__ldid_chinese.dbf");
    EXPECT_EQ(text(readOk(exact).rows.at(0).at(0)), gbkOf("简体"));
}

TEST(DbfCorpus, DeletedRecordAndFoxProMemo) {
    REQUIRE_CORPUS(people, "dbf", "dbfread__people.dbf");
    const auto p = readOk(people);
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_EQ(text(p.rows[0][0]), "Alice");
    EXPECT_TRUE(isDate(p.rows[0][1], date(1987, 3, 1)));
    EXPECT_TRUE(isDate(p.rows[1][1], date(1980, 11, 12)));

    REQUIRE_CORPUS(memo, "dbf", "dbfread__memotest.dbf");
    const auto m = readOk(memo);
    ASSERT_EQ(m.rows.size(), 2u);
    EXPECT_EQ(text(cell(m, 0, "MEMO")), "Alice memo");
    EXPECT_EQ(text(cell(m, 1, "MEMO")), "Bob memo");
}

TEST(DbfCorpus, DbaseIvMemosAndTypes) {
    REQUIRE_CORPUS(path, "dbf", "javadbf__dbase_8b.dbf");
    const auto t = readOk(path);
    ASSERT_EQ(t.rows.size(), 10u);
    EXPECT_EQ(text(cell(t, 0, "CHARACTER")), "One");
    EXPECT_DOUBLE_EQ(number(cell(t, 0, "NUMERICAL")), 1.0);
    EXPECT_TRUE(isDate(cell(t, 0, "DATE"), date(1970, 1, 1)));
    EXPECT_TRUE(isDate(cell(t, 1, "DATE"), date(1970, 12, 31)));
    EXPECT_EQ(std::get<bool>(cell(t, 0, "LOGICAL")), true);
    EXPECT_EQ(text(cell(t, 0, "MEMO")), "First memo\r\n");
    EXPECT_EQ(text(cell(t, 1, "MEMO")).rfind("Second memo", 0), 0u);
}

TEST(DbfCorpus, DuplicateFieldNameAndCyrillicCodePage) {
    REQUIRE_CORPUS(dup, "dbf", "javadbf__dbase_03.dbf");
    const auto d = readOk(dup);
    ASSERT_EQ(d.names.size(), 31u);
    ASSERT_EQ(d.rows.size(), 14u);
    EXPECT_EQ(d.names.front(), "Point_ID");
    EXPECT_EQ(d.names.back(), "Point_ID1");
    EXPECT_EQ(text(cell(d, 0, "Point_ID")), "0507121");
    EXPECT_EQ(text(cell(d, 0, "Shape")), "circular");
    EXPECT_DOUBLE_EQ(number(cell(d, 0, "Point_ID1")), 401);

    REQUIRE_CORPUS(cyr, "dbf", "javadbf__cp1251.dbf");
    const auto c = readOk(cyr);
    EXPECT_EQ(text(cell(c, 0, "NAME")), gbkOf("амбулаторно-поликлиническое"));
    EXPECT_EQ(text(cell(c, 1, "NAME")), gbkOf("больничное"));
}

}  // namespace
