// Field names of a table through the database component, and a workbook's header row
// read cell by cell up to the first blank cell.
#include <gtest/gtest.h>

#include "common/field_listing.h"
#include "text/codepage.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

using Names = std::vector<std::string>;

const std::string kHeaders = std::string(LOOKUP_TEST_DATA_DIR) + "/xls/headers.xls";
const std::string k序号 = "\xD0\xF2\xBA\xC5", k姓名 = "\xD0\xD5\xC3\xFB", k班级 = "\xB0\xE0\xBC\xB6";

TEST(FieldListing, ColumnNamesOfTheHeaderCells) {
    EXPECT_EQ(excelColumnName(0), "A");
    EXPECT_EQ(excelColumnName(25), "Z");
    EXPECT_EQ(excelColumnName(26), "AA");
    EXPECT_EQ(excelColumnName(51), "AZ");
    EXPECT_EQ(excelColumnName(52), "BA");
    EXPECT_EQ(excelColumnName(675), "YZ");
    EXPECT_EQ(excelColumnName(676), "ZA");
    EXPECT_EQ(excelColumnName(701), "ZZ");
    EXPECT_EQ(excelColumnName(702), "");
    EXPECT_EQ(excelColumnName(-1), "");
}

TEST(FieldListing, AccessFields) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils.mdb");
    const std::string file = sharedFile("fixtures/mdb/pupils.mdb");
    Names names{"stale"};
    std::string error = "stale";
    列出MDB字段(file, "", "\xBD\xCC\xCA\xA6", names, error);  // 教师
    EXPECT_EQ(names, (Names{"\xB9\xA4\xBA\xC5", k姓名, "\xC1\xAA\xCF\xB5\x20\xB5\xE7\xBB\xB0"}));
    EXPECT_EQ(error, "");
    列出MDB字段(file, "", "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5", names, error);  // 学生名单
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[0], k序号);

    // The provider's error goes to the caller, which shows it; no fields.
    列出MDB字段(file, "", "nosuch", names, error);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(error.empty());
}

TEST(FieldListing, AccessPassword) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils_password.mdb");
    const std::string file = sharedFile("fixtures/mdb/pupils_password.mdb");
    Names names;
    std::string error;
    列出MDB字段(file, "abc123", "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5", names, error);
    EXPECT_EQ(names.size(), 9u);
    EXPECT_EQ(error, "");
    for (const std::string wrong : {"", "abc"}) {
        列出MDB字段(file, wrong, "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5", names, error);
        EXPECT_TRUE(names.empty());
        EXPECT_FALSE(error.empty());
    }
}

TEST(FieldListing, TextAndDbaseFields) {
    TempFolder folder;
    folder.write("pupils.txt", k序号 + "," + k姓名 + "," + k班级 + "\r\n0001,\xD5\xC5\xC8\xFD,\xD2\xBB\xB0\xE0\r\n");
    Names names;
    std::string error;
    列出文本文件字段(folder.dir(), "pupils.txt", names, error);
    EXPECT_EQ(names, (Names{k序号, k姓名, k班级}));
    EXPECT_EQ(error, "");
    列出文本文件字段(folder.dir(), "missing.txt", names, error);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(error.empty());

    REQUIRE_SHARED_FILE("corpus/dbf/dbfread__people.dbf");
    列出DBF字段(sharedFile("corpus/dbf/"), "dbfread__people.dbf", names, error);
    EXPECT_EQ(names, (Names{"NAME", "BIRTHDATE"}));
    EXPECT_EQ(error, "");
    列出DBF字段(folder.dir(), "missing.dbf", names, error);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(error.empty());
}

TEST(FieldListing, WorkbookHeaderRowUpToTheFirstBlankCell) {
    Names names{"stale"};
    列出Excel字段(kHeaders, 1, names);  // 序号, " 姓名 ", empty cell, 班级
    EXPECT_EQ(names, (Names{k序号, " " + k姓名 + " "}));
    列出Excel字段(kHeaders, 2, names);  // 甲, a full-width space, 乙
    EXPECT_EQ(names, Names{"\xBC\xD7"});
    列出Excel字段(kHeaders, 3, names);  // A1 empty
    EXPECT_TRUE(names.empty());
    列出Excel字段(kHeaders, 4, names);  // past column Z
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names[26], "H27");
    EXPECT_EQ(names[29], "H30");

    for (const int missing : {0, 8, -1}) {
        names = {"stale"};
        列出Excel字段(kHeaders, missing, names);
        EXPECT_TRUE(names.empty()) << missing;
    }
    列出Excel字段("/nonexistent/book.xls", 1, names);
    EXPECT_TRUE(names.empty());
}

// The names are the cells as typed: a repeated name stays repeated, a cell holding "F3"
// is a name like any other, numbers, dates and booleans read as the record window shows
// them; the gap before "后面" ends the row. Both formats give the same names.
TEST(FieldListing, WorkbookHeaderCellsAsStoredInBothFormats) {
    const std::string data = std::string(LOOKUP_TEST_DATA_DIR);
    const auto G = [](const char* utf8) { return codepage::utf8ToGbk(utf8); };
    const Names expected{G("名称"), G("名称"), "F3", G(" 班级 "), "2024", "0.3333333333333", "-7.25", G("2024年3月1日8时30分"), "1"};
    for (const std::string& book : {data + "/xls/raw_header.xls", data + "/xlsx/raw_header.xlsx"}) {
        Names names;
        列出Excel字段(book, 1, names);
        EXPECT_EQ(names, expected) << book;
        列出Excel字段(book, 2, names);
        EXPECT_EQ(names, Names{G("学号")}) << book;
    }
    // 710 header cells: the column names end at ZZ, the 702nd.
    Names names;
    列出Excel字段(data + "/xlsx/raw_header.xlsx", 3, names);
    ASSERT_EQ(names.size(), 702u);
    EXPECT_EQ(names.back(), "H702");
    // Positions count worksheets, not the named ranges listed after them.
    列出Excel字段(data + "/xls/formats.xls", 5, names);
    EXPECT_FALSE(names.empty());
    列出Excel字段(data + "/xls/formats.xls", 6, names);
    EXPECT_TRUE(names.empty());
}

TEST(FieldListing, CorpusWorkbookSheetsByPosition) {
    REQUIRE_SHARED_FILE("corpus/xls/hutool__aaa.xls");
    Names names;
    列出Excel字段(sharedFile("corpus/xls/hutool__aaa.xls"), 1, names);
    EXPECT_EQ(names, (Names{k姓名, "\xD0\xD4\xB1\xF0", "\xC4\xEA\xC1\xE4", "\xB7\xD6\xCA\xFD"}));
    列出Excel字段(sharedFile("corpus/xls/hutool__aaa.xls"), 3, names);  // an empty sheet
    EXPECT_TRUE(names.empty());
    列出Excel字段(sharedFile("corpus/xlsx/easyexcel__simple07.xlsx"), 2, names);
    EXPECT_EQ(names, Names{k姓名});
}

}  // namespace
