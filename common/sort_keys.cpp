// Sort keys and comparisons of list cells (see sort_keys.h).
#include "common/sort_keys.h"

#include <unicode/ucol.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <cstring>

#include "text/date_reading.h"
#include "text/gbk_text.h"
#include "platform/database/fast_codec.h"

namespace gbk {
namespace {

int sign(int value) { return (value > 0) - (value < 0); }

// ICU's zh_CN collator, tertiary strength (case counts), punctuation not ignored, digits
// compared as characters ("10" before "9"). Chinese collation puts Han first of all
// scripts; Windows' comparison puts Latin letters before hanzi, so Latin is reordered
// first (punctuation and digits stay before every script). nullptr when ICU has no data:
// texts then compare as bytes.
UCollator* chineseCollator() {
    static UCollator* const collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("zh_CN", &status);
        if (U_FAILURE(status)) return static_cast<UCollator*>(nullptr);
        ucol_setAttribute(c, UCOL_STRENGTH, UCOL_TERTIARY, &status);
        ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        static const int32_t latinBeforeHan[] = {USCRIPT_LATIN, USCRIPT_HAN};
        ucol_setReorderCodes(c, latinBeforeHan, 2, &status);
        if (U_FAILURE(status)) {
            ucol_close(c);
            return static_cast<UCollator*>(nullptr);
        }
        return c;
    }();
    return collator;
}

// A GBK text as UTF-16 for the collator. The database component's memoised converter
// gives the same text as codepage.h without opening an ICU converter per cell, which a
// column of 100,000 cells would feel.
class Utf16Text {
  public:
    const std::u16string& of(std::string_view gbkText) {
        utf8_.clear();
        db::codec::appendGbkAsUtf8(gbkText, utf8_);
        utf16_.resize(utf8_.size() + 1);  // UTF-16 never needs more units than UTF-8 bytes
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8(utf16_.data(), static_cast<int32_t>(utf16_.size()), &length, utf8_.data(),
                      static_cast<int32_t>(utf8_.size()), &status);
        utf16_.resize(U_SUCCESS(status) ? static_cast<size_t>(length) : 0);
        return utf16_;
    }

  private:
    std::string utf8_;
    std::u16string utf16_;
};

// Appends the collation key of `text` (NUL included) to `keys`.
void appendSortKey(UCollator* collator, const std::u16string& text, std::string& keys) {
    const size_t start = keys.size();
    size_t room = 16 + text.size() * 6;
    for (;;) {
        keys.resize(start + room);
        const int32_t length = ucol_getSortKey(
            collator, reinterpret_cast<const UChar*>(text.data()),
            static_cast<int32_t>(text.size()), reinterpret_cast<uint8_t*>(keys.data() + start),
            static_cast<int32_t>(room));
        if (length <= 0) {  // ICU failed: an empty key, first in order
            keys.resize(start);
            keys.push_back('\0');
            return;
        }
        if (length <= static_cast<int32_t>(room)) {  // the length counts the closing NUL
            keys.resize(start + static_cast<size_t>(length));
            return;
        }
        room = static_cast<size_t>(length);
    }
}

}  // namespace

SortType sortTypeFromValue(int64_t value) {
    if (value == 0) return SortType::WholeNumber;
    if (value == 2) return SortType::Date;
    return SortType::Text;
}

int compareWholeNumbers(int64_t a, int64_t b) { return (a > b) - (a < b); }

int compareTexts(std::string_view a, std::string_view b) {
    UCollator* collator = chineseCollator();
    if (!collator) return sign(a.compare(b));
    Utf16Text first, second;
    const std::u16string& x = first.of(a);
    const std::u16string& y = second.of(b);
    return sign(ucol_strcoll(
        collator, reinterpret_cast<const UChar*>(x.data()), static_cast<int32_t>(x.size()),
        reinterpret_cast<const UChar*>(y.data()), static_cast<int32_t>(y.size())));
}

ColumnSortKeys::ColumnSortKeys(SortType type, size_t rows,
                               const std::function<std::string_view(size_t)>& cell)
    : type_(type), size_(rows) {
    switch (type_) {
        case SortType::WholeNumber:
            numbers_.reserve(rows);
            for (size_t i = 0; i < rows; ++i) numbers_.push_back(leadingWholeNumber(cell(i)));
            break;
        case SortType::Text: {
            UCollator* collator = chineseCollator();
            Utf16Text text;
            textKeyStart_.reserve(rows);
            for (size_t i = 0; i < rows; ++i) {
                textKeyStart_.push_back(textKeys_.size());
                if (collator) {
                    appendSortKey(collator, text.of(cell(i)), textKeys_);
                } else {
                    // Byte order; a NUL inside the text ends its key early.
                    textKeys_.append(cell(i));
                    textKeys_.push_back('\0');
                }
            }
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
            return sign(std::strcmp(textKeys_.data() + textKeyStart_[a],
                                    textKeys_.data() + textKeyStart_[b]));
        case SortType::Date:
            return (days_[a] > days_[b]) - (days_[a] < days_[b]);
    }
    return 0;
}

}  // namespace gbk
