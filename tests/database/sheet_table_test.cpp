// The compact cell store of the workbook readers: cells in any order, a later cell
// replacing an earlier one, gaps, every value kind read back exactly, and stores large
// enough to span (and release) many blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/database/readers/sheet_table.h"

namespace {

using db::ColumnType;
using db::LoadedTable;
using db::Null;
using db::Value;
using db::sheet::SheetCells;

LoadedTable build(SheetCells& cells) {
    LoadedTable out;
    db::LoadedTableSink sink(out);
    std::string error;
    EXPECT_TRUE(db::sheet::buildSheetTable(std::move(cells), sink, error)) << error;
    return out;
}

TEST(SheetCells, RowsOutOfOrderDuplicatesAndGapsGiveTheSameTableAsInOrder) {
    SheetCells cells;
    cells.addText(3, 1, "late");
    cells.addText(0, 0, "a");
    cells.addText(0, 1, "b");
    cells.addNumber(1, 0, 1);
    cells.addText(1, 1, "replaced");
    cells.addNumber(3, 0, 3);
    cells.addText(1, 1, "kept");  // same place, later: wins
    cells.addText(5, 0, "");       // an empty text is no cell: row 5 does not exist
    const LoadedTable table = build(cells);
    EXPECT_EQ(table.names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(table.types, (std::vector<ColumnType>{ColumnType::Float, ColumnType::Text}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0], (std::vector<Value>{1.0, std::string("kept")}));
    EXPECT_EQ(table.rows[1], (std::vector<Value>{Null{}, Null{}}));
    EXPECT_EQ(table.rows[2], (std::vector<Value>{3.0, std::string("late")}));
}

TEST(SheetCells, AReplacedCellNoLongerDecidesItsColumnsType) {
    SheetCells cells;
    cells.addText(0, 0, "n");
    cells.addText(1, 0, "text first");
    cells.addNumber(1, 0, 5);
    const LoadedTable table = build(cells);
    EXPECT_EQ(table.types, std::vector<ColumnType>{ColumnType::Float});
    EXPECT_EQ(table.rows.at(0).at(0), Value(5.0));
}

TEST(SheetCells, EveryKindReadsBackExactly) {
    db::sheet::StringPool shared;
    shared.add("\xD5\xC5\xC8\xFD");  // 张三
    shared.add("");
    SheetCells cells(&shared);
    const double numbers[] = {0.0, -0.0, 1e300, -123456789012.0, 0.1, 9.0e15, -9.5e15,
                              std::numeric_limits<double>::denorm_min()};
    gbk::DateTime date{1899, 12, 30, 23, 59, 59}, late{9999, 12, 31, 0, 0, 0};
    uint32_t row = 1;
    for (double n : numbers) cells.addNumber(row++, 0, n);
    cells.addText(0, 0, "n");
    cells.addShared(0, 1, 0);
    cells.addShared(1, 1, 1);   // empty shared string: no cell
    cells.addShared(2, 1, 99);  // past the strings: no cell
    cells.addDate(1, 2, date);
    cells.addDate(2, 2, late);
    cells.addBoolean(1, 3, true);
    cells.addBoolean(2, 3, false);
    const LoadedTable table = build(cells);
    EXPECT_EQ(table.names[1], "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(table.names[2], "F3");
    EXPECT_EQ(table.types, (std::vector<ColumnType>{ColumnType::Float, ColumnType::Text, ColumnType::DateTime,
                                                    ColumnType::Boolean}));
    ASSERT_EQ(table.rows.size(), std::size(numbers));
    for (size_t i = 0; i < std::size(numbers); ++i) {
        const double got = std::get<double>(table.rows[i][0]);
        EXPECT_EQ(got, numbers[i]);
        EXPECT_EQ(std::signbit(got), std::signbit(numbers[i])) << i;
    }
    EXPECT_EQ(table.rows[0][1], Value(Null{}));
    EXPECT_EQ(table.rows[0][2], Value(date));
    EXPECT_EQ(table.rows[1][2], Value(late));
    EXPECT_EQ(table.rows[0][3], Value(true));
    EXPECT_EQ(table.rows[1][3], Value(false));
}

TEST(SheetCells, LargeStoresInAndOutOfOrderAcrossManyBlocks) {
    for (bool reversed : {false, true}) {
        SheetCells cells;
        constexpr uint32_t kRows = 30000;
        const std::string huge(200000, 'x');  // larger than a block
        cells.addText(0, 0, "id");
        cells.addText(0, 1, "text");
        for (uint32_t i = 0; i < kRows; ++i) {
            const uint32_t row = reversed ? kRows - i : i + 1;
            cells.addNumber(row, 0, row * 1.5);
            cells.addText(row, 1, row == 777 ? huge : "row " + std::to_string(row));
        }
        const LoadedTable table = build(cells);
        ASSERT_EQ(table.rows.size(), kRows) << reversed;
        for (uint32_t r = 1; r <= kRows; ++r) {
            const auto& row = table.rows[r - 1];
            ASSERT_EQ(row[0], Value(r * 1.5)) << r;
            ASSERT_EQ(row[1], Value(r == 777 ? huge : "row " + std::to_string(r))) << r;
        }
    }
}

TEST(SheetCells, EmptyAndOversizedSheets) {
    SheetCells none;
    const LoadedTable empty = build(none);
    EXPECT_EQ(empty.names, std::vector<std::string>{"F1"});
    EXPECT_TRUE(empty.rows.empty());

    SheetCells sparse;
    sparse.addText(0, 0, "a");
    sparse.addText(db::sheet::kMaxRows - 1, db::sheet::kMaxColumns - 1, "far");
    LoadedTable out;
    db::LoadedTableSink sink(out);
    std::string error;
    EXPECT_FALSE(db::sheet::buildSheetTable(std::move(sparse), sink, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.names.empty());
}

}  // namespace
