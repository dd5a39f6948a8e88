// Row 1 of a worksheet read as stored by the .xls and .xlsx readers: the same values from
// both formats of one workbook, no renaming, the sheet found by position, failures that
// say why.
#include <gtest/gtest.h>
#include <zip.h>

#include "reader_test_support.h"

namespace {

using namespace readers_test;
using Values = std::vector<db::Value>;

const std::string kXls = fixture("xls", "raw_header.xls"), kXlsx = fixture("xlsx", "raw_header.xlsx");

TEST(HeaderRow, BothFormatsGiveTheStoredCells) {
    gbk::DateTime date;
    date.year = 2024, date.month = 3, date.day = 1, date.hour = 8, date.minute = 30;
    const Values expected{gbkOf("名称"), gbkOf("名称"), std::string("F3"), gbkOf(" 班级 "), 2024.0, 1.0 / 3,
                          -7.25, date, true, db::Null{}, gbkOf("后面")};
    for (const auto& [path, read] : {std::pair{kXls, &db::readXlsHeaderRow}, std::pair{kXlsx, &db::readXlsxHeaderRow}}) {
        Values cells{std::string("stale")};
        std::string error;
        ASSERT_TRUE(read(path, 0, cells, error)) << codepage::gbkToUtf8(error);
        EXPECT_EQ(cells, expected) << path;
        ASSERT_TRUE(read(path, 1, cells, error));
        EXPECT_EQ(cells, Values{gbkOf("学号")}) << path;
        // A position past the worksheets fails with a message, the cells emptied.
        error.clear();
        EXPECT_FALSE(read(path, 5, cells, error)) << path;
        EXPECT_TRUE(cells.empty());
        EXPECT_NE(error.find(gbkOf("第 6 个工作表")), std::string::npos) << codepage::gbkToUtf8(error);
    }
}

// Named ranges come after the sheets in the table list, but a position counts worksheets:
// formats.xls has five (the fifth hidden) and two named ranges.
TEST(HeaderRow, PositionCountsWorksheetsOnly) {
    const std::string formats = fixture("xls", "formats.xls");
    Values cells;
    std::string error;
    EXPECT_TRUE(db::readXlsHeaderRow(formats, 4, cells, error)) << codepage::gbkToUtf8(error);
    EXPECT_FALSE(cells.empty());
    EXPECT_FALSE(db::readXlsHeaderRow(formats, 5, cells, error));
}

// Only row 1 is read: a sheet whose later rows are cut off still gives its header, while
// damage before the header's end fails as the whole read does.
TEST(HeaderRow, XlsxReadsNoFurtherThanRowOne) {
    Scratch scratch;
    const std::string rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/worksheet\" Target=\"s.xml\"/></Relationships>";
    const std::string workbook =
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"S\" r:id=\"r1\"/></sheets></workbook>";
    auto book = [&](const std::string& rows) {
        const std::string path = scratch.write("p.xlsx", "");
        int code = 0;
        zip_t* archive = zip_open(codepage::toLocalPath(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        const std::string sheet = "<worksheet><sheetData>" + rows;
        // The buffers are read when the archive is closed.
        const std::pair<const char*, const std::string*> parts[] = {
            {"xl/workbook.xml", &workbook}, {"xl/_rels/workbook.xml.rels", &rels}, {"xl/s.xml", &sheet}};
        for (const auto& [part, text] : parts)
            zip_file_add(archive, part, zip_source_buffer(archive, text->data(), text->size(), 0), ZIP_FL_OVERWRITE);
        EXPECT_EQ(zip_close(archive), 0);
        return path;
    };
    Values cells;
    std::string error;
    ASSERT_TRUE(db::readXlsxHeaderRow(
        book("<row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>x</t></is></c></row><row r=\"2\"><c r=\"A2\"><v>"),
        0, cells, error))
        << codepage::gbkToUtf8(error);
    EXPECT_EQ(cells, (Values{db::Null{}, std::string("x")}));
    EXPECT_FALSE(db::readXlsxHeaderRow(book("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>"), 0, cells, error));
    EXPECT_FALSE(error.empty());
}

TEST(HeaderRow, DamagedCopiesFailCleanly) {
    for (const auto& [path, name, read] :
         {std::tuple{kXls, "t.xls", &db::readXlsHeaderRow}, std::tuple{kXlsx, "t.xlsx", &db::readXlsxHeaderRow}}) {
        readDamagedCopies(readAll(path), name, [read](const std::string& copy, db::LoadedTable&, std::string& error) {
            Values cells;
            return read(copy, 0, cells, error);
        }, 100);
    }
}

}  // namespace
