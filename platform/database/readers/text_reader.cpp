// The text/CSV reader: a header row of field names, then comma-separated records.
//
// What it accepts, and why:
// - Fields are separated by commas whatever the extension (.txt, .csv, .tab): without a
//   schema.ini the Jet text driver reads every file as comma-delimited, and so do we.
// - A field that starts with a double quote runs to the matching quote; "" inside stands
//   for one quote, and commas and line breaks inside are data. Bytes after the closing
//   quote, up to the next comma, are kept as they stand ("ab"c gives abc).
// - An opening quote that is never closed (a stray quote, typically on the last line) is
//   taken as an ordinary character and the field ends at the next comma or line end as
//   if unquoted: the rest of the file is read normally instead of vanishing into one
//   field. The reader seeks back to the quote to do so.
// - Records end at CR LF, LF or a lone CR. Blank lines are skipped.
// - A file that is valid UTF-8 and holds at least one multi-byte character, or that
//   starts with the UTF-8 byte-order mark, is read as UTF-8 and converted to GBK; anything
//   else is GBK already. A file that starts with a UTF-16 byte-order mark (FF FE or FE FF:
//   what Windows editors save as "Unicode") is read as UTF-16 and converted likewise. The
//   mark is never part of the first field name.
// - A field name holding a NUL byte cannot name a column: the file is refused, saying so.
// - Rows shorter than the header are padded with NULL; cells beyond the header are
//   dropped. A header cell that is empty names its field F<n> (n = column number).
//
// The file is read in blocks (twice: once to tell the encoding, once to parse) and rows
// are streamed to the sink, so memory does not grow with the file (except for a UTF-16
// file, which is converted whole in memory first).
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "text/codepage.h"
#include "text/text_encoding.h"
#include "platform/database/fast_codec.h"
#include "platform/database/readers/readers.h"
#include "platform/database/table_sink.h"

namespace db {
namespace {

// The Jet text driver guesses a column's type from the first MaxScanRows data rows
// (25 unless configured otherwise): a column whose non-empty values there are all
// integers becomes an integer column, all numbers a floating-point column, anything else
// (a single non-number, or nothing but empty cells) a text column. Later values in a
// numeric column that are not numbers read as NULL, as the driver gives them. Unlike the
// driver we do not guess dates: a date-like column stays text and shows as written.
constexpr size_t kScanRows = 25;

std::string gbkMessage(const char* utf8) { return codepage::utf8ToGbk(utf8); }

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Buffered byte reading with seeking back, for the unclosed-quote recovery.
class ByteStream {
public:
    explicit ByteStream(FILE* file) : file_(file) {}
    int get() {
        if (pos_ == end_ && !refill()) return EOF;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }
    int peek() {
        if (pos_ == end_ && !refill()) return EOF;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    long long offset() const { return base_ + static_cast<long long>(pos_); }
    void seek(long long offset) {
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) failed_ = true;
        base_ = offset;
        pos_ = end_ = 0;
    }
    bool failed() const { return failed_; }

private:
    bool refill() {
        base_ += static_cast<long long>(end_);
        pos_ = 0;
        end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (end_ == 0 && std::ferror(file_)) failed_ = true;
        return end_ > 0;
    }
    FILE* file_;
    std::array<char, 1 << 16> buffer_{};
    size_t pos_ = 0, end_ = 0;
    long long base_ = 0;
    bool failed_ = false;
};

// Reads the whole file once (or until a byte rules UTF-8 out): true when it is UTF-8 by
// the shared rules. `bom` tells whether it starts with EF BB BF.
bool looksLikeUtf8(ByteStream& in, bool& bom) {
    textenc::Utf8Check check;
    std::string head;
    for (int c; !check.ruledOut() && (c = in.get()) != EOF;) {
        if (head.size() < 3) head += static_cast<char>(c);
        check.feed(static_cast<unsigned char>(c));
    }
    bom = textenc::fromMark(head).encoding == textenc::Encoding::Utf8;
    return check.isUtf8();
}

// The encoding a UTF-16 byte-order mark names, Gbk when the file has none.
textenc::Encoding utf16Mark(FILE* file) {
    char head[2] = {};
    const size_t got = std::fread(head, 1, 2, file);
    std::rewind(file);
    const textenc::Encoding marked = textenc::fromMark(std::string_view(head, got)).encoding;
    return marked == textenc::Encoding::Utf8 ? textenc::Encoding::Gbk : marked;
}


// The UTF-16 file after its mark, as UTF-8 (a lone surrogate becomes U+FFFD, which
// code page 936 shows as "?"; an odd last byte is dropped). False on a read error.
bool utf16FileAsUtf8(FILE* file, textenc::Encoding encoding, std::string& out) {
    std::string bytes;
    char chunk[1 << 16];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
    if (std::ferror(file)) return false;
    auto unit = [&](size_t i) { return textenc::unitAt(bytes, i, encoding); };
    out.clear();
    out.reserve(bytes.size());
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                codec::appendUtf8(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00), out);
                i += 2;
                continue;
            }
        }
        codec::appendUtf8(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u, out);
    }
    return true;
}

class CsvParser {
public:
    explicit CsvParser(ByteStream& in) : in_(in) {}

    // The next non-blank record into `fields`; false at the end of the file.
    bool next(std::vector<std::string>& fields) {
        for (;;) {
            fields.clear();
            if (in_.peek() == EOF) return false;
            bool quoted = readRecord(fields);
            if (fields.size() == 1 && fields[0].empty() && !quoted) continue;  // blank line
            return true;
        }
    }

private:
    bool isEnd(int c) const { return c == ',' || c == '\r' || c == '\n' || c == EOF; }

    // Appends bytes up to a comma, a line end or the end of the file; returns that byte
    // (consumed), EOF at the end.
    int readTail(std::string& field) {
        for (;;) {
            const int c = in_.get();
            if (isEnd(c)) return c;
            field += static_cast<char>(c);
        }
    }

    // One record; true when any of its fields was quoted.
    bool readRecord(std::vector<std::string>& fields) {
        bool anyQuoted = false;
        std::string field;
        for (;;) {
            int c = in_.get();
            int end;
            if (c == '"') {
                anyQuoted = true;
                const long long quoteAt = in_.offset() - 1;
                if (readQuoted(field)) {
                    end = readTail(field);
                } else {
                    in_.seek(quoteAt + 1);
                    field.assign(1, '"');
                    end = readTail(field);
                }
            } else if (isEnd(c)) {
                end = c;
            } else {
                field += static_cast<char>(c);
                end = readTail(field);
            }
            fields.push_back(std::move(field));
            field.clear();
            if (end == ',') continue;
            if (end == '\r' && in_.peek() == '\n') in_.get();
            return anyQuoted;
        }
    }

    // After an opening quote: the field up to its closing quote. False when the file ends
    // first.
    bool readQuoted(std::string& field) {
        for (;;) {
            const int c = in_.get();
            if (c == EOF) return false;
            if (c == '"') {
                if (in_.peek() != '"') return true;
                in_.get();
            }
            field += static_cast<char>(c);
        }
    }

    ByteStream& in_;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Plain decimal numbers only (sign, digits, point, exponent); no "inf", "nan" or hex.
bool startsLikeNumber(std::string_view s) {
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    if (!s.empty() && s.front() == '.') s.remove_prefix(1);
    return !s.empty() && s.front() >= '0' && s.front() <= '9';
}

bool parseInteger(std::string_view s, int64_t& out) {
    s = trimmed(s);
    if (!startsLikeNumber(s)) return false;
    if (s.front() == '+') s.remove_prefix(1);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool parseFloat(std::string_view s, double& out) {
    s = trimmed(s);
    if (!startsLikeNumber(s)) return false;
    if (s.front() == '+') s.remove_prefix(1);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

std::vector<ColumnType> guessTypes(size_t columns, const std::vector<std::vector<std::string>>& rows) {
    std::vector<ColumnType> types(columns, ColumnType::Text);
    for (size_t c = 0; c < columns; ++c) {
        bool seen = false, integers = true, numbers = true;
        for (const auto& row : rows) {
            if (c >= row.size() || trimmed(row[c]).empty()) continue;
            int64_t i;
            double d;
            if (parseInteger(row[c], i)) seen = true;
            else if (parseFloat(row[c], d)) seen = true, integers = false;
            else { numbers = false; break; }
        }
        if (seen && numbers) types[c] = integers ? ColumnType::Integer : ColumnType::Float;
    }
    return types;
}

Value toValue(std::string& cell, ColumnType type) {
    if (type == ColumnType::Text) {
        if (cell.empty()) return Null{};
        return std::move(cell);
    }
    int64_t i;
    double d;
    // An integer column keeps a later fractional value rather than losing it.
    if (type == ColumnType::Integer && parseInteger(cell, i)) return i;
    if (parseFloat(cell, d)) return d;
    return Null{};
}

}  // namespace

bool readTextTableInto(const std::string& path, TableSink& sink, std::string& error) {
    std::string converted;  // a UTF-16 file as UTF-8; outlives the stream reading it
    File file(std::fopen(codepage::toLocalPath(path).c_str(), "rb"));
    if (!file) {
        error = gbkMessage("无法打开文本文件：") + path;
        return false;
    }
    // A UTF-16 file is converted to UTF-8 in memory and read from there.
    if (const textenc::Encoding mark = utf16Mark(file.get()); mark != textenc::Encoding::Gbk) {
        if (!utf16FileAsUtf8(file.get(), mark, converted)) {
            error = gbkMessage("读文本文件出错：") + path;
            return false;
        }
        file.reset(converted.empty() ? std::tmpfile() : fmemopen(converted.data(), converted.size(), "rb"));
        if (!file) {
            error = gbkMessage("无法打开文本文件：") + path;
            return false;
        }
    }
    ByteStream in(file.get());
    bool bom = false;
    const bool utf8 = looksLikeUtf8(in, bom) || bom || !converted.empty();
    if (in.failed()) {
        error = gbkMessage("读文本文件出错：") + path;
        return false;
    }
    in.seek(bom ? 3 : 0);

    CsvParser parser(in);
    std::vector<std::string> fields;
    auto toGbk = [utf8](std::vector<std::string>& cells) {
        if (!utf8) return;
        for (auto& cell : cells)
            if (!codec::isAscii(cell)) cell = codec::utf8ToGbk(cell);
    };
    if (!parser.next(fields)) {
        error = gbkMessage("文本文件是空的，没有标题行：") + path;
        return false;
    }
    toGbk(fields);
    std::vector<std::string> names = std::move(fields);
    for (size_t c = 0; c < names.size(); ++c) {
        if (names[c].empty()) names[c] = "F" + std::to_string(c + 1);
        if (names[c].find('\0') != std::string::npos) {
            error = gbkMessage("文本文件“") + path + gbkMessage("”的标题行第 ") + std::to_string(c + 1) +
                    gbkMessage(" 个字段名中有空字符（NUL），文件可能已损坏或不是文本文件。");
            return false;
        }
    }

    std::vector<std::vector<std::string>> scanned;
    while (scanned.size() < kScanRows && parser.next(fields)) {
        toGbk(fields);
        scanned.push_back(std::move(fields));
    }
    const std::vector<ColumnType> types = guessTypes(names.size(), scanned);
    if (!sink.begin(names, types, error)) return false;

    std::vector<Value> row(names.size());
    auto pushRow = [&](std::vector<std::string>& cells) {
        for (size_t c = 0; c < names.size(); ++c)
            row[c] = c < cells.size() ? toValue(cells[c], types[c]) : Value(Null{});
        return sink.addRow(row, error);
    };
    for (auto& cells : scanned)
        if (!pushRow(cells)) return false;
    scanned.clear();
    while (parser.next(fields)) {
        toGbk(fields);
        if (!pushRow(fields)) return false;
    }
    if (in.failed()) {
        error = gbkMessage("读文本文件出错：") + path;
        return false;
    }
    return true;
}

bool readTextTable(const std::string& path, LoadedTable& out, std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readTextTableInto(path, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace db
