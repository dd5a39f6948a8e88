// Typed values: how the record window shows them, and dates through the loaded tables.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cmath>

#include "platform/database/column_value.h"
#include "platform/database/table_cache.h"
#include "platform/database/value.h"

using db::ColumnType;
using db::Value;

namespace {

TEST(DisplayText, NullDependsOnTheColumnAndValuesFollowToText) {
    EXPECT_EQ(db::toDisplayText(db::Null{}, ColumnType::Text), "");
    EXPECT_EQ(db::toDisplayText(db::Null{}, ColumnType::DateTime), "");
    EXPECT_EQ(db::toDisplayText(db::Null{}, ColumnType::Integer), "0");
    EXPECT_EQ(db::toDisplayText(db::Null{}, ColumnType::Float), "0");
    EXPECT_EQ(db::toDisplayText(int64_t{-42}, ColumnType::Integer), "-42");
    EXPECT_EQ(db::toDisplayText(0.1 + 0.2, ColumnType::Float), "0.3");
    EXPECT_EQ(db::toDisplayText(true, ColumnType::Boolean), "1");
    EXPECT_EQ(db::toDisplayText(false, ColumnType::Boolean), "0");
    EXPECT_EQ(db::toDisplayText(db::Bytes{{0x0A, 0xFF}}, ColumnType::Bytes), "0AFF");
    // 2020年1月2日3时4分, GBK
    EXPECT_EQ(db::toDisplayText(gbk::DateTime{2020, 1, 2, 3, 4, 0}, ColumnType::DateTime),
              "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "3\xCA\xB1" "4\xB7\xD6");
}

TEST(SerialDays, RoundTripAndOrder) {
    EXPECT_EQ(db::serialDaysFromDate({1899, 12, 30}), 0.0);
    EXPECT_EQ(db::serialDaysFromDate({1900, 1, 1}), 2.0);
    EXPECT_DOUBLE_EQ(db::serialDaysFromDate({2000, 1, 1, 12, 0, 0}), 36526.5);
    for (gbk::DateTime d : {gbk::DateTime{1, 1, 1}, gbk::DateTime{1800, 2, 28, 23, 59, 59},
                            gbk::DateTime{2100, 3, 1, 0, 0, 1}, gbk::DateTime{9999, 12, 31, 23, 59, 59}})
        EXPECT_EQ(db::dateFromSerialDays(db::serialDaysFromDate(d)), d);
    EXPECT_LT(db::serialDaysFromDate({1800, 1, 1, 12}), db::serialDaysFromDate({1800, 1, 2}));
    EXPECT_TRUE(std::isnan(db::serialDaysFromDate({2000, 13, 1})));
}

// Every type goes into a loaded table and comes back as it went in.
TEST(LoadedTables, TypedValuesComeBackTyped) {
    db::LoadedTable table;
    table.names = {"t", "i", "f", "d", "b", "x"};
    table.types = {ColumnType::Text, ColumnType::Integer, ColumnType::Float, ColumnType::DateTime,
                   ColumnType::Boolean, ColumnType::Bytes};
    table.rows.push_back({std::string("\xD5\xC5"), int64_t{7}, 2.5, gbk::DateTime{1850, 6, 1},
                          true, db::Bytes{{1, 2}}});
    table.rows.push_back({db::Null{}, db::Null{}, db::Null{}, gbk::DateTime{2024, 2, 29, 8, 30, 5}, false,
                          db::Null{}});
    table.rows.push_back({int64_t{5}, std::string("x"), int64_t{3}, db::Null{}, db::Null{}, db::Null{}});

    auto& cache = db::TableCache::instance();
    std::string name, error;
    ASSERT_TRUE(cache.table("test|typed", db::FileStamp{1, 1},
                            [&table](db::TableSink& sink, std::string& why) {
                                return db::feedLoadedTable(std::move(table), sink, why);
                            },
                            name, error))
        << error;
    sqlite3_stmt* stmt = cache.prepareSelect("select * from \"" + name + "\"", name, error);
    ASSERT_NE(stmt, nullptr) << error;
    std::vector<std::vector<Value>> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<Value> row;
        for (int c = 0; c < 6; ++c) {
            const ColumnType type = db::columnTypeFromDeclared(sqlite3_column_decltype(stmt, c));
            row.push_back(db::readColumn(stmt, c, type));
            // The direct text path shows exactly what the typed value shows.
            EXPECT_EQ(db::readColumnText(stmt, c, type), db::toDisplayText(row.back(), type)) << c;
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<Value>{std::string("\xD5\xC5"), int64_t{7}, 2.5, gbk::DateTime{1850, 6, 1},
                                           true, db::Bytes{{1, 2}}}));
    EXPECT_EQ(rows[1], (std::vector<Value>{std::string(), int64_t{0}, 0.0, gbk::DateTime{2024, 2, 29, 8, 30, 5},
                                           false, std::string()}));
    // A number in a text column is the text it shows as; a float column keeps 3 as 3.0.
    EXPECT_EQ(rows[2][0], Value(std::string("5")));
    EXPECT_EQ(rows[2][2], Value(3.0));
}

}  // namespace
