// The .xlsx reader on the made workbooks (data/xlsx, from make_xlsx_fixtures.py), on
// damaged and hostile packages, and on real workbooks of the shared corpus.
#include <gtest/gtest.h>
#include <zip.h>

#include "reader_test_support.h"

namespace {

using namespace readers_test;
using db::ColumnType;

db::LoadedTable readSheet(const std::string& path, const std::string& sheet) {
    return readSheetWith(db::readXlsxSheet, path, sheet);
}

std::vector<std::string> sheets(const std::string& path) { return sheetsWith(db::listXlsxSheets, path); }

// A package of the given parts (name -> UTF-8 text) written with libzip.
std::string makePackage(const Scratch& scratch, const std::string& name,
                        const std::vector<std::pair<std::string, std::string>>& parts) {
    const std::string path = scratch.write(name, "");
    int code = 0;
    zip_t* archive =
        zip_open(codepage::toLocalPath(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(archive, nullptr);
    for (const auto& [part, text] : parts) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        zip_file_add(archive, part.c_str(), source, ZIP_FL_OVERWRITE);
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

const char* kRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/worksheet\" Target=\"s.xml\"/></Relationships>";
const char* kWorkbook =
    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"S\" r:id=\"r1\"/></sheets></workbook>";

// A one-sheet package whose sheet part is `sheetXml`.
std::string packageWithSheet(const Scratch& scratch, const std::string& sheetXml) {
    return makePackage(scratch, "p.xlsx",
                       {{"xl/workbook.xml", kWorkbook},
                        {"xl/_rels/workbook.xml.rels", kRels},
                        {"xl/s.xml", sheetXml}});
}

TEST(XlsxReader, SameTableAsTheXlsWithRealBooleans) {
    const std::string path = fixture("xlsx", "students.xlsx");
    EXPECT_EQ(sheets(path),
              (std::vector<std::string>{gbkOf("学生名单"), "my sheet", gbkOf("空表")}));
    const auto t = readSheet(path, gbkOf("学生名单"));
    EXPECT_EQ(t.names, (std::vector<std::string>{gbkOf("姓名"), gbkOf("学号"), "F3", gbkOf("生日"),
                                                 gbkOf("分数"), gbkOf("备注"), gbkOf("在校"),
                                                 gbkOf("时刻")}));
    EXPECT_EQ(t.types[6], ColumnType::Boolean);
    ASSERT_EQ(t.rows.size(), 7u);
    EXPECT_EQ(text(cell(t, 0, gbkOf("姓名"))), kZhuRongji);
    EXPECT_EQ(text(cell(t, 1, gbkOf("备注"))), gbkOf("张喆的同学"));
    EXPECT_EQ(std::get<bool>(cell(t, 0, gbkOf("在校"))), true);
    EXPECT_TRUE(isNull(cell(t, 2, gbkOf("在校"))));
    EXPECT_EQ(text(cell(t, 3, gbkOf("备注"))), "123");
    const std::string born = gbkOf("生日");
    EXPECT_TRUE(isDate(cell(t, 1, born), date(2100, 3, 1)));
    EXPECT_TRUE(isDate(cell(t, 2, born), date(2150, 6, 15, 12, 30, 45)));
    EXPECT_TRUE(isDate(cell(t, 3, born), date(1900, 1, 5)));
    EXPECT_TRUE(isDate(cell(t, 6, born), date(9999, 12, 31)));
    EXPECT_TRUE(isDate(cell(t, 0, gbkOf("时刻")), date(1899, 12, 30, 8, 30, 0)));
    EXPECT_EQ(readSheet(path, "my sheet").names,
              (std::vector<std::string>{gbkOf("名称"), gbkOf("名称1"), "NAME", "name1"}));
    EXPECT_EQ(readSheet(path, gbkOf("空表")).names, std::vector<std::string>{"F1"});
}

TEST(XlsxReader, The1904DateSystem) {
    const auto t = readSheet(fixture("xlsx", "mac1904.xlsx"), "Sheet1");
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_TRUE(isDate(t.rows[0][0], date(2000, 1, 1)));
    EXPECT_TRUE(isDate(t.rows[1][0], date(1904, 1, 2, 6, 0, 0)));
}

TEST(XlsxReader, PartsFoundThroughRelationshipsAndChartSheetsLeftOut) {
    const std::string path = fixture("xlsx", "handmade.xlsx");
    EXPECT_EQ(sheets(path), (std::vector<std::string>{gbkOf("数据 表"), "Second"}));
    const auto second = readSheet(path, "Second");
    EXPECT_EQ(second.names, std::vector<std::string>{gbkOf("只有表头")});
    EXPECT_TRUE(second.rows.empty());
}

TEST(XlsxReader, StringsCellKindsAndDateFormats) {
    const auto t = readSheet(fixture("xlsx", "handmade.xlsx"), gbkOf("数据 表"));
    // Rich runs joined, phonetic runs left out; the gap at C1 named F3.
    EXPECT_EQ(t.names, (std::vector<std::string>{gbkOf("编号"), gbkOf("姓名 "), "F3", gbkOf("日期"),
                                                 gbkOf("备注")}));
    EXPECT_EQ(t.types,
              (std::vector<ColumnType>{ColumnType::Float, ColumnType::Text, ColumnType::Text,
                                       ColumnType::DateTime, ColumnType::Text}));
    // Rows 2, 3, 6 of the sheet: rows 4 and 5 are empty, the styled row 9 is not data.
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(text(t.rows[0][1]), gbkOf("第一行\r第二行"));         // _x000D_
    EXPECT_TRUE(isNull(t.rows[0][2]));                              // #N/A
    EXPECT_TRUE(isDate(t.rows[0][3], date(2023, 3, 15)));           // yyyy"年"m"月"d"日"
    EXPECT_EQ(text(t.rows[0][4]), gbkOf("公式A结果"));              // t="str"
    EXPECT_DOUBLE_EQ(number(t.rows[1][0]), 2);                      // a row and cells without r
    EXPECT_EQ(text(t.rows[1][1]), "1");                             // TRUE among texts
    EXPECT_TRUE(isDate(t.rows[1][3], date(1900, 1, 2, 12, 0, 0)));  // built-in format 57
    EXPECT_EQ(text(t.rows[1][4]), "3.5");                           // 0.0"d" is no date
    for (const auto& v : t.rows[2]) EXPECT_TRUE(isNull(v));
    EXPECT_TRUE(isDate(t.rows[4][3], date(2024, 2, 29, 10, 20, 30)));  // t="d"
    EXPECT_EQ(text(t.rows[4][4]), gbkOf("1900年1月1日12时"));          // [h]:mm
}

TEST(XlsxReader, UnknownSheetMissingAndWrongKindFilesFail) {
    db::LoadedTable t;
    std::string error;
    EXPECT_FALSE(db::readXlsxSheet(fixture("xlsx", "students.xlsx"), "Sheet9", t, error));
    EXPECT_FALSE(error.empty());
    std::vector<std::string> names;
    error.clear();
    EXPECT_FALSE(db::listXlsxSheets(fixture("xlsx", "none.xlsx"), names, error));
    EXPECT_FALSE(error.empty());

    Scratch scratch;
    error.clear();
    EXPECT_FALSE(db::listXlsxSheets(
        scratch.write("a.xlsx", readAll(fixture("xls", "students.xls"))), names, error));
    EXPECT_NE(error.find(".xls"), std::string::npos);
    // An encrypted workbook is an OLE file holding an "EncryptedPackage" stream.
    std::string encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    encrypted += std::string(600, '\0');
    for (char c : std::string("EncryptedPackage")) encrypted += std::string{c, '\0'};
    error.clear();
    EXPECT_FALSE(db::listXlsxSheets(scratch.write("b.xlsx", encrypted), names, error));
    EXPECT_NE(error.find(gbkOf("密码")), std::string::npos);
    // A zip archive that is no workbook.
    const std::string other = makePackage(scratch, "c.xlsx", {{"readme.txt", "hello"}});
    error.clear();
    EXPECT_FALSE(db::listXlsxSheets(other, names, error));
    EXPECT_FALSE(error.empty());
}

// A shared-string or style index past its table used to read as an empty cell.
TEST(XlsxReader, BadSharedStringOrStyleIndexFailsTheLoad) {
    Scratch scratch;
    const std::string rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "worksheet\" Target=\"s.xml\"/><Relationship Id=\"r2\" Type=\"http://schemas.openxmlformats.org/"
        "officeDocument/2006/relationships/sharedStrings\" Target=\"strings.xml\"/><Relationship Id=\"r3\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/></Relationships>";
    const std::string strings = "<sst><si><t>a</t></si><si><t>b</t></si></sst>";
    const std::string styles = "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    auto book = [&](const std::string& cell) {
        return makePackage(scratch, "p.xlsx",
                           {{"xl/workbook.xml", kWorkbook}, {"xl/_rels/workbook.xml.rels", rels},
                            {"xl/strings.xml", strings}, {"xl/styles.xml", styles},
                            {"xl/s.xml", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                                         "<row r=\"2\">" + cell + "</row></sheetData></worksheet>"}});
    };
    db::LoadedTable t;
    std::string error;
    ASSERT_TRUE(db::readXlsxSheet(book("<c r=\"A2\" t=\"s\" s=\"1\"><v>1</v></c>"), "S", t, error))
        << codepage::gbkToUtf8(error);
    EXPECT_EQ(text(t.rows.at(0).at(0)), "b");
    for (const char* cell : {"<c r=\"A2\" t=\"s\"><v>2</v></c>", "<c r=\"A2\" t=\"s\"><v>x</v></c>",
                             "<c r=\"A2\" s=\"2\"><v>1</v></c>"}) {
        error.clear();
        EXPECT_FALSE(db::readXlsxSheet(book(cell), "S", t, error)) << cell;
        EXPECT_NE(error.find(gbkOf("已损坏")), std::string::npos) << codepage::gbkToUtf8(error);
    }
}

TEST(XlsxReader, HostileXmlIsRefused) {
    Scratch scratch;
    std::string error;
    db::LoadedTable t;
    // An entity expansion bomb: any DTD is refused.
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet><sheetData><row><c "
        "t=\"inlineStr\"><is><t>&b;"
        "</t></is></c></row></sheetData></worksheet>";
    EXPECT_FALSE(db::readXlsxSheet(packageWithSheet(scratch, laughs), "S", t, error));
    EXPECT_FALSE(error.empty());
    // Two cells far apart would make a table of 16384 x 1048576 cells.
    error.clear();
    EXPECT_FALSE(db::readXlsxSheet(
        packageWithSheet(scratch,
                         "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                         "<row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c></row>"
                         "</sheetData></worksheet>"),
        "S", t, error));
    EXPECT_FALSE(error.empty());
    // Cut-off XML, a reference beyond Excel's grid, a nonsense reference.
    for (const char* sheet :
         {"<worksheet><sheetData><row><c><v>1</v></c>",
          "<worksheet><sheetData><row><c r=\"XFE1\"><v>1</v></c></row></sheetData></worksheet>",
          "<worksheet><sheetData><row><c r=\"1A\"><v>1</v></c></row></sheetData></worksheet>"}) {
        error.clear();
        EXPECT_FALSE(db::readXlsxSheet(packageWithSheet(scratch, sheet), "S", t, error)) << sheet;
        EXPECT_FALSE(error.empty());
    }
}

TEST(XlsxReader, DamagedCopiesNeverCrash) {
    auto read = [](const std::string& path, db::LoadedTable& table, std::string& error) {
        std::vector<std::string> names;
        if (!db::listXlsxSheets(path, names, error)) return false;
        return names.empty() || db::readXlsxSheet(path, names.front(), table, error);
    };
    readDamagedCopies(readAll(fixture("xlsx", "students.xlsx")), "t.xlsx", read, 150);
    readDamagedCopies(readAll(fixture("xlsx", "handmade.xlsx")), "t.xlsx", read, 150);
}

// --- real workbooks of the shared corpus (facts from its MANIFEST.md) ------------------

TEST(XlsxCorpus, BlanksInsideRowsAndADigitSheetName) {
    REQUIRE_CORPUS(path, "xlsx", "hutool__aaa.xlsx");
    EXPECT_EQ(sheets(path), (std::vector<std::string>{"Sheet1", "Sheet2", "12"}));
    const auto t = readSheet(path, "Sheet1");
    EXPECT_EQ(t.names, (std::vector<std::string>{gbkOf("姓名"), gbkOf("性别"), gbkOf("年龄"),
                                                 gbkOf("鞋码")}));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_DOUBLE_EQ(number(t.rows[0][3]), 41.5);
    EXPECT_TRUE(isNull(t.rows[1][3]));
    EXPECT_TRUE(isNull(t.rows[2][0]));
    EXPECT_DOUBLE_EQ(number(t.rows[2][3]), 43.22);
    EXPECT_DOUBLE_EQ(number(readSheet(path, "12").rows.at(1).at(3)), 1);
    EXPECT_TRUE(readSheet(path, "Sheet2").rows.empty());
}

TEST(XlsxCorpus, DateCellsAndEmptyRows) {
    REQUIRE_CORPUS(demo, "xlsx", "easyexcel__demo.xlsx");
    const auto d = readSheet(demo, "Sheet1");
    EXPECT_EQ(d.names, (std::vector<std::string>{gbkOf("字符串标题"), gbkOf("日期标题"),
                                                 gbkOf("数字标题")}));
    ASSERT_EQ(d.rows.size(), 10u);
    EXPECT_TRUE(isDate(d.rows[0][1], date(2020, 1, 1, 1, 1, 1)));
    EXPECT_TRUE(isDate(d.rows[9][1], date(2020, 1, 10, 1, 1, 1)));
    EXPECT_EQ(text(readSheet(demo, "Sheet2").rows.at(9).at(0)), gbkOf("表2字符串9"));

    // No header row: the first data row names the fields.
    REQUIRE_CORPUS(blank, "xlsx", "hutool__blankAndDateTest.xlsx");
    const auto b = readSheet(blank, "Sheet1");
    ASSERT_EQ(b.names.size(), 6u);
    EXPECT_EQ(b.names[1], gbkOf("测试1"));
    EXPECT_EQ(b.types[3], ColumnType::DateTime);
    ASSERT_EQ(b.rows.size(), 21u);
    EXPECT_EQ(text(b.rows[15][1]), gbkOf("测试16"));
    EXPECT_TRUE(isDate(b.rows[15][3], date(2017, 1, 2, 5, 6, 7)));
    EXPECT_TRUE(isDate(b.rows[15][5], date(2018, 1, 1)));
}

TEST(XlsxCorpus, StyledCellsToColumnXfdAndATrailingSpaceInASheetName) {
    REQUIRE_CORPUS(wide, "xlsx", "easyexcel__t03.xlsx");
    const auto w = readSheet(wide, gbkOf("重算文件"));
    ASSERT_EQ(w.names.size(), 12u);  // not 16384
    EXPECT_EQ(w.names[5], gbkOf("用户类型编码(选填)"));
    ASSERT_EQ(w.rows.size(), 1u);
    EXPECT_DOUBLE_EQ(number(w.rows[0][8]), 6);

    REQUIRE_CORPUS(simple, "xlsx", "easyexcel__simple07.xlsx");
    EXPECT_EQ(sheets(simple), (std::vector<std::string>{"Sheet1", "simple ", "Sheet3"}));
    const auto s = readSheet(simple, "simple ");
    EXPECT_EQ(s.names, std::vector<std::string>{gbkOf("姓名")});
    EXPECT_EQ(text(s.rows.at(0).at(0)), gbkOf("张三"));
}

}  // namespace
