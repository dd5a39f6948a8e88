// Sort keys and comparisons of list cells (see sort_keys.h).
#include "common/text/sort_keys.h"

#include <QCollator>
#include <QLocale>

#include "common/text/codepage.h"
#include "common/text/date_reading.h"
#include "common/text/gbk_text.h"

namespace gbk {
namespace {

const QCollator& chineseCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);  // "10" before "9", as a text comparison does
        return c;
    }();
    return collator;
}

int sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

SortType sortTypeFromValue(int64_t value) {
    if (value == 0) return SortType::WholeNumber;
    if (value == 2) return SortType::Date;
    return SortType::Text;
}

int compareWholeNumbers(int32_t a, int32_t b) { return (a > b) - (a < b); }

int compareTexts(std::string_view a, std::string_view b) {
    return sign(chineseCollator().compare(codepage::toQString(a), codepage::toQString(b)));
}

ColumnSortKeys::ColumnSortKeys(SortType type, size_t rows,
                               const std::function<std::string_view(size_t)>& cell)
    : type_(type), size_(rows) {
    switch (type_) {
        case SortType::WholeNumber:
            numbers_.reserve(rows);
            for (size_t i = 0; i < rows; ++i) numbers_.push_back(integerPart(cell(i)));
            break;
        case SortType::Text: {
            const QCollator& collator = chineseCollator();
            texts_.reserve(rows);
            for (size_t i = 0; i < rows; ++i)
                texts_.push_back(collator.sortKey(codepage::toQString(cell(i))));
            break;
        }
        case SortType::Date:
            // Clamped and made continuous here once; compareDateSerials would redo both for
            // every comparison and give the same order.
            days_.reserve(rows);
            for (size_t i = 0; i < rows; ++i)
                days_.push_back(continuousDays(clampDateSerial(dateSerialOfText(cell(i)))));
            break;
    }
}

int ColumnSortKeys::compare(size_t a, size_t b) const {
    switch (type_) {
        case SortType::WholeNumber:
            return compareWholeNumbers(numbers_[a], numbers_[b]);
        case SortType::Text:
            return sign(texts_[a].compare(texts_[b]));
        case SortType::Date:
            return (days_[a] > days_[b]) - (days_[a] < days_[b]);
    }
    return 0;
}

}  // namespace gbk
