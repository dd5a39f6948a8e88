// The record window's fast number and date texts against the runtime's own rules: any
// difference would show one value two ways depending on the path that read it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "text/gbk_text.h"
#include "platform/database/display_format.h"

namespace {

TEST(DisplayFormat, NumbersAtTheEdgesOfTheShortPaths) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, 1.0, -1.0, 7.0, 9999999999999.0, 1e13, 1e13 + 2, -9999999999999.0, 1e15, 1e16,
                     9007199254740993.0, 1e300, 0.5, -0.5, 78.5, 12.35, 0.1, 0.2, 0.1 + 0.2, 0.0001, -0.0001,
                     0.00015, 0.00001, 1e-300, 5e-324, 123456789012.3, 999999999999.9, 1234567890123.4,
                     999999999.9999, 99999999.99999, 0.9999, 0.99995, 2.675, 1.005, 1.0 / 3, inf, -inf,
                     std::nan(""), std::numeric_limits<double>::max(), std::numeric_limits<double>::min()})
        EXPECT_EQ(db::numberText(v), gbk::toText(v)) << v;
    for (int64_t v : {int64_t{0}, int64_t{-1}, int64_t{42}, int64_t{13800000000}, std::numeric_limits<int64_t>::min(),
                      std::numeric_limits<int64_t>::max()})
        EXPECT_EQ(db::integerText(v), gbk::toText(v)) << v;
}

// Decimals as files hold them (scores, prices, measurements), whole numbers of every size,
// and arbitrary bit patterns.
TEST(DisplayFormat, NumbersAgreeWithTheRuntimeOnRandomValues) {
    std::mt19937_64 random(20260);
    for (int k = 0; k < 200000; ++k) {
        double v;
        switch (k % 4) {
        case 0: {
            const int decimals = static_cast<int>(random() % 6);
            const auto whole = static_cast<int64_t>(random() % 100000000000000ULL) >> (random() % 40);
            v = static_cast<double>(whole) / std::pow(10.0, decimals);
            break;
        }
        case 1: v = static_cast<double>(static_cast<int64_t>(random()) >> (random() % 64)); break;
        case 2: v = std::ldexp(static_cast<double>(random() % 1000000), static_cast<int>(random() % 80) - 60); break;
        default: {
            const uint64_t bits = random();
            std::memcpy(&v, &bits, sizeof v);
            break;
        }
        }
        if (random() % 2) v = -v;
        ASSERT_EQ(db::numberText(v), gbk::toText(v)) << v;
    }
}

TEST(DisplayFormat, DatesAgreeWithTheRuntime) {
    for (gbk::DateTime d : {gbk::DateTime{}, gbk::DateTime{2020, 1, 2}, gbk::DateTime{2020, 1, 2, 3},
                            gbk::DateTime{2020, 1, 2, 0, 4}, gbk::DateTime{2020, 1, 2, 0, 0, 5},
                            gbk::DateTime{1, 12, 31, 23, 59, 59}, gbk::DateTime{9999, 10, 10, 10, 0, 0},
                            gbk::DateTime{-5, 0, 0, -1, -2, -3}})
        EXPECT_EQ(db::dateText(d), gbk::toText(d));
}

}  // namespace
