// Ordering the texts of a list column by one of three sort types: whole numbers, text
// (hanzi by pinyin) or dates. Both programs' lists sort through this.
//
// Each cell is converted once into a key (its leading whole number, its collation key or
// its day number); comparing two rows then compares keys only, so a sort of n rows
// converts n texts rather than two per comparison. Results are as if every comparison converted its
// two texts anew.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gbk {

// The values of a sort-type choice: 0 whole numbers, 1 text, 2 dates.
enum class SortType { WholeNumber = 0, Text = 1, Date = 2 };
// 0, 1 and 2 as themselves; any other value (an "other" item, no selection) is text.
SortType sortTypeFromValue(int64_t value);

// The sign of a - b: -1, 0 or 1. (A difference cut to 32 bits would give the wrong sign
// for operands far apart.)
int compareWholeNumbers(int64_t a, int64_t b);

// The text order of Windows' code page 936 comparison, which the lists of Windows peers
// show: punctuation, digits, Latin letters (without regard to case first, then lower case
// before upper case), then hanzi by pinyin. Case-sensitive, so texts differing only in
// case are not equal. -1, 0 or 1. (ICU's zh_CN collation with Latin moved before Han.)
int compareTexts(std::string_view a, std::string_view b);

// The keys of one column's cells, cell(i) giving the GBK text of row i.
class ColumnSortKeys {
  public:
    ColumnSortKeys(SortType type, size_t rows, const std::function<std::string_view(size_t)>& cell);

    SortType type() const { return type_; }
    size_t size() const { return size_; }
    // Rows a and b in ascending order (smallest number, lowest text, earliest date first):
    // negative when a goes first, positive when b does, 0 when their keys are equal.
    // Numbers are the cells' leading integers (leadingWholeNumber); dates
    // are the date reading's day numbers, unreadable texts counting as the first date.
    int compare(size_t a, size_t b) const;

  private:
    SortType type_;
    size_t size_;
    std::vector<int64_t> numbers_;
    std::vector<double> days_;
    // Collation keys, each ending in a NUL byte and holding no other, one after another.
    std::string textKeys_;
    std::vector<size_t> textKeyStart_;
};

}  // namespace gbk
