// Access .mdb reader (Jet 3 and Jet 4) on mdbtools' libmdb.
//
// libmdb follows page numbers, usage maps and row offsets as the file gives them, and
// not all of them are checked: a table definition whose usage map is an empty row makes
// it fault. So before libmdb follows anything we check it can: table definition pages
// lie inside the file, usage and free maps are rows inside their pages, a table has a
// plausible number of columns, memo rows lie inside their pages. libmdb runs in-process,
// which keeps the first search fast (a child process per read costs more than the read
// on small tables).
//
// libmdb finds the pages, table definitions and rows; everything it would turn into text
// we take from the raw row ourselves, because its own conversion loses what the programs
// need: NULL and "" look alike, dates outside 1900-4637 come out wrong, memos are cut at
// the bind size and damaged files silently lose rows. So each row libmdb fetches is
// cracked again for its null flags and raw bytes, memos are followed page by page here,
// and the row count is checked against the table's own count. The catalogue is read the
// same way, as a table (see readCatalogue). The database password is checked before
// libmdb sees the file, which it would open without one (mdb_password.h).
//
// Text: Jet 4 stores UTF-16 (optionally "compressed"), which becomes GBK. Jet 3 stores
// the bytes of the code page of the Windows that wrote the file; the file itself does
// not say which (its header claims 1252 even on Chinese systems), and Jet reads them in
// the code page of the machine, which for the Windows machines these files come from is
// 936. So Jet 3 bytes are kept as they are: they are GBK already.
#include <glib.h>  // before mdbtools.h, which uses glib types without including it in C++

#include <mdbtools.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/codepage.h"
#include "text/gbk_text.h"
#include "platform/database/readers/mdb_password.h"
#include "platform/database/readers/readers.h"
#include "platform/database/table_sink.h"

namespace db {
namespace {

constexpr int kOffsetMask = 0x1FFF;   // row offsets carry flags in their top bits
constexpr int kMemoOverhead = 12;     // length/flags, page-row pointer, reserved

std::string gbkText(const char* utf8) { return codepage::utf8ToGbk(utf8); }

// libmdb reports damaged pages on standard error ("offset ... is beyond EOF"); the reader
// reports them itself, so its chatter goes to /dev/null while libmdb runs. Sanitizer
// builds keep standard error, where a sanitizer's report inside libmdb must show.
class StderrGuard {
public:
    StderrGuard() {
#if !defined(__SANITIZE_ADDRESS__)
        std::fflush(stderr);
        saved_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, 2);
        if (null >= 0) ::close(null);
#endif
    }
    ~StderrGuard() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    StderrGuard(const StderrGuard&) = delete;
    StderrGuard& operator=(const StderrGuard&) = delete;

private:
    int saved_ = -1;
};

// A Jet 3 password is text: up to 20 bytes of GBK without control characters, the rest
// of its field zero (decodeJetHeader stops at the first zero). Anything else there is a
// damaged header, which must not be reported as a wrong password.
bool plausibleJet3Password(const std::string& password) {
    for (size_t i = 0; i < password.size(); ++i) {
        const auto c = static_cast<unsigned char>(password[i]);
        if (c < 0x20 || c == 0x7F || c == 0x80 || c == 0xFF) return false;
        if (c > 0x80) {
            const auto trail = i + 1 < password.size() ? static_cast<unsigned char>(password[i + 1]) : 0;
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
            ++i;
        }
    }
    return true;
}

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Jet 4 text: UTF-16LE, or after FF FE "compressed": single bytes for U+0001-U+00FF with
// a zero byte switching between single bytes and whole UTF-16 units.
std::u16string jet4Units(const unsigned char* p, size_t n) {
    std::u16string units;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bool compressed = true;
        units.reserve(n);
        for (size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units += static_cast<char16_t>(p[i++]);
            } else if (i + 1 < n) {
                units += static_cast<char16_t>(p[i] | (p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return units;
    }
    units.reserve(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2) units += static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    return units;
}

// UTF-16 to GBK a character at a time, each distinct character converted once through
// the code-page edge and remembered: a fresh converter per value would cost more than
// reading the whole table. Gives exactly codepage::utf16ToGbk's bytes, "?" for what code
// page 936 cannot hold (characters beyond the BMP and lone surrogates included).
class GbkEncoder {
public:
    void append(const std::u16string& units, std::string& out) {
        for (size_t i = 0; i < units.size(); ++i) {
            const char16_t u = units[i];
            if (u < 0x80) {
                out += static_cast<char>(u);
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                // A pair is one character code page 936 has no code for, as is a lone half.
                if (u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) ++i;
                out += '?';
            } else {
                uint16_t code = codes_[u];
                if (code == kUnknown) code = codes_[u] = encodeOne(u);
                if (code > 0xFF) out += static_cast<char>(code >> 8);
                out += static_cast<char>(code & 0xFF);
            }
        }
    }

private:
    static constexpr uint16_t kUnknown = 0xFFFF;  // no GBK code starts with 0xFF
    static uint16_t encodeOne(char16_t u) {
        const std::string bytes = codepage::utf16ToGbk(std::u16string_view(&u, 1));
        if (bytes.size() == 1) return static_cast<unsigned char>(bytes[0]);
        if (bytes.size() == 2)
            return static_cast<uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]));
        return '?';
    }
    std::vector<uint16_t> codes_ = std::vector<uint16_t>(0x10000, kUnknown);
};

// Days since 1899-12-30 as Access stores them: the integer part is the day (negative
// before 1899-12-30) and the fraction's absolute value the time of that day. Returns
// false outside the years 100-9999, which Access cannot hold (a damaged value).
bool accessDate(double value, gbk::DateTime& out) {
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0) return false;
    double dayPart = std::trunc(value);
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(value - dayPart) * 86400.0));
    auto day = static_cast<int64_t>(dayPart);
    if (seconds >= 86400) { day += 1; seconds -= 86400; }
    // Civil date from a day count (days since 1970-01-01; 1899-12-30 is day -25569).
    int64_t z = day - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    if (y < 100 || y > 9999) return false;
    out = gbk::DateTime{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d),
                        static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                        static_cast<int>(seconds % 60)};
    return true;
}

ColumnType columnTypeOf(int mdbType) {
    switch (mdbType) {
    case MDB_BOOL: return ColumnType::Boolean;
    case MDB_BYTE: case MDB_INT: case MDB_LONGINT: case MDB_COMPLEX: return ColumnType::Integer;
    case MDB_FLOAT: return ColumnType::Single;
    case MDB_MONEY: case MDB_DOUBLE: case MDB_NUMERIC: return ColumnType::Float;
    case MDB_DATETIME: return ColumnType::DateTime;
    case MDB_OLE: case MDB_BINARY: return ColumnType::Bytes;
    default: return ColumnType::Text;  // text, memo, replication id; unknown kinds as NULL text
    }
}

struct TableFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableFree>;

// One open Access file: header and password checked, libmdb handle, user tables.
class AccessFile {
public:
    AccessFile() = default;
    AccessFile(const AccessFile&) = delete;
    AccessFile& operator=(const AccessFile&) = delete;
    ~AccessFile() {
        if (mdb_ != nullptr) mdb_close(mdb_);
    }

    bool open(const std::string& path, const std::string& password, std::string& error);
    // User tables in catalogue order: GBK name and catalogue entry (owned by this object).
    const std::vector<std::pair<std::string, MdbCatalogEntry*>>& tables() const { return tables_; }
    bool readTable(MdbCatalogEntry* entry, TableSink& sink, std::string& error);

private:
    TablePtr openTable(MdbCatalogEntry* entry);
    // Hands every row of the table to `take`, the `wanted` columns converted (the others
    // left NULL); `take` may move from the values and returns false to stop. False when
    // a row cannot be read, the count differs from the table's own, or `take` stopped
    // (then `stopped` is set).
    using RowTaker = std::function<bool(std::vector<Value>& row)>;
    bool readRows(MdbTableDef* table, const std::vector<bool>& wanted, const RowTaker& take, bool& stopped);
    bool readCatalogue();

    std::string nameToGbk(const char* name) const {
        return jet4_ ? codepage::utf8ToGbk(name) : std::string(name);
    }
    bool readLongValue(const unsigned char* field, size_t size, std::string& bytes);
    bool convertField(const MdbColumn& column, const MdbField& field, Value& value);
    std::string damaged(const char* what) const {
        return gbkText("数据库“") + path_ + gbkText("”已损坏：") + gbkText(what);
    }
    // Whether page-row `pageRow` names a row that lies inside its page (a page of the file).
    bool pageRowInside(uint32_t pageRow);
    // Whether the row at `start` of the data page in libmdb's buffer lies in the page's row
    // area and holds columns.
    bool rowWritten(int start, size_t size) const;

    MdbHandle* mdb_ = nullptr;
    bool jet4_ = false;
    std::string path_;
    long long pages_ = 0;
    GbkEncoder encoder_;
    std::vector<std::pair<std::string, MdbCatalogEntry*>> tables_;
    // Catalogue entries made here; libmdb's tables point at them while they are read.
    std::unique_ptr<MdbCatalogEntry> msysObjects_;
    std::vector<std::unique_ptr<MdbCatalogEntry>> entries_;
};

bool AccessFile::open(const std::string& path, const std::string& password, std::string& error) {
    path_ = path;
    const std::string local = codepage::toLocalPath(path);
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = gbkText("找不到文件：") + path;
        return false;
    }
    unsigned char page0[kJetHeaderSize];
    std::FILE* file = std::fopen(local.c_str(), "rb");
    if (file == nullptr) {
        error = gbkText("无法读取文件：") + path;
        return false;
    }
    const size_t got = std::fread(page0, 1, sizeof page0, file);
    std::fclose(file);
    JetHeader header;
    if (!decodeJetHeader(page0, got, header)) {
        error = gbkText("不是可以识别的 Access 数据库（.mdb）：") + path;
        return false;
    }
    jet4_ = header.jet4;
    // libmdb trusts the file's length and page links; a file that is not whole pages, or
    // too short to hold the catalogue, is refused before it sees it.
    const long long pageSize = jet4_ ? 4096 : 2048;
    pages_ = info.st_size / pageSize;
    if (info.st_size % pageSize != 0 || pages_ < 3) {
        error = damaged("文件长度不是整页，文件不完整。");
        return false;
    }
    if (!jet4_ && !plausibleJet3Password(header.jet3Password)) {
        error = damaged("文件头已损坏。");
        return false;
    }
    if (!passwordOpens(header, password)) {
        error = gbkText("不是有效的密码。");
        return false;
    }

    StderrGuard quiet;
    mdb_ = mdb_open(local.c_str(), MDB_NOFLAGS);
    if (mdb_ == nullptr || (mdb_->f->jet_version != MDB_VER_JET3 && mdb_->f->jet_version != MDB_VER_JET4)) {
        error = damaged("无法打开。");
        return false;
    }
    if (!jet4_) {
        // Keep Jet 3 column names as raw bytes too: libmdb would read them as code page 1252.
        if (mdb_->iconv_in != reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1))) iconv_close(mdb_->iconv_in);
        mdb_->iconv_in = iconv_open("ISO-8859-1", "ISO-8859-1");
    }
    if (!readCatalogue()) {
        error = damaged("表目录无法读取。");
        return false;
    }
    return true;
}

// A memo or OLE value: inline in the row, in one row of a long-value page, or in a chain
// of such rows. Every page-row is looked up through libmdb, which checks it lies within
// its page; the chain is bounded by the file's page count.
bool AccessFile::readLongValue(const unsigned char* field, size_t size, std::string& bytes) {
    bytes.clear();
    if (size == 0) return true;
    if (size < kMemoOverhead) return false;
    const uint32_t head = le32(field);
    const uint32_t length = head & 0x3FFFFFFFu;
    if ((head & 0x80000000u) != 0) {
        bytes.assign(reinterpret_cast<const char*>(field) + kMemoOverhead, size - kMemoOverhead);
        return true;
    }
    uint32_t pageRow = le32(field + 4);
    void* buffer = nullptr;
    int offset = 0;
    size_t rowLength = 0;
    if ((head & 0x40000000u) != 0) {
        if (!pageRowInside(pageRow) ||
            mdb_find_pg_row(mdb_, static_cast<int>(pageRow), &buffer, &offset, &rowLength) != 0)
            return false;
        bytes.assign(static_cast<const char*>(buffer) + offset, std::min<size_t>(rowLength, length));
        return true;
    }
    if ((head & 0xFF000000u) != 0) return false;
    for (long long hops = 0; bytes.size() < length; ++hops) {
        if (hops > pages_ || !pageRowInside(pageRow)) return false;
        if (mdb_find_pg_row(mdb_, static_cast<int>(pageRow), &buffer, &offset, &rowLength) != 0 || rowLength < 4)
            return false;
        const auto* row = static_cast<const unsigned char*>(buffer) + offset;
        const size_t take = std::min<size_t>(rowLength - 4, length - bytes.size());
        bytes.append(reinterpret_cast<const char*>(row) + 4, take);
        pageRow = le32(row);
    }
    return true;
}

bool AccessFile::convertField(const MdbColumn& column, const MdbField& field, Value& value) {
    if (column.col_type == MDB_BOOL) {  // kept in the null mask: set means true
        value = field.is_null == 0;
        return true;
    }
    if (field.is_null != 0) {
        value = Null{};
        return true;
    }
    const auto pageSize = static_cast<long long>(mdb_->fmt->pg_size);
    if (field.start < 0 || field.siz < 0 || static_cast<long long>(field.start) + field.siz > pageSize)
        return false;
    const unsigned char* p = mdb_->pg_buf + field.start;
    const auto size = static_cast<size_t>(field.siz);
    auto need = [&](size_t n) { return size >= n; };
    switch (column.col_type) {
    case MDB_BYTE:
        if (!need(1)) return false;
        value = static_cast<int64_t>(p[0]);
        return true;
    case MDB_INT:
        if (!need(2)) return false;
        value = static_cast<int64_t>(static_cast<int16_t>(p[0] | (p[1] << 8)));
        return true;
    case MDB_LONGINT:
    case MDB_COMPLEX:
        if (!need(4)) return false;
        value = static_cast<int64_t>(static_cast<int32_t>(le32(p)));
        return true;
    case MDB_MONEY: {
        if (!need(8)) return false;
        const uint64_t raw = le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32);
        value = static_cast<double>(static_cast<int64_t>(raw)) / 10000.0;
        return true;
    }
    case MDB_FLOAT: {
        if (!need(4)) return false;
        float single = 0;
        std::memcpy(&single, p, 4);
        // Widened through its shortest text (0.1f gives 0.1, not 0.100000001490116), so
        // that a search for the number as written finds it; the column shows it with a
        // single's six significant digits.
        char text[32];
        auto written = std::to_chars(text, text + sizeof text, single);
        double widened = single;
        std::from_chars(text, written.ptr, widened);
        value = widened;
        return true;
    }
    case MDB_DOUBLE: {
        if (!need(8)) return false;
        double d = 0;
        std::memcpy(&d, p, 8);
        value = d;
        return true;
    }
    case MDB_NUMERIC: {
        if (!need(17)) return false;
        char* text = mdb_numeric_to_string(mdb_, field.start, column.col_scale, column.col_prec);
        double d = 0;
        if (text != nullptr) std::from_chars(text, text + std::strlen(text), d);
        g_free(text);
        value = d;
        return true;
    }
    case MDB_DATETIME: {
        if (!need(8)) return false;
        double d = 0;
        std::memcpy(&d, p, 8);
        gbk::DateTime date;
        if (accessDate(d, date)) value = date;
        else value = Null{};
        return true;
    }
    case MDB_TEXT:
        if (jet4_) {
            std::string text;
            encoder_.append(jet4Units(p, size), text);
            value = std::move(text);
        } else {
            value = std::string(reinterpret_cast<const char*>(p), size);
        }
        return true;
    case MDB_MEMO: {
        std::string bytes;
        if (!readLongValue(p, size, bytes)) return false;
        if (jet4_) {
            std::string text;
            encoder_.append(jet4Units(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), text);
            value = std::move(text);
        } else {
            value = std::move(bytes);
        }
        return true;
    }
    case MDB_OLE: {
        std::string bytes;
        if (!readLongValue(p, size, bytes)) return false;
        value = Bytes{std::vector<unsigned char>(bytes.begin(), bytes.end())};
        return true;
    }
    case MDB_BINARY:
        value = Bytes{std::vector<unsigned char>(p, p + size)};
        return true;
    case MDB_REPID: {
        if (!need(16)) return false;
        char text[40];
        std::snprintf(text, sizeof text,
                      "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      p[3], p[2], p[1], p[0], p[5], p[4], p[7], p[6], p[8], p[9], p[10], p[11],
                      p[12], p[13], p[14], p[15]);
        value = std::string(text);
        return true;
    }
    default:
        value = Null{};
        return true;
    }
}

bool AccessFile::pageRowInside(uint32_t pageRow) {
    const uint32_t page = pageRow >> 8, row = pageRow & 0xFF;
    // The page goes into libmdb's second buffer: the first holds the data page being read.
    if (page == 0 || page >= static_cast<unsigned long long>(pages_) || mdb_read_alt_pg(mdb_, page) == 0) return false;
    unsigned char* buffer = mdb_->alt_pg_buf;
    const int pageSize = mdb_->fmt->pg_size, counts = mdb_->fmt->row_count_offset;
    if (counts + 2 + 2 * static_cast<int>(row) + 2 > pageSize || static_cast<int>(row) >= mdb_get_int16(buffer, counts))
        return false;
    const int start = mdb_get_int16(buffer, counts + 2 + 2 * static_cast<int>(row)) & kOffsetMask;
    const int end = row == 0 ? pageSize : mdb_get_int16(buffer, counts + 2 * static_cast<int>(row)) & kOffsetMask;
    return start < end && end <= pageSize;
}

// A zeroed stretch of a data page leaves its rows there with no columns, which crack
// as rows of NULLs, and a zeroed row offset points into the page header: both are
// damage, not rows. Every row holds its column count (two bytes in Jet 4, one in Jet 3)
// and lies after the page's table of row offsets.
bool AccessFile::rowWritten(int start, size_t size) const {
    const int counts = mdb_->fmt->row_count_offset;
    const int rows = mdb_get_int16(mdb_->pg_buf, counts);
    if (start < counts + 2 + 2 * rows || size < (jet4_ ? 2u : 1u)) return false;
    const int columns = jet4_ ? mdb_get_int16(mdb_->pg_buf, start) : mdb_->pg_buf[start];
    return columns >= 1;
}

// Reads a table's definition and columns; null when libmdb cannot make sense of them.
// What libmdb would follow from the definition page is checked first: the page itself,
// the rows holding the usage map and the free-space map (an empty usage map makes
// libmdb fault when it looks for the table's data pages) and the column count.
TablePtr AccessFile::openTable(MdbCatalogEntry* entry) {
    const MdbFormatConstants& format = *mdb_->fmt;
    if (entry->table_pg == 0 || static_cast<long long>(entry->table_pg) >= pages_ ||
        mdb_read_pg(mdb_, entry->table_pg) == 0 || mdb_->pg_buf[0] != 0x02)
        return nullptr;
    const auto usageMap = static_cast<uint32_t>(mdb_get_int32(mdb_->pg_buf, format.tab_usage_map_offset));
    const auto freeMap = static_cast<uint32_t>(mdb_get_int32(mdb_->pg_buf, format.tab_free_map_offset));
    const int columns = mdb_get_int16(mdb_->pg_buf, format.tab_num_cols_offset);
    const auto realIndexes = static_cast<uint32_t>(mdb_get_int32(mdb_->pg_buf, format.tab_num_ridxs_offset));
    // Access allows 255 columns and 32 indexes per table.
    if (columns < 1 || columns > 255 || realIndexes > 64 || !pageRowInside(usageMap) || !pageRowInside(freeMap))
        return nullptr;
    TablePtr table(mdb_read_table(entry));
    if (!table || table->usage_map == nullptr || table->map_sz < 1 || mdb_read_columns(table.get()) == nullptr ||
        table->columns == nullptr || table->num_cols != table->columns->len)
        return nullptr;
    return table;
}

bool AccessFile::readRows(MdbTableDef* table, const std::vector<bool>& wanted, const RowTaker& take, bool& stopped) {
    stopped = false;
    std::vector<const MdbColumn*> columns;
    for (guint i = 0; i < table->num_cols; ++i)
        columns.push_back(static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i)));
    std::vector<MdbField> fields(columns.size() + 1);
    std::vector<Value> row(columns.size());
    size_t count = 0;
    mdb_rewind_table(table);
    while (mdb_fetch_row(table) != 0) {
        // libmdb has just read row cur_row - 1 of the page in pg_buf; crack it again for
        // what its own binding drops.
        int start = 0;
        size_t size = 0;
        if (table->cur_row == 0 || mdb_find_row(mdb_, static_cast<int>(table->cur_row) - 1, &start, &size) != 0 ||
            !rowWritten(start & kOffsetMask, size) || mdb_crack_row(table, start & kOffsetMask, size, fields.data()) < 0)
            return false;
        std::fill(row.begin(), row.end(), Value{});
        for (size_t c = 0; c < columns.size(); ++c) {
            const MdbField& field = fields[c];
            if (field.colnum < 0 || static_cast<size_t>(field.colnum) >= columns.size()) return false;
            const auto column = static_cast<size_t>(field.colnum);
            if (wanted[column] && !convertField(*columns[column], field, row[column])) return false;
        }
        if (++count > table->num_rows) return false;
        if (!take(row)) {
            stopped = true;
            return false;
        }
    }
    // libmdb skips what it cannot read without a word; the table knows how many rows it has.
    return count == table->num_rows;
}

// The catalogue is the table MSysObjects (definition on page 2), read here rather than
// by libmdb, whose catalogue reader also parses every object's property blob and on a
// damaged blob can loop for minutes. Only Id, Name, Type and Flags are taken.
bool AccessFile::readCatalogue() {
    msysObjects_ = std::make_unique<MdbCatalogEntry>();
    msysObjects_->mdb = mdb_;
    msysObjects_->object_type = MDB_TABLE;
    msysObjects_->table_pg = 2;
    std::snprintf(msysObjects_->object_name, sizeof msysObjects_->object_name, "MSysObjects");
    TablePtr table = openTable(msysObjects_.get());
    if (!table) return false;
    int id = -1, name = -1, type = -1, flags = -1;
    std::vector<bool> wanted(table->num_cols, false);
    for (guint i = 0; i < table->num_cols; ++i) {
        const char* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i))->name;
        int* slot = std::strcmp(column, "Id") == 0      ? &id
                    : std::strcmp(column, "Name") == 0  ? &name
                    : std::strcmp(column, "Type") == 0  ? &type
                    : std::strcmp(column, "Flags") == 0 ? &flags
                                                        : nullptr;
        if (slot != nullptr) {
            *slot = static_cast<int>(i);
            wanted[i] = true;
        }
    }
    std::vector<std::vector<Value>> rows;
    bool stopped = false;
    const auto collect = [&rows](std::vector<Value>& row) {
        rows.push_back(row);
        return true;
    };
    if (id < 0 || name < 0 || type < 0 || flags < 0 || !readRows(table.get(), wanted, collect, stopped)) return false;

    for (const auto& row : rows) {
        const auto* objectId = std::get_if<int64_t>(&row[static_cast<size_t>(id)]);
        const auto* objectName = std::get_if<std::string>(&row[static_cast<size_t>(name)]);
        const auto* objectType = std::get_if<int64_t>(&row[static_cast<size_t>(type)]);
        const auto* objectFlags = std::get_if<int64_t>(&row[static_cast<size_t>(flags)]);
        if (objectId == nullptr || objectName == nullptr || objectType == nullptr || (*objectType & 0x7F) != MDB_TABLE)
            continue;
        // 0x80000000 marks system objects, 0x00000002 Jet's own hidden ones; the MSys
        // prefix is reserved for them as well.
        const auto flagBits = static_cast<uint32_t>(objectFlags != nullptr ? *objectFlags : 0);
        if ((flagBits & 0x80000002u) != 0 || g_ascii_strncasecmp(objectName->c_str(), "MSys", 4) == 0) continue;
        auto entry = std::make_unique<MdbCatalogEntry>();
        entry->mdb = mdb_;
        entry->object_type = MDB_TABLE;
        entry->table_pg = static_cast<unsigned long>(*objectId & 0x00FFFFFF);
        entry->flags = static_cast<int>(flagBits);
        std::snprintf(entry->object_name, sizeof entry->object_name, "%s", objectName->c_str());
        tables_.emplace_back(*objectName, entry.get());
        entries_.push_back(std::move(entry));
    }
    return true;
}

bool AccessFile::readTable(MdbCatalogEntry* entry, TableSink& sink, std::string& error) {
    StderrGuard quiet;
    const std::string tableName = entry->object_name;  // GBK already (readCatalogue)
    TablePtr table = openTable(entry);
    if (!table) {
        error = damaged("表“") + tableName + gbkText("”的定义无法读取。");
        return false;
    }
    std::vector<std::string> names;
    std::vector<ColumnType> types;
    for (guint i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        names.push_back(nameToGbk(column->name));
        types.push_back(columnTypeOf(column->col_type));
    }
    if (!sink.begin(names, types, error)) return false;
    bool stopped = false;
    size_t given = 0;
    const auto give = [&sink, &error, &given](std::vector<Value>& row) {
        ++given;
        return sink.addRow(row, error);
    };
    if (!readRows(table.get(), std::vector<bool>(table->num_cols, true), give, stopped)) {
        if (!stopped)
            error = damaged("表“") + tableName + gbkText("”记有 ") + std::to_string(table->num_rows) +
                    gbkText(" 行，读出 ") + std::to_string(given) + gbkText(" 行后数据页无法读取。");
        return false;
    }
    return true;
}

}  // namespace

bool listMdbTables(const std::string& path, const std::string& password,
                   std::vector<std::string>& tables, std::string& error) {
    tables.clear();
    error.clear();
    AccessFile file;
    if (!file.open(path, password, error)) return false;
    for (const auto& table : file.tables()) tables.push_back(table.first);
    return true;
}

bool readMdbTableInto(const std::string& path, const std::string& password, const std::string& table,
                      TableSink& sink, std::string& error) {
    error.clear();
    AccessFile file;
    if (!file.open(path, password, error)) return false;
    // Jet finds a table by its name without regard to ASCII case; an exact match wins.
    MdbCatalogEntry* found = nullptr;
    for (const auto& entry : file.tables())
        if (entry.first == table) { found = entry.second; break; }
    if (found == nullptr) {
        const std::string wanted = gbk::lower(table);
        for (const auto& entry : file.tables())
            if (gbk::lower(entry.first) == wanted) { found = entry.second; break; }
    }
    if (found == nullptr) {
        error = gbkText("找不到输入表或查询“") + table + gbkText("”。");
        return false;
    }
    return file.readTable(found, sink, error);
}

bool readMdbTable(const std::string& path, const std::string& password, const std::string& table,
                  LoadedTable& out, std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readMdbTableInto(path, password, table, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace db
