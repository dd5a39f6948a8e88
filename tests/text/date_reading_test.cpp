// Reading dates from GBK texts and comparing their day numbers.
#include "text/date_reading.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gbk::DateTime;

// 年 C4 EA, 月 D4 C2, 日 C8 D5, 时 CA B1, 分 B7 D6, 秒 C3 EB.
const std::string Y = "\xC4\xEA", M = "\xD4\xC2", D = "\xC8\xD5";
const std::string H = "\xCA\xB1", MI = "\xB7\xD6", S = "\xC3\xEB";

std::optional<DateTime> dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime{y, mo, d, h, mi, s};
}

TEST(ReadDate, ReadsEveryFormToTextWrites) {
    // to-text leaves out zero time parts from the right; each form reads back.
    for (const DateTime& d : {DateTime{2026, 12, 7, 22, 5, 3}, DateTime{2026, 12, 7, 22, 0, 3},
                              DateTime{2026, 12, 7, 22, 5, 0}, DateTime{2026, 12, 7, 22, 0, 0},
                              DateTime{2026, 12, 7, 0, 0, 0}, DateTime{2026, 12, 7, 0, 5, 0},
                              DateTime{1, 1, 1, 0, 0, 1}, DateTime{9999, 12, 31, 23, 59, 59}}) {
        EXPECT_EQ(gbk::readDate(gbk::toText(d)), d) << gbk::toText(d);
    }
    EXPECT_EQ(gbk::readDate("2026" + Y + "1" + M + "2" + D + " 3" + H), dt(2026, 1, 2, 3));
}

TEST(ReadDate, ReadsPunctuatedForms) {
    EXPECT_EQ(gbk::readDate("2026-12-07"), dt(2026, 12, 7));
    EXPECT_EQ(gbk::readDate("2026/1/2"), dt(2026, 1, 2));
    EXPECT_EQ(gbk::readDate("2026.01.02"), dt(2026, 1, 2));
    EXPECT_EQ(gbk::readDate("2026:1:2"), dt(2026, 1, 2));
    EXPECT_EQ(gbk::readDate("2026-12-07 22:05:03"), dt(2026, 12, 7, 22, 5, 3));
    EXPECT_EQ(gbk::readDate("2026-12-07   22:05"), dt(2026, 12, 7, 22, 5));
    EXPECT_EQ(gbk::readDate("2026/12/07/22"), dt(2026, 12, 7, 22));
    EXPECT_EQ(gbk::readDate("  2026-12-07  "), dt(2026, 12, 7));
    EXPECT_EQ(gbk::readDate("2026" + Y + "12-7"), dt(2026, 12, 7));
    EXPECT_EQ(gbk::readDate("26-1-2"), dt(26, 1, 2));  // years are taken as written
}

TEST(ReadDate, RejectsTextsThatNameNoDate) {
    for (const std::string& text : std::vector<std::string>{"",
                                                            "abc",
                                                            "2026",
                                                            "2026-12",
                                                            "2026-12-",
                                                            "2026-13-01",
                                                            "2026-02-29",
                                                            "2026-04-31",
                                                            "0-01-01",
                                                            "12345-01-01",
                                                            "2026-001-01",
                                                            "2026-12-07x",
                                                            "2026-12-07 24:00",
                                                            "2026-12-07 23:60",
                                                            "2026-12-07 23:59:60",
                                                            "2026-12-07 1:2:3:4",
                                                            "2026 12 07",
                                                            "2026-12-07 22:05 x",
                                                            "-2026-12-07",
                                                            "2026" + M + "12" + Y + "7" + D,
                                                            "2026" + Y + "12" + M + "7" + D + "xyz",
                                                            "2026-12-07 22" + S}) {
        EXPECT_EQ(gbk::readDate(text), std::nullopt) << text;
    }
    EXPECT_EQ(gbk::readDate("2024-02-29"), dt(2024, 2, 29));
    EXPECT_EQ(gbk::readDate("2000-02-29"), dt(2000, 2, 29));
    EXPECT_EQ(gbk::readDate("1900-02-29"), std::nullopt);
}

TEST(DateSerial, CountsFromTheEpochWithTimeForwardsBeforeIt) {
    EXPECT_DOUBLE_EQ(gbk::dateSerial({1899, 12, 30}), 0.0);
    EXPECT_DOUBLE_EQ(gbk::dateSerial({1900, 1, 1, 12}), 2.5);
    EXPECT_DOUBLE_EQ(gbk::dateSerial({2026, 12, 7}), 46363.0);
    EXPECT_DOUBLE_EQ(gbk::dateSerial({1899, 12, 29, 6}), -1.25);
    EXPECT_DOUBLE_EQ(gbk::dateSerial({100, 1, 1}), gbk::kFirstDateSerial);
    EXPECT_DOUBLE_EQ(gbk::dateSerial({9999, 12, 31}), gbk::kLastDateSerial);
    EXPECT_DOUBLE_EQ(gbk::dateSerialOfText("not a date"), gbk::kFirstDateSerial);
    EXPECT_DOUBLE_EQ(gbk::dateSerialOfText("1900-1-1 18:00"), 2.75);
}

TEST(DateSerial, ContinuousDaysAndClamping) {
    EXPECT_DOUBLE_EQ(gbk::continuousDays(-1.25), -0.75);
    EXPECT_DOUBLE_EQ(gbk::continuousDays(-1.75), -0.25);
    EXPECT_DOUBLE_EQ(gbk::continuousDays(-2.5), -1.5);
    EXPECT_DOUBLE_EQ(gbk::continuousDays(3.25), 3.25);
    EXPECT_DOUBLE_EQ(gbk::clampDateSerial(3e6), gbk::kLastDateSerial);
    EXPECT_DOUBLE_EQ(gbk::clampDateSerial(-7e5), gbk::kFirstDateSerial);
    EXPECT_DOUBLE_EQ(gbk::clampDateSerial(-5.5), -5.5);
}

TEST(CompareDateSerials, OrdersTimesBeforeTheEpochAndClampsTheEnds) {
    // 1899-12-29 06:00 is before 18:00 of that day, though -1.25 > -1.75.
    EXPECT_EQ(gbk::compareDateSerials(gbk::dateSerialOfText("1899-12-29 06:00"),
                                      gbk::dateSerialOfText("1899-12-29 18:00")),
              -1);
    EXPECT_EQ(gbk::compareDateSerials(gbk::dateSerialOfText("1899-12-29 23:00"),
                                      gbk::dateSerialOfText("1899-12-30")),
              -1);
    EXPECT_EQ(gbk::compareDateSerials(gbk::dateSerialOfText("2026-12-08"),
                                      gbk::dateSerialOfText("2026-12-07 23:59:59")),
              1);
    EXPECT_EQ(gbk::compareDateSerials(46363.5, 46363.5), 0);
    // Before 0100-01-01 every date (and every unreadable text) equals the first bound.
    EXPECT_EQ(
        gbk::compareDateSerials(gbk::dateSerialOfText("0050-06-01"), gbk::dateSerialOfText("junk")),
        0);
    EXPECT_EQ(gbk::compareDateSerials(gbk::dateSerialOfText("0099-12-31"),
                                      gbk::dateSerialOfText("0100-01-01")),
              0);
    EXPECT_EQ(gbk::compareDateSerials(gbk::dateSerialOfText("0100-01-02"),
                                      gbk::dateSerialOfText("0100-01-01")),
              1);
    EXPECT_EQ(gbk::compareDateSerials(3e6, gbk::kLastDateSerial), 0);
}

}  // namespace
