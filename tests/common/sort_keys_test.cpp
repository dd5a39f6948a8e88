// Ordering list cells as whole numbers, texts and dates.
#include "common/sort_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/gbk_text.h"

namespace {

// The cells (UTF-8) in the order a stable ascending sort by `type` puts them.
std::vector<std::string> sorted(gbk::SortType type, const std::vector<std::string>& utf8Cells) {
    std::vector<std::string> cells;
    for (const std::string& c : utf8Cells) cells.push_back(codepage::utf8ToGbk(c));
    const gbk::ColumnSortKeys keys(type, cells.size(),
                                   [&](size_t i) { return std::string_view(cells[i]); });
    std::vector<size_t> order(cells.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys.compare(a, b) < 0; });
    std::vector<std::string> out;
    for (size_t i : order) out.push_back(utf8Cells[i]);
    return out;
}

using Cells = std::vector<std::string>;

TEST(SortKeys, WholeNumbersUseTheLeadingInteger) {
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"10", "9"}), (Cells{"9", "10"}));
    // No leading number counts as 0; fractions do not count, so 2.7 and 2.1 keep their order.
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"2", "abc", "-3"}), (Cells{"-3", "abc", "2"}));
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"2.7", "2.1", " 1x", "+0"}),
              (Cells{"+0", " 1x", "2.7", "2.1"}));
    // A 32-bit difference of these would wrap and put 2000000000 first.
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"2000000000", "-2000000000", "0"}),
              (Cells{"-2000000000", "0", "2000000000"}));
    EXPECT_EQ(gbk::compareWholeNumbers(INT32_MIN, INT32_MAX), -1);
    EXPECT_EQ(gbk::compareWholeNumbers(INT32_MAX, INT32_MIN), 1);
    EXPECT_EQ(gbk::compareWholeNumbers(INT64_MIN, INT64_MAX), -1);
    EXPECT_EQ(gbk::compareWholeNumbers(INT64_MAX, INT64_MIN), 1);
    EXPECT_EQ(gbk::compareWholeNumbers(5, 5), 0);
}

// Read in 32 bits, every number of 11 digits or more compared equal and kept its place.
TEST(SortKeys, LongNumbersCompareExactly) {
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"13912345678", "13800138002", "2147483648",
                                                  "13800138001", "-13800138001", "-2147483649"}),
              (Cells{"-13800138001", "-2147483649", "2147483648", "13800138001", "13800138002",
                     "13912345678"}));
    // Identity card numbers: 17 digits and a check character, beyond a double's precision.
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber,
                     {"110105194912310039", "110105194912310029", "11010519491231004X"}),
              (Cells{"11010519491231004X", "110105194912310029", "110105194912310039"}));
    EXPECT_EQ(gbk::leadingWholeNumber("11010519491231003X"), 11010519491231003);
}

TEST(SortKeys, TextsOrderHanziByPinyinAndAreCaseSensitive) {
    EXPECT_EQ(sorted(gbk::SortType::Text, {"9", "10"}), (Cells{"10", "9"}));
    EXPECT_EQ(sorted(gbk::SortType::Text, {"张三", "赵六", "李四", "阿明", "王五", "陈七"}),
              (Cells{"阿明", "陈七", "李四", "王五", "张三", "赵六"}));
    EXPECT_EQ(sorted(gbk::SortType::Text, {"B", "a", "A", "b", ""}),
              (Cells{"", "a", "A", "b", "B"}));
    EXPECT_LT(gbk::compareTexts("a", "A"), 0);
    EXPECT_GT(gbk::compareTexts(codepage::utf8ToGbk("张"), codepage::utf8ToGbk("李")), 0);
    EXPECT_EQ(gbk::compareTexts(codepage::utf8ToGbk("一班"), codepage::utf8ToGbk("一班")), 0);
}

// ICU's Chinese order put hanzi before Latin letters, unlike the Windows peers' lists.
TEST(SortKeys, TextsOrderAsWindowsDoesPunctuationDigitsLatinThenHanzi) {
    EXPECT_EQ(
        sorted(gbk::SortType::Text, {"张三", "Zhang", "阿明", "abc", "10", "-", "Abc", "ab", "B"}),
        (Cells{"-", "10", "ab", "abc", "Abc", "B", "Zhang", "阿明", "张三"}));
    EXPECT_LT(gbk::compareTexts("zz", codepage::utf8ToGbk("阿")), 0);
    EXPECT_LT(gbk::compareTexts("9", "a"), 0);
    EXPECT_LT(gbk::compareTexts(codepage::utf8ToGbk("，"), "0"), 0);
}

TEST(SortKeys, DatesPutUnreadableTextsFirstAndClampTheEnds) {
    EXPECT_EQ(sorted(gbk::SortType::Date,
                     {"2026年12月7日", "不是日期", "2026年1月15日22时", "2026-01-15 21:59:59"}),
              (Cells{"不是日期", "2026-01-15 21:59:59", "2026年1月15日22时", "2026年12月7日"}));
    // Before 0100-01-01 and after 9999-12-31's start everything equals the bounds, so
    // these keep their order: stable among equals.
    EXPECT_EQ(sorted(gbk::SortType::Date, {"0099-12-31", "x", "0100-01-01", "0050-01-01"}),
              (Cells{"0099-12-31", "x", "0100-01-01", "0050-01-01"}));
    EXPECT_EQ(sorted(gbk::SortType::Date, {"9999-12-31 23:00", "9999-12-31", "9999-12-30"}),
              (Cells{"9999-12-30", "9999-12-31 23:00", "9999-12-31"}));
    // Times of day before 1899-12-30 in their right order.
    EXPECT_EQ(sorted(gbk::SortType::Date,
                     {"1899-12-30", "1899-12-29 18:00", "1899-12-29 06:00", "1899-12-28"}),
              (Cells{"1899-12-28", "1899-12-29 06:00", "1899-12-29 18:00", "1899-12-30"}));
}

TEST(SortKeys, SortTypeValuesOutsideTheThreeAreText) {
    EXPECT_EQ(gbk::sortTypeFromValue(0), gbk::SortType::WholeNumber);
    EXPECT_EQ(gbk::sortTypeFromValue(1), gbk::SortType::Text);
    EXPECT_EQ(gbk::sortTypeFromValue(2), gbk::SortType::Date);
    EXPECT_EQ(gbk::sortTypeFromValue(3), gbk::SortType::Text);
    EXPECT_EQ(gbk::sortTypeFromValue(-1), gbk::SortType::Text);
    EXPECT_TRUE(sorted(gbk::SortType::Date, {}).empty());
    EXPECT_EQ(sorted(gbk::SortType::WholeNumber, {"x"}), (Cells{"x"}));
}

}  // namespace
