// The .xls reader on the made workbook (data/xls, from make_xls_fixtures.py), on
// damaged copies of it, and on real workbooks of the shared corpus.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/child_process.h"
#include "reader_test_support.h"

namespace {

using namespace readers_test;
using db::ColumnType;

db::LoadedTable readSheet(const std::string& path, const std::string& sheet) {
    return readSheetWith(db::readXlsSheet, path, sheet);
}

std::vector<std::string> sheets(const std::string& path) { return sheetsWith(db::listXlsSheets, path); }

TEST(XlsReader, SheetsInWorkbookOrder) {
    EXPECT_EQ(sheets(fixture("xls", "students.xls")),
              (std::vector<std::string>{gbkOf("学生名单"), "my sheet", gbkOf("空表")}));
}

TEST(XlsReader, HeaderRowNamesTheFields) {
    const auto t = readSheet(fixture("xls", "students.xls"), gbkOf("学生名单"));
    // The empty third header cell is named after its column, as the Excel driver does.
    EXPECT_EQ(t.names, (std::vector<std::string>{gbkOf("姓名"), gbkOf("学号"), "F3", gbkOf("生日"),
                                                 gbkOf("分数"), gbkOf("备注"), gbkOf("在校"),
                                                 gbkOf("时刻")}));
    EXPECT_EQ(t.types,
              (std::vector<ColumnType>{ColumnType::Text, ColumnType::Float, ColumnType::Text,
                                       ColumnType::DateTime, ColumnType::Float, ColumnType::Text,
                                       ColumnType::Boolean, ColumnType::DateTime}));
}

TEST(XlsReader, TypedCellsNullsAndRows) {
    const auto t = readSheet(fixture("xls", "students.xls"), gbkOf("学生名单"));
    // Seven data rows: the empty row inside stays, the formatted empty rows after go.
    ASSERT_EQ(t.rows.size(), 7u);
    EXPECT_EQ(text(cell(t, 0, gbkOf("姓名"))), kZhuRongji);
    EXPECT_EQ(text(cell(t, 1, gbkOf("姓名"))), kWangKun);
    EXPECT_EQ(text(cell(t, 1, gbkOf("备注"))), gbkOf("张喆的同学"));
    EXPECT_TRUE(isNull(cell(t, 2, gbkOf("姓名"))));
    EXPECT_TRUE(isNull(cell(t, 0, gbkOf("备注"))));
    EXPECT_EQ(text(cell(t, 2, gbkOf("备注"))), gbkOf("尾部空格  "));
    EXPECT_DOUBLE_EQ(number(cell(t, 0, gbkOf("学号"))), 1001);
    EXPECT_DOUBLE_EQ(number(cell(t, 0, gbkOf("分数"))), 95.5);
    EXPECT_EQ(cell(t, 0, gbkOf("在校")), db::Value(true));
    EXPECT_EQ(cell(t, 1, gbkOf("在校")), db::Value(false));
    for (const auto& v : t.rows[4]) EXPECT_TRUE(isNull(v));
    // A number and a date in a text column become the texts the record window shows.
    EXPECT_EQ(text(cell(t, 3, gbkOf("备注"))), "123");
    EXPECT_EQ(text(cell(t, 5, gbkOf("备注"))), gbkOf("2001年2月3日"));
}

TEST(XlsReader, DatesOnBothSidesOf1900And2100) {
    const auto t = readSheet(fixture("xls", "students.xls"), gbkOf("学生名单"));
    const std::string born = gbkOf("生日");
    EXPECT_TRUE(isDate(cell(t, 0, born), date(1928, 10, 1)));
    // A calendar that makes 2100 a leap year would say 2100-02-29 and 2150-06-14 here.
    EXPECT_TRUE(isDate(cell(t, 1, born), date(2100, 3, 1)));
    EXPECT_TRUE(isDate(cell(t, 2, born), date(2150, 6, 15, 12, 30, 45)));
    EXPECT_TRUE(isDate(cell(t, 6, born), date(9999, 12, 31)));
    // Before Excel's phantom 1900-02-29 and just after it.
    EXPECT_TRUE(isDate(cell(t, 3, born), date(1900, 1, 5)));
    EXPECT_TRUE(isDate(cell(t, 5, born), date(1900, 3, 1)));
    // A time of day alone is that time on the date zero.
    EXPECT_TRUE(isDate(cell(t, 0, gbkOf("时刻")), date(1899, 12, 30, 8, 30, 0)));
}

TEST(XlsReader, DuplicateHeadersAndEmptySheet) {
    const std::string path = fixture("xls", "students.xls");
    const auto spaced = readSheet(path, "my sheet");
    EXPECT_EQ(spaced.names,
              (std::vector<std::string>{gbkOf("名称"), gbkOf("名称1"), "NAME", "name1"}));
    ASSERT_EQ(spaced.rows.size(), 1u);
    EXPECT_EQ(text(spaced.rows[0][3]), "d");
    const auto empty = readSheet(path, gbkOf("空表"));
    EXPECT_EQ(empty.names, std::vector<std::string>{"F1"});
    EXPECT_TRUE(empty.rows.empty());
}

TEST(XlsReader, UnknownSheetMissingAndWrongKindFilesFail) {
    db::LoadedTable t;
    std::string error;
    EXPECT_FALSE(db::readXlsSheet(fixture("xls", "students.xls"), "Sheet9", t, error));
    EXPECT_FALSE(error.empty());
    std::vector<std::string> names;
    error.clear();
    EXPECT_FALSE(db::listXlsSheets(fixture("xls", "none.xls"), names, error));
    EXPECT_FALSE(error.empty());

    Scratch scratch;
    const std::string xlsx = scratch.write("book.xls", readAll(fixture("xlsx", "students.xlsx")));
    error.clear();
    EXPECT_FALSE(db::listXlsSheets(xlsx, names, error));
    EXPECT_NE(error.find(".xlsx"), std::string::npos);  // says what the file is instead
    for (const auto& bytes :
         {readAll(fixture("dbf", "plain.dbf")), std::string("a,b\r\n1,2\r\n")}) {
        error.clear();
        EXPECT_FALSE(db::readXlsSheet(scratch.write("book.xls", bytes), "Sheet1", t, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(XlsReader, DamagedCopiesNeverCrash) {
    auto read = [](const std::string& path, db::LoadedTable& table, std::string& error) {
        std::vector<std::string> names;
        if (!db::listXlsSheets(path, names, error)) return false;
        return names.empty() || db::readXlsSheet(path, names.front(), table, error);
    };
    readDamagedCopies(readAll(fixture("xls", "students.xls")), "t.xls", read, 400);
    readDamagedCopies(readAll(fixture("xls", "formats.xls")), "t.xls", read, 400);
}

// A cut file either fails with a message or, cut only in unused space, reads whole: it
// never reads as a shorter or empty sheet.
TEST(XlsReader, TruncatedCopiesFailOrReadWhole) {
    const std::string good = readAll(fixture("xls", "students.xls"));
    const auto whole = readSheet(fixture("xls", "students.xls"), gbkOf("学生名单"));
    Scratch scratch;
    for (size_t cut = 0; cut < good.size(); cut += 61) {
        const std::string path = scratch.write("cut.xls", good.substr(0, cut));
        db::LoadedTable t;
        std::string error;
        if (db::readXlsSheet(path, gbkOf("学生名单"), t, error)) {
            EXPECT_EQ(t.rows, whole.rows) << "cut at " << cut;
        } else {
            EXPECT_FALSE(error.empty()) << "cut at " << cut;
        }
    }
}

// Bytes at the places that hold lengths, counts and indexes, set to huge values: each
// must fail its load with a message, never give empty cells.
TEST(XlsReader, HugeLengthsAndBadIndexesFailTheLoad) {
    const std::string good = readAll(fixture("xls", "students.xls"));
    auto damage = [&](size_t at, const std::string& bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    // The workbook stream starts at sector 0 (offset 512) in xlwt's files.
    auto record = [&](const std::string& head) {
        const size_t at = good.find(head, 512);
        EXPECT_NE(at, std::string::npos);
        return at;
    };
    const std::string ff4 = "\xFF\xFF\xFF\xFF";
    const std::vector<std::pair<std::string, std::string>> copies = {
        {"FAT sector count", damage(0x2C, ff4)},
        {"first directory sector", damage(0x30, ff4)},
        {"first FAT sector", damage(0x4C, ff4)},
        {"sector size", damage(0x1E, std::string("\x10\x00", 2))},
        {"SST record length", damage(record(std::string("\xFC\x00", 2)) + 2, "\xFF\xFF")},
        {"SST string length", damage(record(std::string("\xFC\x00", 2)) + 12, "\xFF\xFF")},
        {"LABELSST index", damage(record(std::string("\xFD\x00\x0A\x00", 4)) + 10, ff4)},
        {"cell format index", damage(record(std::string("\xFD\x00\x0A\x00", 4)) + 8, "\xFF\xFF")},
        {"sheet position", damage(record(std::string("\x85\x00", 2)) + 4, "\xFF\xFF\xFF\x00")},
        {"sheet position at the globals", damage(record(std::string("\x85\x00", 2)) + 4, std::string(4, '\0'))},
    };
    Scratch scratch;
    for (const auto& [what, bytes] : copies) {
        const std::string path = scratch.write("bad.xls", bytes);
        db::LoadedTable t;
        std::string error;
        EXPECT_FALSE(db::readXlsSheet(path, gbkOf("学生名单"), t, error)) << what;
        EXPECT_NE(error.find(gbkOf("无法读取")), std::string::npos) << what << ": " << codepage::gbkToUtf8(error);
    }
}

// Not "not an Excel workbook" for a file that is one but cannot be opened.
TEST(XlsReader, UnreadableFileSaysWhy) {
    Scratch scratch;
    const std::string loop = scratch.write("loop.xls", "");
    std::filesystem::remove(codepage::toLocalPath(loop));
    std::filesystem::create_symlink(codepage::toLocalPath(loop), codepage::toLocalPath(loop));
    std::vector<std::string> names;
    std::string error;
    EXPECT_FALSE(db::listXlsSheets(loop, names, error));
    EXPECT_EQ(error.find(gbkOf("不是")), std::string::npos) << codepage::gbkToUtf8(error);
}

TEST(XlsReader, NoReadPermissionSaysSo) {
    Scratch scratch;
    const std::string path = scratch.write("book.xls", readAll(fixture("xls", "students.xls")));
    ::chmod(codepage::toLocalPath(path).c_str(), 0);
    // The folder itself stays open to everyone: only the file is closed.
    const std::string local = codepage::toLocalPath(path);
    ::chmod(local.substr(0, local.rfind('/')).c_str(), 0755);
    const std::string outcome = runAsOrdinaryUser([&]() -> std::string {
        std::vector<std::string> names;
        std::string error;
        return db::listXlsSheets(path, names, error) ? "listed" : "failed: " + error;
    });
    ASSERT_FALSE(outcome.empty()) << "could not become an ordinary user";
    EXPECT_NE(outcome.find("failed: "), std::string::npos);
    EXPECT_NE(outcome.find(gbkOf("权限")), std::string::npos) << codepage::gbkToUtf8(outcome);
}

TEST(XlsReader, DatesInEveryBuiltInAndCustomDateFormatKeepDayAndTime) {
    const auto t = readSheet(fixture("xls", "formats.xls"), gbkOf("日期"));
    ASSERT_EQ(t.rows.size(), 36u);  // 31 built-in formats, 5 custom ones
    EXPECT_EQ(t.types[1], ColumnType::DateTime);
    for (size_t r = 0; r < t.rows.size(); ++r)
        EXPECT_TRUE(isDate(t.rows[r][1], date(2023, 4, 5, 6, 7, 8)))
            << "format " << codepage::gbkToUtf8(text(t.rows[r][0]));
    // Formats with quoted or escaped letters, exponents and colours are numbers.
    const auto numbers = readSheet(fixture("xls", "formats.xls"), gbkOf("数字"));
    EXPECT_EQ(numbers.types[1], ColumnType::Float);
    for (const auto& row : numbers.rows) EXPECT_DOUBLE_EQ(number(row[1]), 45021.25);
}

TEST(XlsReader, NamedRangesAreListedAndReadAsTables) {
    const std::string path = fixture("xls", "formats.xls");
    // Very hidden sheets are listed too.
    EXPECT_EQ(sheets(path), (std::vector<std::string>{gbkOf("日期"), gbkOf("数字"), gbkOf("名单"), gbkOf("公式"),
                                                     gbkOf("隐藏")}));
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(db::listXlsNamedRanges(path, names, error)) << codepage::gbkToUtf8(error);
    EXPECT_EQ(names, (std::vector<std::string>{gbkOf("班级表"), gbkOf("名单$Print_Area")}));

    db::LoadedTable range;
    ASSERT_TRUE(db::readXlsRange(path, gbkOf("班级表"), range, error)) << codepage::gbkToUtf8(error);
    EXPECT_EQ(range.names, (std::vector<std::string>{gbkOf("姓名"), gbkOf("班级")}));
    ASSERT_EQ(range.rows.size(), 3u);
    EXPECT_EQ(text(range.rows[0][0]), gbkOf("张三"));
    EXPECT_EQ(text(range.rows[1][1]), gbkOf("二班"));
    EXPECT_TRUE(isNull(range.rows[2][1]));
    ASSERT_TRUE(db::readXlsRange(path, gbkOf("名单$Print_Area"), range, error));
    EXPECT_EQ(range.names.front(), gbkOf("这一行不在区域内"));
    EXPECT_FALSE(db::readXlsRange(path, "nosuch", range, error));
}

// The example data lookup opens on a fresh install (examples/make_examples.py).
TEST(XlsReader, TheExampleWorkbook) {
    const std::string path = gbkOf(LOOKUP_SOURCE_DIR "/examples/data/例子.xls");
    EXPECT_EQ(sheets(path), std::vector<std::string>{"Sheet1"});
    const auto t = readSheet(path, "Sheet1");
    EXPECT_EQ(t.names, (std::vector<std::string>{gbkOf("序号"), gbkOf("姓名"), gbkOf("班级"), gbkOf("性别"),
                                                 gbkOf("出生日期")}));
    EXPECT_EQ(t.types, (std::vector<ColumnType>{ColumnType::Text, ColumnType::Text, ColumnType::Text,
                                                ColumnType::Text, ColumnType::DateTime}));
    ASSERT_EQ(t.rows.size(), 200u);
    EXPECT_EQ(text(t.rows[0][0]), "0001");
    EXPECT_EQ(text(t.rows[41][1]), "Liam O'Neil");
    EXPECT_EQ(text(t.rows[0][2]), gbkOf("一班"));
    EXPECT_EQ(text(t.rows[199][2]), gbkOf("四班"));
    for (const auto& row : t.rows) {
        const auto* born = std::get_if<gbk::DateTime>(&row[4]);
        ASSERT_NE(born, nullptr);
        EXPECT_TRUE((born->year == 2011 && born->month >= 9) || (born->year == 2012 && born->month <= 8));
        EXPECT_EQ(born->hour + born->minute + born->second, 0);
    }
}

// --- real workbooks of the shared corpus (facts from its MANIFEST.md) -------------------

TEST(XlsCorpus, ChineseSheetsBlankRowsAndTimes) {
    REQUIRE_CORPUS(path, "xls", "hutool__aaa.xls");
    EXPECT_EQ(sheets(path), (std::vector<std::string>{"Sheet1", gbkOf("校园入学"), "Sheet3"}));
    const auto s1 = readSheet(path, "Sheet1");
    EXPECT_EQ(s1.names, (std::vector<std::string>{gbkOf("姓名"), gbkOf("性别"), gbkOf("年龄"),
                                                  gbkOf("分数")}));
    ASSERT_EQ(s1.rows.size(), 5u);
    EXPECT_EQ(text(s1.rows[0][0]), gbkOf("张三"));
    EXPECT_DOUBLE_EQ(number(s1.rows[1][3]), 44.66);
    EXPECT_TRUE(isNull(s1.rows[3][1]));  // the fully blank row
    EXPECT_EQ(text(s1.rows[4][0]), gbkOf("王五"));
    EXPECT_DOUBLE_EQ(number(s1.rows[4][3]), 556);

    const auto school = readSheet(path, gbkOf("校园入学"));
    ASSERT_EQ(school.rows.size(), 7u);
    EXPECT_DOUBLE_EQ(number(cell(school, 0, gbkOf("班级"))), 123);
    EXPECT_TRUE(isDate(cell(school, 0, gbkOf("入学时间")), date(2017, 3, 2)));
    EXPECT_TRUE(isDate(cell(school, 0, gbkOf("更新时间")), date(1899, 12, 30, 12, 32, 12)));
    EXPECT_EQ(text(cell(school, 6, gbkOf("学校"))), gbkOf("第二小学"));
    EXPECT_TRUE(isDate(cell(school, 6, gbkOf("入学时间")), date(2017, 8, 3)));
    EXPECT_TRUE(readSheet(path, "Sheet3").rows.empty());
}

TEST(XlsCorpus, HiddenSheetIsListedToo) {
    REQUIRE_CORPUS(path, "xls", "hutool__readBySax.xls");
    EXPECT_EQ(sheets(path), (std::vector<std::string>{"sheet", "systemCodeDataSheet"}));
    const auto t = readSheet(path, "sheet");
    EXPECT_EQ(t.names.front(), gbkOf("*设备设施名称"));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(text(t.rows[0][0]), gbkOf("啤酒盖"));
    EXPECT_DOUBLE_EQ(number(t.rows[1][2]), 111);
}

TEST(XlsCorpus, ManySheetsAndEmptyOnes) {
    REQUIRE_CORPUS(many, "xls", "easyexcel__multiplesheets.xls");
    ASSERT_EQ(sheets(many).size(), 6u);
    const auto six = readSheet(many, "Sheet6");
    EXPECT_EQ(six.names, std::vector<std::string>{gbkOf("表6头")});
    EXPECT_EQ(text(six.rows.at(0).at(0)), gbkOf("表6数据"));

    REQUIRE_CORPUS(empties, "xls", "libxls__empty-sheets.xls");
    EXPECT_EQ(readSheet(empties, "empty").names, std::vector<std::string>{"F1"});
    const auto header = readSheet(empties, "header_only");
    EXPECT_EQ(header.names, (std::vector<std::string>{"var1", "var2"}));
    EXPECT_TRUE(header.rows.empty());
}

TEST(XlsCorpus, WpsWorkbookAndAMergedInstructionRow) {
    // WPS Office: hyperlinks, a comment and a merged range hold plain cell texts; the
    // merged block's empty last row is not a row of the table.
    REQUIRE_CORPUS(wps, "xls", "easyexcel__extra.xls");
    const auto extra = readSheet(wps, "Sheet1");
    EXPECT_EQ(extra.names, (std::vector<std::string>{gbkOf("第一列"), gbkOf("第二列")}));
    ASSERT_EQ(extra.rows.size(), 5u);
    EXPECT_EQ(text(extra.rows[0][0]), gbkOf("普通超链接"));
    EXPECT_EQ(text(extra.rows[3][0]), gbkOf("批注"));
    EXPECT_EQ(text(extra.rows[4][0]), gbkOf("合并单元格"));

    // Row 1 is a merged block of instructions, so its text names the first field.
    REQUIRE_CORPUS(mac, "xls", "easyexcel__t01.xls");
    const auto t01 = readSheet(mac, gbkOf("产品数据"));
    ASSERT_EQ(t01.names.size(), 18u);
    ASSERT_EQ(t01.rows.size(), 2u);
    EXPECT_EQ(text(t01.rows[1][0]), "Q235(" + gbkOf("碳钢") + ")");
    EXPECT_NE(std::find(t01.rows[1].begin(), t01.rows[1].end(), db::Value(gbkOf("通润春（TRC）"))),
              t01.rows[1].end());
}

TEST(XlsCorpus, UnnamedAndDuplicatedColumns) {
    REQUIRE_CORPUS(path, "xls", "libxls__unnamed-duplicated-columns.xls");
    const auto t = readSheet(path, "Sheet1");
    EXPECT_EQ(t.names, (std::vector<std::string>{"F1", "var2", "F3", "var21"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_DOUBLE_EQ(number(t.rows[1][2]), 2.1);
    EXPECT_EQ(text(t.rows[1][3]), "bb");
}

TEST(XlsCorpus, Dates1904AndRaggedRows) {
    REQUIRE_CORPUS(mac, "xls", "libxls__dates-1904.xls");
    // The only row is the header: five dates of 2000-01-01 named as the record window
    // writes them, made distinct.
    const auto dates = readSheet(mac, "Sheet1");
    ASSERT_EQ(dates.names.size(), 5u);
    EXPECT_EQ(dates.names[0], gbkOf("2000年1月1日"));
    EXPECT_EQ(dates.names[1], gbkOf("2000年1月1日1"));

    REQUIRE_CORPUS(ragged, "xls", "xlrd__ragged.xls");
    const auto r = readSheet(ragged, "Sheet1");
    EXPECT_EQ(r.names, (std::vector<std::string>{"a", "b", "c", "F4"}));
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_TRUE(isNull(r.rows[1][1]));
    EXPECT_EQ(text(r.rows[3][3]), "l");
}

TEST(XlsCorpus, Biff5TextsAndAnotherSuitesWorkbook) {
    // Excel 95 (BIFF5) with LABEL records in code page 1252.
    REQUIRE_CORPUS(biff5, "xls", "libxls__biff5-label-records.xls");
    EXPECT_EQ(sheets(biff5), std::vector<std::string>{"worksheet1"});
    const auto t = readSheet(biff5, "worksheet1");
    EXPECT_EQ(t.names.front(), "Table for Time Range: 21/01/2017");
    ASSERT_EQ(t.rows.size(), 16u);
    EXPECT_EQ(text(t.rows.at(1).at(0)), "Date");
    EXPECT_EQ(text(t.rows.at(1).at(2)), "AUBURN SW AQS CO 1h average [ppm]");

    // OpenOffice Calc, code page 1200, four sheets with non-ASCII names (an umlaut has no
    // GBK form and shows as "?"); dates keep their day, times their time.
    REQUIRE_CORPUS(calc, "xls", "xlrd__Formate.xls");
    const auto names = sheets(calc);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[3], "Formate");
    const auto first = readSheet(calc, names[0]);
    ASSERT_EQ(first.rows.size(), 9u);
    // Dates, times and numbers share column B, which makes it a text column.
    EXPECT_EQ(text(first.rows[0][1]), gbkOf("2005年2月23日"));
    EXPECT_EQ(text(first.rows[2][1]), gbkOf("1899年12月30日6时34分"));
    EXPECT_EQ(readSheet(calc, names[2]).rows.size(), 11u);
}

TEST(XlsCorpus, ChineseBuiltInFormatsWithoutFormatRecordsAreDates) {
    REQUIRE_CORPUS(path, "xls", "easyexcel__dataformat.xls");
    const auto t = readSheet(path, "Sheet1");
    ASSERT_EQ(t.rows.size(), 27u);
    EXPECT_EQ(t.types[0], ColumnType::DateTime);
    for (const auto& row : t.rows) EXPECT_TRUE(isDate(row[0], date(2020, 1, 1, 1, 1, 1)));
    EXPECT_EQ(text(cell(t, 3, "dateStringCn")), gbkOf("2020年1月1日"));
}

}  // namespace
