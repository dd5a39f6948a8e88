// BIFF5/BIFF8 records of a workbook stream (see xls_workbook.h).
#include "platform/database/readers/xls_workbook.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "text/codepage.h"
#include "platform/database/fast_codec.h"
#include "platform/database/readers/biff_records.h"
#include "platform/database/readers/number_format.h"

namespace db::xls {
namespace {

using sheet::message;

enum RecordType : uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kExternSheet = 0x0017,
    kName = 0x0018,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kSupBook = 0x01AE,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof = 0x0809,
};

// Excel's packed RK number: a 30-bit integer or the high half of a double, maybe / 100.
double rkValue(uint32_t rk) {
    double value;
    if (rk & 2) {
        value = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

// Why a walk over records stopped before the EOF record it was looking for.
const char* walkFailure(const Records& records, const char* otherwise) {
    switch (records.damage()) {
    case Records::Damage::TooLong: return "有一条记录的长度超过 8224 字节，不是有效的记录，文件已损坏。";
    case Records::Damage::NotARecord: return "数据流中有一段不是记录（类型为 0，像是被清零的数据），文件已损坏。";
    default: return otherwise;
    }
}

// The length a cell record of fixed size must have; 0 for the others.
size_t fixedCellLength(uint16_t type) {
    switch (type) {
    case kNumber: return 14;
    case kRk:
    case kLabelSst: return 10;
    case kBoolErr: return 8;
    case kBlank: return 6;
    default: return 0;
    }
}

// The formula of a defined name, when it is exactly one 3-D reference to a rectangle
// (tArea3d) or a cell (tRef3d) of one sheet of this workbook.
struct NameTarget {
    size_t sheet = 0;
    uint32_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

}  // namespace

bool Workbook::open(std::string_view stream, bool withStrings, std::string& why) {
    stream_ = stream;
    sheets_.clear();
    ranges_.clear();
    strings_ = sheet::StringPool();
    dateStyles_.clear();
    return readGlobals(withStrings, why);
}

bool Workbook::readGlobals(bool withStrings, std::string& why) {
    Records records(stream_, 0);
    Record r;
    if (!records.next(r) || r.data.size() < 4) {
        why = message("工作簿数据流为空或被截断。");
        return false;
    }
    if (r.type == 0x0009 || r.type == 0x0209 || r.type == 0x0409) {
        why = message("这是 Excel 2.x-4.x 的旧格式，请在 Excel 中另存为 97-2003 工作簿。");
        return false;
    }
    if (r.type != kBof || u16(r.data, 2) != 0x0005) {
        why = message("工作簿数据流的开头不对，文件已损坏。");
        return false;
    }
    const uint16_t version = u16(r.data, 0);
    biff8_ = version == 0x0600 || (version != 0x0500 && r.data.size() >= 16);

    struct RawName {
        uint16_t options = 0, sheetTab = 0;
        std::string name;   // UTF-8 (BIFF8) or code-page bytes (BIFF5)
        std::string formula;
    };
    std::vector<RawName> rawNames;
    std::vector<std::string> rawSheetNames;  // UTF-8 (BIFF8) or code-page bytes (BIFF5)
    std::map<uint16_t, std::string> formats;  // likewise
    std::vector<uint16_t> xfFormats;
    std::vector<bool> internalBooks;  // per SUPBOOK: does it stand for this workbook?
    struct Extern {
        uint16_t book, first, last;
    };
    std::vector<Extern> externs;
    bool ended = false;
    auto damaged = [&](const char* what) {
        why = message(what);
        return false;
    };

    while (!ended && records.next(r)) {
        const std::string_view d = r.data;
        switch (r.type) {
        case kEof: ended = true; break;
        case kFilePass:
            return damaged("工作簿设有打开密码（已加密），请先在 Excel 中去掉密码。");
        case kCodePage:
            if (d.size() >= 2) codePage_ = u16(d, 0);
            break;
        case kDateMode:
            if (d.size() >= 2) date1904_ = u16(d, 0) == 1;
            break;
        case kXf:
            if (d.size() < 4) return damaged("单元格格式记录（XF）被截断，文件已损坏。");
            xfFormats.push_back(u16(d, 2));
            break;
        case kFormat: {
            Pieces in(d);
            const uint16_t id = in.word();
            std::string code;
            if (biff8_) unicodeString(in, false, code);
            else code = byteString(in, true);
            if (!in.ok()) return damaged("数字格式记录（FORMAT）已损坏。");
            formats[id] = std::move(code);
            break;
        }
        case kBoundSheet: {
            if (d.size() < 6) return damaged("工作表记录（BOUNDSHEET）被截断，文件已损坏。");
            Sheet s;
            s.offset = u32(d, 0);
            s.visibility = static_cast<unsigned char>(d[4] & 3);
            s.worksheet = d[5] == 0;
            Pieces in(d.substr(6));
            std::string name;
            if (biff8_) unicodeString(in, true, name);
            else name = byteString(in, true);
            if (!in.ok()) return damaged("工作表名称已损坏。");
            if (s.offset >= stream_.size()) return damaged("工作表的位置在数据流之外，文件已损坏。");
            rawSheetNames.push_back(std::move(name));
            sheets_.push_back(std::move(s));
            break;
        }
        case kSupBook:
            internalBooks.push_back(d.size() == 4 && u16(d, 2) == 0x0401);
            break;
        case kExternSheet:
            if (biff8_) {
                Pieces in(d);
                while (records.peek() == kContinue && records.next(r)) in.add(r.data);
                const uint16_t count = in.word();
                for (uint16_t i = 0; i < count && in.ok(); ++i) {
                    Extern e;
                    e.book = in.word();
                    e.first = in.word();
                    e.last = in.word();
                    if (in.ok()) externs.push_back(e);
                }
            }
            break;
        case kName: {
            Pieces in(d);
            while (records.peek() == kContinue && records.next(r)) in.add(r.data);
            RawName n;
            n.options = in.word();
            in.skip(1);
            const size_t nameLength = in.byte();
            const uint16_t formulaLength = in.word();
            in.skip(2);
            n.sheetTab = in.word();
            in.skip(4);
            if (biff8_) {
                const unsigned char options = in.byte();
                in.chars(nameLength, (options & 1) != 0, false, n.name);
            } else {
                for (size_t i = 0; i < nameLength && in.ok(); ++i) n.name.push_back(static_cast<char>(in.byte()));
            }
            for (size_t i = 0; i < formulaLength && in.ok(); ++i) n.formula.push_back(static_cast<char>(in.byte()));
            // A name that cannot be read is left out; it holds no cells of its own.
            if (in.ok()) rawNames.push_back(std::move(n));
            break;
        }
        case kSst: {
            if (!withStrings) break;
            Pieces in(d);
            while (records.peek() == kContinue && records.next(r)) in.add(r.data);
            in.skip(4);
            const uint32_t unique = in.dword();
            std::string utf8, gbk;
            // The table holds exactly the strings it counts, end to end: a string of a
            // wrong length shifts every string after it, which the count and the end
            // of the records then disagree with.
            for (uint32_t i = 0; i < unique && in.ok(); ++i) {
                if (in.atEnd()) return damaged("共享字符串表（SST）中的字符串少于它记载的个数，文件已损坏。");
                utf8.clear();
                gbk.clear();
                unicodeString(in, false, utf8);
                codec::appendUtf8AsGbk(utf8, gbk);
                strings_.add(gbk);
            }
            if (!in.ok()) return damaged("共享字符串表（SST）已损坏或被截断。");
            if (!in.atEnd()) return damaged("共享字符串表（SST）的字符串超出了它记载的个数或长度，文件已损坏。");
            break;
        }
        default: break;
        }
    }
    if (!ended) return damaged(walkFailure(records, "工作簿数据流被截断（缺少全局部分的结束记录），文件已损坏。"));

    auto text = [&](const std::string& raw) {
        return biff8_ ? codec::utf8ToGbk(raw) : codePageToGbk(codePage_, raw);
    };
    for (size_t i = 0; i < sheets_.size(); ++i) sheets_[i].name = text(rawSheetNames[i]);

    std::map<uint16_t, bool> customDate;
    for (const auto& [id, code] : formats)
        customDate[id] = sheet::isDateFormatCode(biff8_ ? code : codePageToUtf8(codePage_, code));
    dateStyles_.reserve(xfFormats.size());
    for (uint16_t id : xfFormats) {
        const auto custom = customDate.find(id);
        dateStyles_.push_back(custom != customDate.end() ? custom->second : sheet::isBuiltInDateFormat(id));
    }

    static const char* const kBuiltInNames[] = {
        "Consolidate_Area", "Auto_Open", "Auto_Close", "Extract", "Database", "Criteria", "Print_Area",
        "Print_Titles", "Recorder", "Data_Form", "Auto_Activate", "Auto_Deactivate", "Sheet_Title",
        "_FilterDatabase"};
    for (const RawName& n : rawNames) {
        if (n.options & 0x0E) continue;  // functions, commands and macros refer to no cells
        const std::string_view f = n.formula;
        if (f.empty()) continue;
        const unsigned char token = static_cast<unsigned char>(f[0]) & 0x1F;
        NameTarget t;
        bool found = false;
        if (biff8_ && token == 0x1B && f.size() == 11) {  // tArea3d
            const uint16_t ixti = u16(f, 1);
            if (ixti < externs.size() && externs[ixti].book < internalBooks.size() && internalBooks[externs[ixti].book] &&
                externs[ixti].first == externs[ixti].last) {
                t = {externs[ixti].first, u16(f, 3), u16(f, 5), u16(f, 7) & 0x3FFFu, u16(f, 9) & 0x3FFFu};
                found = true;
            }
        } else if (biff8_ && token == 0x1A && f.size() == 7) {  // tRef3d
            const uint16_t ixti = u16(f, 1);
            if (ixti < externs.size() && externs[ixti].book < internalBooks.size() && internalBooks[externs[ixti].book] &&
                externs[ixti].first == externs[ixti].last) {
                const uint32_t row = u16(f, 3), column = u16(f, 5) & 0x3FFFu;
                t = {externs[ixti].first, row, row, column, column};
                found = true;
            }
        } else if (!biff8_ && token == 0x1B && f.size() == 21 && u16(f, 11) == u16(f, 13)) {
            t = {u16(f, 11), u16(f, 15) & 0x3FFFu, u16(f, 17) & 0x3FFFu, static_cast<unsigned char>(f[19]),
                 static_cast<unsigned char>(f[20])};
            found = true;
        } else if (!biff8_ && token == 0x1A && f.size() == 18 && u16(f, 11) == u16(f, 13)) {
            const uint32_t row = u16(f, 15) & 0x3FFFu, column = static_cast<unsigned char>(f[17]);
            t = {u16(f, 11), row, row, column, column};
            found = true;
        }
        if (!found || t.sheet >= sheets_.size() || !sheets_[t.sheet].worksheet || t.firstRow > t.lastRow ||
            t.firstColumn > t.lastColumn)
            continue;
        std::string name;
        if (n.options & 0x20) {  // a built-in name, stored as its one-character code
            const unsigned char code = n.name.empty() ? 0xFF : static_cast<unsigned char>(n.name[0]);
            if (code >= std::size(kBuiltInNames)) continue;
            name = kBuiltInNames[code];
        } else {
            name = text(n.name);
        }
        if (name.empty()) continue;
        if (n.sheetTab != 0) {
            if (n.sheetTab > sheets_.size()) continue;
            name = sheets_[n.sheetTab - 1u].name + "$" + name;
        }
        ranges_.push_back({std::move(name), t.sheet, t.firstRow, t.lastRow, t.firstColumn, t.lastColumn});
    }
    return true;
}

bool Workbook::readCells(size_t index, const NamedRange* area, sheet::SheetCells& cells, std::string& why) const {
    auto fail = [&](const char* what) {
        why = message(what);
        return false;
    };
    if (index >= sheets_.size()) return fail("没有这个工作表。");
    // A sheet's records end with its own EOF before the next sheet begins: a walk that
    // reaches the next sheet would read that sheet's cells as this one's.
    size_t end = stream_.size();
    for (const Sheet& s : sheets_)
        if (s.offset > sheets_[index].offset) end = std::min<size_t>(end, s.offset);
    Records records(stream_.substr(0, end), sheets_[index].offset);
    Record r;
    // A sheet position that points anywhere but at a worksheet's BOF is damage; read on,
    // it could make a sheet of the workbook globals, empty and seemingly fine.
    if (!records.next(r) || r.type != kBof || r.data.size() < 4 || u16(r.data, 2) != 0x0010)
        return fail("工作表的开头不对，文件已损坏。");

    // Where a cell goes in the table, false for a cell outside the named range.
    auto place = [area](uint32_t& row, uint32_t& column) {
        if (area == nullptr) return true;
        if (row < area->firstRow || row > area->lastRow || column < area->firstColumn || column > area->lastColumn)
            return false;
        row -= area->firstRow;
        column -= area->firstColumn;
        return true;
    };
    auto isDate = [this](uint16_t xf) { return xf < dateStyles_.size() && dateStyles_[xf]; };
    // A stream without any XF record (some small writers) has no date cells; one with
    // them must not point past them.
    auto badStyle = [this](uint16_t xf) { return !dateStyles_.empty() && xf >= dateStyles_.size(); };
    auto addNumber = [&](uint32_t row, uint32_t column, uint16_t xf, double value) {
        gbk::DateTime date;
        if (isDate(xf) && sheet::serialToDateTime(value, date1904_, date)) cells.addDate(row, column, date);
        else cells.addNumber(row, column, value);
    };

    int depth = 1;
    bool pendingString = false;  // a FORMULA with a text result waits for its STRING record
    uint32_t pendingRow = 0, pendingColumn = 0;
    std::string utf8, gbk;
    // A text cell's characters into `gbk`: BIFF8 stores UTF-16, BIFF5 the workbook's code page.
    const auto cellText = [&](Pieces& in) {
        if (biff8_) {
            utf8.clear();
            unicodeString(in, false, utf8);
            gbk.clear();
            codec::appendUtf8AsGbk(utf8, gbk);
        } else {
            gbk = codePageToGbk(codePage_, byteString(in, false));
        }
    };
    while (depth > 0) {
        if (!records.next(r))
            return fail(walkFailure(records, end < stream_.size()
                                                 ? "工作表缺少结束记录，接着就是下一个工作表，文件已损坏。"
                                                 : "工作表的数据被截断（缺少结束记录），文件已损坏。"));
        const std::string_view d = r.data;
        if (r.type == kBof) {
            ++depth;
            continue;
        }
        if (r.type == kEof) {
            --depth;
            continue;
        }
        if (depth != 1) continue;  // an embedded chart
        // A cell record of a wrong length is damage (its neighbours' bytes read as its own,
        // or a cell lost), never a cell read from whatever bytes are there.
        if (const size_t length = fixedCellLength(r.type); length != 0 && d.size() != length)
            return fail("单元格记录的长度与它的类型不符，文件已损坏。");
        if (r.type == kMulBlank &&
            (d.size() < 8 || d.size() % 2 != 0 || u16(d, d.size() - 2) != u16(d, 2) + (d.size() - 6) / 2 - 1))
            return fail("MULBLANK 记录的长度与列数不符，文件已损坏。");

        const bool cell = r.type == kNumber || r.type == kRk || r.type == kLabelSst || r.type == kLabel ||
                          r.type == kRString || r.type == kBoolErr || r.type == kFormula || r.type == kMulRk;
        if (!cell) {
            if (r.type == kString && pendingString) {
                Pieces in(d);
                while (records.peek() == kContinue && records.next(r)) in.add(r.data);
                cellText(in);
                if (!in.ok() || !in.atEnd()) return fail("公式结果的文字（STRING 记录）的长度与其中的文字不符，文件已损坏。");
                cells.addText(pendingRow, pendingColumn, gbk);
                pendingString = false;
            }
            continue;
        }
        pendingString = false;
        if (d.size() < 6) return fail("单元格记录被截断，文件已损坏。");
        uint32_t row = u16(d, 0), column = u16(d, 2);
        if (column >= sheet::kMaxColumns) return fail("单元格的列号超出范围，文件已损坏。");
        if (cells.count() >= sheet::kMaxTableCells) return fail("工作表太大，无法读取。");

        if (r.type == kMulRk) {
            if (d.size() < 12 || (d.size() - 6) % 6 != 0) return fail("MULRK 记录的长度不对，文件已损坏。");
            const size_t count = (d.size() - 6) / 6;
            if (u16(d, d.size() - 2) != column + count - 1) return fail("MULRK 记录的列数不对，文件已损坏。");
            for (size_t i = 0; i < count; ++i) {
                const uint16_t xf = u16(d, 4 + 6 * i);
                if (badStyle(xf)) return fail("单元格格式编号超出范围，文件已损坏。");
                uint32_t at = u16(d, 0), c = static_cast<uint32_t>(column + i);
                if (place(at, c)) addNumber(at, c, xf, rkValue(u32(d, 6 + 6 * i)));
            }
            continue;
        }
        const uint16_t xf = u16(d, 4);
        if (badStyle(xf)) return fail("单元格格式编号超出范围，文件已损坏。");
        const bool inside = place(row, column);
        switch (r.type) {
        case kNumber:
            if (inside) addNumber(row, column, xf, f64(d, 6));
            break;
        case kRk:
            if (inside) addNumber(row, column, xf, rkValue(u32(d, 6)));
            break;
        case kLabelSst: {
            const uint32_t i = u32(d, 6);
            if (i >= strings_.size()) return fail("单元格引用的共享字符串不存在，文件已损坏。");
            if (inside) cells.addShared(row, column, i);
            break;
        }
        case kLabel:
        case kRString: {
            Pieces in(d.substr(6));
            cellText(in);
            // RSTRING's formatting runs follow its text: a count, then 4 bytes a run
            // (2 in BIFF5). Either record ends where its text (and runs) do.
            if (r.type == kRString) in.skip(biff8_ ? uint64_t{in.word()} * 4 : uint64_t{in.byte()} * 2);
            if (!in.ok() || !in.atEnd()) return fail("文字单元格（LABEL 记录）的长度与其中的文字不符，文件已损坏。");
            if (inside) cells.addText(row, column, gbk);
            break;
        }
        case kBoolErr:
            // An error value (#N/A, #DIV/0! and the like) is no value.
            if (inside && d[7] == 0) cells.addBoolean(row, column, d[6] != 0);
            break;
        case kFormula:
            // The cached result, then the formula's own tokens (cce bytes at 20), maybe more.
            if (d.size() < 22 || d.size() < size_t{22} + u16(d, 20)) return fail("公式记录的长度不对，文件已损坏。");
            if (u16(d, 12) != 0xFFFF) {
                if (inside) addNumber(row, column, xf, f64(d, 6));
            } else if (d[6] == 0) {
                pendingString = inside;
                pendingRow = row;
                pendingColumn = column;
            } else if (d[6] == 1 && inside) {
                cells.addBoolean(row, column, d[8] != 0);
            }  // 2: an error, 3: an empty text; neither is a value
            break;
        default: break;
        }
    }
    return true;
}

}  // namespace db::xls
