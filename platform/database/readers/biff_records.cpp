// BIFF records and strings (see biff_records.h).
#include "platform/database/readers/biff_records.h"

#include <QStringDecoder>

#include "platform/database/fast_codec.h"

namespace db::xls {
namespace {


const char* decoderName(uint16_t codePage) {
    switch (codePage) {
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 10000:
    case 32768: return "macintosh";
    case 65001: return "UTF-8";
    default: return "windows-1252";  // 1252, 32769 and the unknown
    }
}

}  // namespace

void Pieces::chars(size_t count, bool wide, bool split, std::string& utf8) {
    char16_t pendingHigh = 0;
    while (ok_ && count > 0) {
        if (part_ < parts_.size() && at_ == parts_[part_].size() && split) {
            ++part_;
            at_ = 0;
            if (part_ == parts_.size() || parts_[part_].empty()) return void(ok_ = false);
            wide = (parts_[part_][at_++] & 1) != 0;
        }
        settle();
        if (part_ == parts_.size()) return void(ok_ = false);
        const std::string_view part = parts_[part_];
        const size_t width = wide ? 2 : 1;
        const size_t n = std::min(count, (part.size() - at_) / width);
        if (n == 0) return void(ok_ = false);  // half a UTF-16 unit before the boundary
        for (size_t i = 0; i < n; ++i, at_ += width) {
            const char16_t unit = wide ? static_cast<char16_t>(u16(part, at_))
                                       : static_cast<char16_t>(static_cast<unsigned char>(part[at_]));
            if (unit >= 0xD800 && unit < 0xDC00) {
                if (pendingHigh) codec::appendUtf8(0xFFFD, utf8);
                pendingHigh = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh) {
                codec::appendUtf8(0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00), utf8);
                pendingHigh = 0;
                continue;
            }
            if (pendingHigh) codec::appendUtf8(0xFFFD, utf8), pendingHigh = 0;
            codec::appendUtf8(unit >= 0xDC00 && unit < 0xE000 ? 0xFFFD : unit, utf8);
        }
        count -= n;
    }
    if (pendingHigh) codec::appendUtf8(0xFFFD, utf8);
}

void unicodeString(Pieces& in, bool shortCount, std::string& utf8) {
    const size_t count = shortCount ? in.byte() : in.word();
    const unsigned char options = in.byte();
    const uint16_t runs = (options & 0x08) ? in.word() : 0;
    const uint32_t phonetic = (options & 0x04) ? in.dword() : 0;
    in.chars(count, (options & 1) != 0, true, utf8);
    in.skip(uint64_t{runs} * 4 + phonetic);
}

std::string byteString(Pieces& in, bool shortCount) {
    const size_t count = shortCount ? in.byte() : in.word();
    std::string bytes;
    for (size_t i = 0; i < count && in.ok(); ++i) bytes.push_back(static_cast<char>(in.byte()));
    return bytes;
}

std::string codePageToUtf8(uint16_t codePage, std::string_view bytes) {
    if (codec::isAscii(bytes)) return std::string(bytes);
    if (codePage == 936) return codec::gbkToUtf8(bytes);
    QStringDecoder decoder(decoderName(codePage));
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
    return QString(decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())))).toStdString();
}

std::string codePageToGbk(uint16_t codePage, std::string_view bytes) {
    if (codePage == 936 || codec::isAscii(bytes)) return std::string(bytes);
    return codec::utf8ToGbk(codePageToUtf8(codePage, bytes));
}

}  // namespace db::xls
