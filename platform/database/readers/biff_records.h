// The record layer of BIFF5/BIFF8 workbook streams: little-endian reads, the walk over
// records, a record joined with its CONTINUE records, BIFF8 Unicode strings and BIFF5
// code-page strings. Every read is checked against the bytes given. What the records
// mean is xls_workbook.cpp's business.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace db::xls {

// Little-endian values at `at`; the caller has checked that they lie inside `b`.
inline uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
inline uint32_t u32(std::string_view b, size_t at) { return u16(b, at) | static_cast<uint32_t>(u16(b, at + 2)) << 16; }
inline double f64(std::string_view b, size_t at) {
    double value;
    std::memcpy(&value, b.data() + at, sizeof value);
    return value;
}

// One record: its type and its bytes, which lie inside the stream.
struct Record {
    uint16_t type = 0;
    std::string_view data;
};

// Walks the records of the stream from an offset. next() is false at the end of the
// stream, and at a record that cannot be one; damage() then says which. BIFF8 caps a
// record at 8,224 bytes (BIFF5 at less): a longer length is damage, not a record that
// swallows those after it. No BIFF5/BIFF8 record has type 0: that is zeroed bytes,
// which would otherwise read as a run of empty records and resume anywhere.
class Records {
public:
    enum class Damage { None, Truncated, TooLong, NotARecord };
    static constexpr size_t kMaxLength = 8224;

    Records(std::string_view stream, size_t at) : stream_(stream), at_(at) {}
    bool next(Record& record) {
        if (at_ >= stream_.size()) return false;
        if (stream_.size() - at_ < 4) return fail(Damage::Truncated);
        const uint16_t type = u16(stream_, at_), length = u16(stream_, at_ + 2);
        if (type == 0) return fail(Damage::NotARecord);
        if (length > kMaxLength) return fail(Damage::TooLong);
        if (stream_.size() - at_ - 4 < length) return fail(Damage::Truncated);
        record.type = type;
        record.data = stream_.substr(at_ + 4, length);
        at_ += 4 + size_t{length};
        return true;
    }
    // The type of the record that next() would give, 0 at the end.
    uint16_t peek() const { return stream_.size() - at_ >= 4 ? u16(stream_, at_) : 0; }
    Damage damage() const { return damage_; }

private:
    bool fail(Damage damage) {
        damage_ = damage;
        return false;
    }
    std::string_view stream_;
    size_t at_;
    Damage damage_ = Damage::None;
};

// A record's bytes with those of the CONTINUE records after it, read as one sequence.
// BIFF8 strings split between records start again with their option byte in the next
// piece (chars()). Every read is checked; a failed read leaves ok() false.
class Pieces {
public:
    explicit Pieces(std::string_view first) { parts_.push_back(first); }
    void add(std::string_view more) { parts_.push_back(more); }

    bool ok() const { return ok_; }
    bool atEnd() {
        settle();
        return part_ == parts_.size();
    }
    unsigned char byte() {
        settle();
        if (!ok_ || part_ == parts_.size()) return ok_ = false, 0;
        return static_cast<unsigned char>(parts_[part_][at_++]);
    }
    uint16_t word() {
        const unsigned char low = byte();
        return static_cast<uint16_t>(low | byte() << 8);
    }
    uint32_t dword() {
        const uint16_t low = word();
        return low | static_cast<uint32_t>(word()) << 16;
    }
    void skip(uint64_t count) {
        while (ok_ && count > 0) {
            settle();
            if (part_ == parts_.size()) return void(ok_ = false);
            const size_t take = static_cast<size_t>(std::min<uint64_t>(count, parts_[part_].size() - at_));
            at_ += take;
            count -= take;
        }
    }
    // `count` characters, one byte each (Latin-1) or two (UTF-16LE) as `wide` says, as UTF-8.
    // `split` says whether a piece boundary inside them brings a fresh option byte
    // (strings of BIFF8) or not.
    void chars(size_t count, bool wide, bool split, std::string& utf8);

private:
    // Steps over exhausted pieces (outside strings a boundary means nothing).
    void settle() {
        while (part_ < parts_.size() && at_ == parts_[part_].size()) ++part_, at_ = 0;
    }
    std::vector<std::string_view> parts_;
    size_t part_ = 0, at_ = 0;
    bool ok_ = true;
};

// A BIFF8 string: a character count (two bytes, or one for `shortCount`), the option
// byte, rich-text and phonetic sizes when flagged, the characters, then the runs and
// phonetic data, skipped. Appends UTF-8 to `utf8`.
void unicodeString(Pieces& in, bool shortCount, std::string& utf8);
// A BIFF5 byte string of the workbook's code page (count of one or two bytes).
std::string byteString(Pieces& in, bool shortCount);

// A text of a workbook code page (BIFF5 byte strings, format codes) as UTF-8 and as GBK.
std::string codePageToUtf8(uint16_t codePage, std::string_view bytes);
std::string codePageToGbk(uint16_t codePage, std::string_view bytes);

}  // namespace db::xls
