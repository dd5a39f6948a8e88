// dBASE tables (.dbf, with .dbt/.fpt memos) as the dBASE driver shows them.
//
// shapelib reads the header (field names, types, widths, offsets) and hands over each
// record's raw bytes; we decode the fields ourselves, because shapelib trims the leading
// blanks of character fields, calls blank fields NULL and knows nothing of code pages or
// memos. Before shapelib sees the file we check its header and that every record the
// header counts is there: a truncated file fails instead of losing rows silently.
//
// Values: C text without trailing blanks (all blank is NULL, as the driver returns it);
// N/F numbers (Integer for N without decimals up to 18 digits, else Float; blank or
// "***" overflow is NULL); D dates YYYYMMDD (blank or invalid is NULL); L logicals
// (T/t/Y/y true, F/f/N/n false, "?" or blank NULL); M memos from a dBASE III/IV .dbt or
// a FoxPro .fpt beside the table (block 0 and an empty memo are NULL, so are picture and
// OLE memos; a missing or empty memo file, or a memo outside it, fails the table as the
// dBASE driver does, rather than showing damage as empty memos); FoxPro I, B, Y and T fields; the hidden
// _NullFlags field is left out. Deleted records are skipped.
// Text is GBK as stored unless the table names another code page (dbf_code_page.h).
#include <shapefil.h>
#include <strings.h>
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "text/codepage.h"
#include "platform/database/readers/dbf_code_page.h"
#include "platform/database/readers/dbf_memo.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/sheet_table.h"
#include "platform/database/table_sink.h"

namespace db {
namespace {

using sheet::message;

// --- opening through shapelib -------------------------------------------------------

// shapelib builds "<base>.dbf", then "<base>.DBF" from the name it is given; our hook
// opens exactly the file asked for (A.Dbf included) and no .cpg (we read that ourselves).
thread_local const char* t_tablePath = nullptr;

SAFile openHook(const char* name, const char* access) {
    const size_t n = std::strlen(name);
    if (t_tablePath == nullptr || n < 4 || strcasecmp(name + n - 4, ".dbf") != 0) return nullptr;
    return reinterpret_cast<SAFile>(std::fopen(t_tablePath, access));
}

void silentError(const char*) {}

struct DbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

DbfHandle openWithShapelib(const std::string& localPath) {
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openHook;
    hooks.Error = silentError;
    t_tablePath = localPath.c_str();
    DbfHandle handle(DBFOpenLL(localPath.c_str(), "rb", &hooks));
    t_tablePath = nullptr;
    return handle;
}

uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool isKnownVersion(unsigned char v) {
    switch (v) {
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x05:
        case 0x30:
        case 0x31:
        case 0x32:
        case 0x43:
        case 0x63:
        case 0x7B:
        case 0x83:
        case 0x8B:
        case 0x8E:
        case 0xB3:
        case 0xCB:
        case 0xE5:
        case 0xF5:
        case 0xFB:
            return true;
        default:
            return false;
    }
}

bool isFoxPro(unsigned char v) {
    return v == 0x30 || v == 0x31 || v == 0x32 || v == 0xF5 || v == 0xFB;
}

// Visual FoxPro tables keep a 263-byte link to their database after the field
// descriptors, inside the header.
bool hasBacklink(unsigned char v) { return v == 0x30 || v == 0x31 || v == 0x32; }

// The field types of dBASE III-7 and FoxPro / Visual FoxPro ("0" is FoxPro's hidden
// _NullFlags). Any other byte there is damage.
bool isKnownFieldType(unsigned char type) {
    return type != 0 && std::strchr("CNFDLMGPBIYT0VQW@+O", type) != nullptr;
}

struct HeaderFacts {
    unsigned char version = 0, languageDriver = 0;
    uint32_t records = 0, headerLength = 0, recordLength = 0, fields = 0;
};

// Checks the header bytes before shapelib trusts them. Empty result when fine, else
// the reason (GBK).
std::string checkHeader(const std::string& localPath, uint64_t fileSize, HeaderFacts& facts) {
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) return message("无法打开文件。");
    std::vector<unsigned char> header(32);
    const bool gotFixed = std::fread(header.data(), 1, 32, file) == 32;
    if (gotFixed) {
        facts.version = header[0];
        facts.records = le32(&header[4]);
        facts.headerLength = le16(&header[8]);
        facts.recordLength = le16(&header[10]);
        facts.languageDriver = header[29];
    }
    const bool plausible = gotFixed && isKnownVersion(facts.version) && facts.headerLength >= 33 &&
                           facts.headerLength <= fileSize && facts.recordLength >= 1;
    if (plausible) {
        header.resize(facts.headerLength);
        if (std::fread(header.data() + 32, 1, facts.headerLength - 32, file) !=
            facts.headerLength - 32)
            header.clear();
    }
    std::fclose(file);
    if (!plausible || header.size() != facts.headerLength || facts.records > 0x7FFFFFFFu)
        return message("不是 dBASE 表，或文件头已损坏。");

    // Every field has a width and a known type, and the record is exactly the deletion
    // mark and the fields: otherwise each field would be read from its neighbours' bytes.
    uint32_t widths = 0;
    size_t at = 32;
    for (; at + 32 <= header.size() && header[at] != 0x0D; at += 32) {
        const unsigned char type = header[at + 11];
        const std::string field = message("第 ") + std::to_string(facts.fields + 1) + message(" 个字段");
        if (type < 0x20 || type > 0x7E) return message("字段说明已损坏。");
        if (!isKnownFieldType(type))
            return field + message("的类型“") + static_cast<char>(type) + message("”不是 dBASE 的字段类型，文件已损坏。");
        if (header[at + 16] == 0) return field + message("的宽度为 0，文件已损坏。");
        widths += header[at + 16];
        ++facts.fields;
    }
    if (at >= header.size() || header[at] != 0x0D || facts.fields == 0)
        return message("字段说明已损坏。");
    // The records begin where the header says: one that ends before its own descriptors
    // (and Visual FoxPro's backlink) are over would have them read as the first record.
    if (hasBacklink(facts.version) && facts.headerLength < at + 1 + 263)
        return message("文件头长度（") + std::to_string(facts.headerLength) +
               message(" 字节）比字段说明所占的短，文件已损坏。");
    if (widths + 1 != facts.recordLength)
        return message("记录长度（") + std::to_string(facts.recordLength) + message(" 字节）与字段宽度之和（") +
               std::to_string(widths + 1) + message(" 字节）不符，文件已损坏。");
    const uint64_t needed =
        facts.headerLength + static_cast<uint64_t>(facts.records) * facts.recordLength;
    if (needed > fileSize)
        return message("文件不完整：文件头记有 ") + std::to_string(facts.records) +
               message(" 条记录，文件中只有 ") +
               std::to_string((fileSize - facts.headerLength) / facts.recordLength) +
               message(" 条。");
    return {};
}

// --- field decoding ---------------------------------------------------------------------

enum class Decode {
    Character,
    Numeric,
    Float,
    Date,
    Logical,
    Memo,
    BinaryMemo,
    Int32,
    Double,
    Currency,
    DateTime
};

struct Field {
    int offset = 0, width = 0;
    Decode decode = Decode::Character;
};

std::string_view trimmed(std::string_view raw) {
    while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\0')) raw.remove_prefix(1);
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\0')) raw.remove_suffix(1);
    return raw;
}

Value numberValue(std::string_view raw, bool integerColumn) {
    std::string text(trimmed(raw));
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    if (text.find('.') == std::string::npos) {
        const size_t comma = text.find(',');
        if (comma != std::string::npos) text[comma] = '.';
    }
    if (text.empty()) return Null{};
    const char* end = text.data() + text.size();
    if (integerColumn) {
        int64_t whole = 0;
        auto [ptr, ec] = std::from_chars(text.data(), end, whole);
        if (ec == std::errc() && ptr == end) return whole;
    }
    double number = 0;
    auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (ec != std::errc() || ptr != end || !std::isfinite(number)) return Null{};  // "****" too
    if (integerColumn && number == std::floor(number) && std::fabs(number) < 9.0e18)
        return static_cast<int64_t>(number);
    return number;
}

Value dateValue(std::string_view raw) {
    if (raw.size() < 8) return Null{};
    int parts[3] = {};
    const int lengths[3] = {4, 2, 2};
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        auto [ptr, ec] = std::from_chars(raw.data() + at, raw.data() + at + lengths[i], parts[i]);
        if (ec != std::errc() || ptr != raw.data() + at + lengths[i]) return Null{};
        at += lengths[i];
    }
    if (parts[0] < 1 || parts[2] < 1 || parts[2] > sheet::daysInMonth(parts[0], parts[1]))
        return Null{};
    gbk::DateTime date;
    date.year = parts[0];
    date.month = parts[1];
    date.day = parts[2];
    return date;
}

Value logicalValue(std::string_view raw) {
    if (raw.empty()) return Null{};
    switch (raw[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return true;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return false;
        default:
            return Null{};
    }
}

// FoxPro T: Julian day number and milliseconds since midnight, little-endian.
Value foxDateTime(const unsigned char* p) {
    const uint32_t julian = le32(p);
    const uint32_t millis = le32(p + 4);
    if (julian == 0 || millis >= 86400000u) return Null{};
    gbk::DateTime date;
    sheet::civilFromDays(static_cast<int64_t>(julian) - 2440588, date.year, date.month, date.day);
    if (date.year < 1 || date.year > 9999) return Null{};
    const uint32_t seconds = (millis + 500) / 1000;
    if (seconds >= 86400) return Null{};
    date.hour = static_cast<int>(seconds / 3600);
    date.minute = static_cast<int>(seconds / 60 % 60);
    date.second = static_cast<int>(seconds % 60);
    return date;
}

}  // namespace

bool readDbfTableInto(const std::string& path, TableSink& sink, std::string& error) {
    const std::string local = codepage::toLocalPath(path);
    const std::string failure = message("无法读取 dBASE 表“") + path + message("”：");
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = message("找不到 dBASE 表“") + path + message("”。");
        return false;
    }
    HeaderFacts facts;
    if (std::string why = checkHeader(local, static_cast<uint64_t>(info.st_size), facts);
        !why.empty()) {
        error = failure + why;
        return false;
    }
    DbfHandle dbf = openWithShapelib(local);
    if (!dbf || DBFGetFieldCount(dbf.get()) != static_cast<int>(facts.fields) ||
        dbf->nRecordLength != static_cast<int>(facts.recordLength)) {
        error = failure + message("文件头已损坏。");
        return false;
    }

    DbfTextDecoder decode(dbfCodecName(local, facts.languageDriver));
    const bool foxPro = isFoxPro(facts.version);
    DbfMemoFile memo;
    bool memoOpened = false, memoTried = false;

    std::vector<Field> fields;
    std::vector<std::string> names;
    std::vector<ColumnType> types;
    for (int i = 0; i < DBFGetFieldCount(dbf.get()); ++i) {
        char rawName[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(dbf.get(), i, rawName, &width, &decimals);
        const char type = DBFGetNativeFieldType(dbf.get(), i);
        if (type == '0') continue;  // FoxPro's hidden _NullFlags
        Field field;
        field.offset = dbf->panFieldOffset[i];
        field.width = dbf->panFieldSize[i];
        if (field.offset < 1 || field.width < 0 ||
            field.offset + field.width > static_cast<int>(facts.recordLength)) {
            error = failure + message("字段说明已损坏。");
            return false;
        }
        ColumnType column = ColumnType::Text;
        switch (type) {
            case 'N':
                field.decode = Decode::Numeric;
                column = decimals == 0 && width <= 18 ? ColumnType::Integer : ColumnType::Float;
                break;
            case 'F':
                field.decode = Decode::Float;
                column = ColumnType::Float;
                break;
            case 'D':
                field.decode = Decode::Date;
                column = ColumnType::DateTime;
                break;
            case 'L':
                field.decode = Decode::Logical;
                column = ColumnType::Boolean;
                break;
            case 'M':
                field.decode = Decode::Memo;
                break;
            case 'G':
            case 'P':
                field.decode = Decode::BinaryMemo;
                break;
            case 'B':
                field.decode = foxPro && width == 8 ? Decode::Double : Decode::BinaryMemo;
                column = foxPro && width == 8 ? ColumnType::Float : ColumnType::Text;
                break;
            case 'I':
                if (width == 4) {
                    field.decode = Decode::Int32;
                    column = ColumnType::Integer;
                }
                break;
            case 'Y':
                if (width == 8) {
                    field.decode = Decode::Currency;
                    column = ColumnType::Float;
                }
                break;
            case 'T':
                if (width == 8) {
                    field.decode = Decode::DateTime;
                    column = ColumnType::DateTime;
                }
                break;
            default:
                break;  // C, and the kinds not decoded here (V, Q, W, @, +, O): their bytes as text
        }
        if (field.decode == Decode::Memo && !memoTried) {
            memoOpened = memo.open(local, facts.version);
            memoTried = true;
            if (!memoOpened) {
                error = failure + message("表中有备注字段，但找不到它的备注文件（.dbt 或 .fpt）。");
                return false;
            }
            if (memo.empty()) {
                error = failure + message("备注文件“") + codepage::fromLocalPath(memo.path()) +
                        message("”是空的，文件不完整。");
                return false;
            }
        }
        std::string name(rawName, strnlen(rawName, sizeof rawName));
        while (!name.empty() && name.back() == ' ') name.pop_back();
        names.push_back(decode(name));
        types.push_back(column);
        fields.push_back(field);
    }
    sheet::makeDistinctNames(names);
    if (!sink.begin(names, types, error)) return false;

    const int records = DBFGetRecordCount(dbf.get());
    std::vector<Value> row(fields.size());
    std::string memoText;
    for (int r = 0; r < records; ++r) {
        const char* record = DBFReadTuple(dbf.get(), r);
        if (record == nullptr) {
            error = failure + message("第 ") + std::to_string(r + 1) + message(" 条记录无法读取。");
            return false;
        }
        if (record[0] == '*') continue;
        for (size_t f = 0; f < fields.size(); ++f) {
            const Field& field = fields[f];
            const std::string_view raw(record + field.offset, static_cast<size_t>(field.width));
            const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
            Value value;
            switch (field.decode) {
                case Decode::Character: {
                    std::string_view text = raw;
                    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
                        text.remove_suffix(1);
                    if (!text.empty()) value = decode(text);
                    break;
                }
                case Decode::Numeric:
                    value = numberValue(raw, types[f] == ColumnType::Integer);
                    break;
                case Decode::Float:
                    value = numberValue(raw, false);
                    break;
                case Decode::Date:
                    value = dateValue(trimmed(raw));
                    break;
                case Decode::Logical:
                    value = logicalValue(trimmed(raw));
                    break;
                case Decode::Memo: {
                    uint64_t block = 0;
                    if (field.width == 4 && foxPro) {
                        block = le32(bytes);
                    } else {
                        const std::string_view digits = trimmed(raw);
                        std::from_chars(digits.data(), digits.data() + digits.size(), block);
                    }
                    if (!memoOpened) break;
                    const auto result = memo.read(block, memoText);
                    if (result == DbfMemoFile::Result::Damaged) {
                        error = failure + message("第 ") + std::to_string(r + 1) + message(" 条记录的备注（字段“") +
                                names[f] + message("”）超出了备注文件“") +
                                codepage::fromLocalPath(memo.path()) + message("”的末尾，备注文件已损坏。");
                        return false;
                    }
                    if (result == DbfMemoFile::Result::Text) value = decode(memoText);
                    break;
                }
                case Decode::BinaryMemo:
                    break;
                case Decode::Int32:
                    value = static_cast<int64_t>(static_cast<int32_t>(le32(bytes)));
                    break;
                case Decode::Double: {
                    double number;
                    std::memcpy(&number, bytes, 8);
                    if (std::isfinite(number)) value = number;
                    break;
                }
                case Decode::Currency: {
                    const uint64_t units =
                        le32(bytes) | (static_cast<uint64_t>(le32(bytes + 4)) << 32);
                    value = static_cast<double>(static_cast<int64_t>(units)) / 10000.0;
                    break;
                }
                case Decode::DateTime:
                    value = foxDateTime(bytes);
                    break;
            }
            row[f] = std::move(value);
        }
        if (!sink.addRow(row, error)) return false;
    }
    return true;
}

bool readDbfTable(const std::string& path, LoadedTable& out, std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readDbfTableInto(path, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace db
