// Encoding detection (see text_encoding.h).
#include "text/text_encoding.h"

namespace textenc {

Detected fromMark(std::string_view head) {
    if (head.size() >= 3 && head.substr(0, 3) == "\xEF\xBB\xBF") return {Encoding::Utf8, 3};
    if (head.size() >= 2 && head.substr(0, 2) == "\xFF\xFE") return {Encoding::Utf16LittleEndian, 2};
    if (head.size() >= 2 && head.substr(0, 2) == "\xFE\xFF") return {Encoding::Utf16BigEndian, 2};
    return {};
}

void Utf8Check::feed(unsigned char b) {
    if (!valid_) return;
    if (need_ > 0) {
        if (b < lo_ || b > hi_) {
            valid_ = false;
            return;
        }
        lo_ = 0x80, hi_ = 0xBF;
        if (--need_ == 0) multiByte_ = true;
        return;
    }
    if (b < 0x80) return;
    if (b >= 0xC2 && b <= 0xDF) {
        need_ = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need_ = 2;
        if (b == 0xE0) lo_ = 0xA0;  // no overlong forms
        if (b == 0xED) hi_ = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need_ = 3;
        if (b == 0xF0) lo_ = 0x90;
        if (b == 0xF4) hi_ = 0x8F;  // nothing beyond U+10FFFF
    } else {
        valid_ = false;
    }
}

Detected detect(std::string_view bytes) {
    if (Detected marked = fromMark(bytes); marked.markBytes > 0) return marked;
    Utf8Check check;
    check.feed(bytes);
    return {check.isUtf8() ? Encoding::Utf8 : Encoding::Gbk, 0};
}

Detected detectWithUnmarkedUtf16(std::string_view bytes) {
    if (Detected marked = fromMark(bytes); marked.markBytes > 0) return marked;
    if (bytes.size() % 2 == 0) {
        size_t even = 0, odd = 0;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\0') ++(i % 2 == 0 ? even : odd);
        // ASCII characters put their zero byte on one side; a CJK character with a zero
        // low byte (U+4E00) may put one on the other, far more seldom.
        if (odd > 2 * even) return {Encoding::Utf16LittleEndian, 0};
        if (even > 2 * odd) return {Encoding::Utf16BigEndian, 0};
    }
    return detect(bytes);
}

char16_t unitAt(std::string_view bytes, size_t at, Encoding encoding) {
    const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(encoding == Encoding::Utf16BigEndian ? (a << 8) | b : (b << 8) | a);
}

std::u16string utf16Units(std::string_view bytes, const Detected& detected) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = detected.markBytes; i + 1 < bytes.size(); i += 2) units.push_back(unitAt(bytes, i, detected.encoding));
    return units;
}

}  // namespace textenc
