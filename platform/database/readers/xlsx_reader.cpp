// Excel 2007+ workbooks (.xlsx): sheet names and one sheet as a table, read from the
// package parts with streaming XML (xlsx_package.h). No Debian library reads them.
//
// Parts read: _rels/.rels (where the workbook is), the workbook (sheet order, names,
// the 1904 date system), its relationships (which part holds each sheet, the shared
// strings and the styles), the styles (which cell formats are dates), the shared
// strings, and the one sheet asked for. Cell values are the cached results Excel saved;
// formulas are not evaluated.
#include <charconv>
#include <cstring>
#include <unordered_map>

#include "text/codepage.h"
#include "platform/database/fast_codec.h"
#include "platform/database/readers/number_format.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/sheet_table.h"
#include "platform/database/readers/xlsx_package.h"

namespace db {
namespace {

using sheet::isBuiltInDateFormat;
using sheet::isDateFormatCode;
using sheet::message;
using xlsx::Package;
using xlsx::Relationship;
using xlsx::XmlHandler;

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool parseUnsigned(const char* text, uint64_t& value) {
    if (text == nullptr) return false;
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end && ptr != text;
}

// OOXML writes characters XML cannot carry as _xHHHH_ (and a literal "_x" as _x005F_x).
// The text with them decoded: `text` itself when it holds none (most cells), else `scratch`.
std::string_view withoutEscapes(std::string_view text, std::string& scratch) {
    size_t at = text.find("_x");
    if (at == std::string_view::npos) return text;
    scratch.clear();
    size_t from = 0;
    for (; at != std::string_view::npos; at = text.find("_x", at + 1)) {
        if (at < from || at + 7 > text.size() || text[at + 6] != '_') continue;
        unsigned code = 0;
        auto [ptr, ec] = std::from_chars(text.data() + at + 2, text.data() + at + 6, code, 16);
        if (ec != std::errc() || ptr != text.data() + at + 6 || (code >= 0xD800 && code < 0xE000))
            continue;
        scratch.append(text.substr(from, at - from));
        if (code < 0x80) {
            scratch.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            scratch.push_back(static_cast<char>(0xC0 | (code >> 6)));
            scratch.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            scratch.push_back(static_cast<char>(0xE0 | (code >> 12)));
            scratch.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            scratch.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        from = at + 7;
    }
    scratch.append(text.substr(from));
    return scratch;
}

std::string decodeEscapes(std::string text) {
    std::string scratch;
    return std::string(withoutEscapes(text, scratch));
}

struct SheetEntry {
    std::string name;  // GBK
    std::string part;  // path inside the archive
};

struct WorkbookInfo {
    std::vector<SheetEntry> sheets;
    bool date1904 = false;
    std::string sharedStringsPart, stylesPart;
};

class WorkbookReader : public XmlHandler {
  public:
    struct RawSheet {
        std::string name, relationId;
    };
    std::vector<RawSheet> sheets;
    bool date1904 = false;

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "workbookPr") {
            const char* value = attribute(attributes, "date1904");
            date1904 = value != nullptr &&
                       (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
        } else if (name == "sheet") {
            const char* sheetName = attribute(attributes, "name");
            const char* id = attribute(attributes, "id", true);
            if (sheetName != nullptr && id != nullptr) sheets.push_back({sheetName, id});
        }
    }
    void endElement(std::string_view) override {}
};

// Finds the workbook part and reads the sheet list and the parts the sheets need.
bool readWorkbookInfo(const Package& package, WorkbookInfo& info, std::string& error) {
    std::vector<Relationship> rels;
    if (!package.relationships("", rels, error)) return false;
    std::string workbookPart = "xl/workbook.xml";
    for (const auto& rel : rels)
        if (endsWith(rel.type, "/officeDocument")) workbookPart = rel.target;

    WorkbookReader reader;
    if (!package.parsePart(workbookPart, reader, error)) return false;
    info.date1904 = reader.date1904;
    if (!package.relationships(workbookPart, rels, error)) return false;

    std::unordered_map<std::string, const Relationship*> byId;
    for (const auto& rel : rels) {
        byId[rel.id] = &rel;
        if (endsWith(rel.type, "/sharedStrings")) info.sharedStringsPart = rel.target;
        if (endsWith(rel.type, "/styles")) info.stylesPart = rel.target;
    }
    for (const auto& raw : reader.sheets) {
        auto found = byId.find(raw.relationId);
        // Chart sheets and macro sheets hold no table; the driver lists worksheets only.
        if (found == byId.end() || !endsWith(found->second->type, "/worksheet")) continue;
        info.sheets.push_back(
            {codepage::utf8ToGbk(decodeEscapes(raw.name)), found->second->target});
    }
    return true;
}

class StylesReader : public XmlHandler {
  public:
    std::vector<bool> dateStyles;  // by cell style index (the s attribute)

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "numFmt") {
            uint64_t id = 0;
            const char* code = attribute(attributes, "formatCode");
            if (parseUnsigned(attribute(attributes, "numFmtId"), id) && code != nullptr)
                customDate_[id] = isDateFormatCode(code);
        } else if (name == "cellXfs") {
            inCellXfs_ = true;
        } else if (name == "xf" && inCellXfs_) {
            uint64_t id = 0;
            bool date = false;
            if (parseUnsigned(attribute(attributes, "numFmtId"), id)) {
                auto custom = customDate_.find(id);
                date = custom != customDate_.end() ? custom->second : isBuiltInDateFormat(id);
            }
            dateStyles.push_back(date);
        }
    }
    void endElement(std::string_view name) override {
        if (name == "cellXfs") inCellXfs_ = false;
    }

  private:
    std::unordered_map<uint64_t, bool> customDate_;
    bool inCellXfs_ = false;
};

// Text of <si> / <is> items: the <t> runs concatenated, phonetic runs (<rPh>) left out.
class RichTextCollector {
  public:
    void start(std::string_view name) {
        if (name == "rPh")
            ++phonetic_;
        else if (name == "t" && phonetic_ == 0)
            inText_ = true;
    }
    void end(std::string_view name) {
        if (name == "rPh" && phonetic_ > 0)
            --phonetic_;
        else if (name == "t")
            inText_ = false;
    }
    void characters(std::string_view text) {
        if (inText_) text_.append(text);
    }
    // The text collected, escapes still in; valid until the next reset().
    std::string_view text() const { return text_; }
    void reset() {
        text_.clear();
        inText_ = false;
        phonetic_ = 0;
    }

  private:
    std::string text_;
    bool inText_ = false;
    int phonetic_ = 0;
};

class SharedStringsReader : public XmlHandler {
  public:
    sheet::StringPool strings;  // GBK

    void startElement(std::string_view name, const char**) override {
        if (name == "si")
            inItem_ = true;
        else if (inItem_)
            collector_.start(name);
    }
    void endElement(std::string_view name) override {
        if (name == "si") {
            scratch_.clear();
            codec::appendUtf8AsGbk(withoutEscapes(collector_.text(), unescaped_), scratch_);
            collector_.reset();
            strings.add(scratch_);
            inItem_ = false;
        } else if (inItem_) {
            collector_.end(name);
        }
    }
    void characters(std::string_view text) override {
        if (inItem_) collector_.characters(text);
    }

  private:
    RichTextCollector collector_;
    bool inItem_ = false;
    std::string scratch_, unescaped_;
};

// "B12" -> column 1, row 11 (0-based). False for anything else.
bool parseCellReference(const char* ref, uint32_t& column, uint32_t& row) {
    uint32_t c = 0, r = 0;
    const char* p = ref;
    int letters = 0;
    for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
        if (++letters > 3) return false;
        c = c * 26 + static_cast<uint32_t>((*p | 0x20) - 'a' + 1);
    }
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (++digits > 7) return false;
        r = r * 10 + static_cast<uint32_t>(*p - '0');
    }
    if (*p != '\0' || letters == 0 || digits == 0 || r == 0) return false;
    column = c - 1;
    row = r - 1;
    return true;
}

// ISO 8601 "YYYY-MM-DD[THH:MM:SS[.fff]]" of t="d" cells.
bool parseIsoDate(std::string_view text, gbk::DateTime& out) {
    auto number = [&](size_t at, size_t length, int& value) {
        if (at + length > text.size()) return false;
        auto [ptr, ec] = std::from_chars(text.data() + at, text.data() + at + length, value);
        return ec == std::errc() && ptr == text.data() + at + length;
    };
    gbk::DateTime d;
    if (!number(0, 4, d.year) || text.size() < 10 || text[4] != '-' || !number(5, 2, d.month) ||
        text[7] != '-' || !number(8, 2, d.day) || d.day < 1 ||
        d.day > sheet::daysInMonth(d.year, d.month))
        return false;
    if (text.size() >= 19 && text[10] == 'T') {
        if (!number(11, 2, d.hour) || !number(14, 2, d.minute) || !number(17, 2, d.second) ||
            d.hour > 23 || d.minute > 59 || d.second > 59)
            return false;
    }
    out = d;
    return true;
}

// A cell's number. Whole numbers of up to 15 digits (counts, codes, day numbers), most
// of a sheet's numbers, are exact in a double and read without from_chars.
bool parseNumber(const char* begin, const char* end, double& number) {
    if (begin == end) return false;
    if (end - begin <= 15) {
        uint64_t whole = 0;
        const char* p = begin;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) whole = whole * 10 + static_cast<uint64_t>(*p - '0');
        if (p == end) {
            number = static_cast<double>(whole);
            return true;
        }
    }
    auto [ptr, ec] = std::from_chars(begin, end, number);
    return ec == std::errc() && ptr == end;
}

// The t attribute of a cell: a number when absent or unknown.
enum class CellType { Number, Shared, Inline, Formula, Boolean, Error, Date };

CellType cellType(const char* t) {
    if (t == nullptr) return CellType::Number;
    const std::string_view type(t);
    if (type == "s") return CellType::Shared;
    if (type == "inlineStr") return CellType::Inline;
    if (type == "str") return CellType::Formula;
    if (type == "b") return CellType::Boolean;
    if (type == "e") return CellType::Error;
    if (type == "d") return CellType::Date;
    return CellType::Number;
}

class SheetReader : public XmlHandler {
  public:
    SheetReader(const sheet::StringPool& strings, const std::vector<bool>& dateStyles,
                bool date1904, bool firstRowOnly = false)
        : cells(&strings), strings_(strings), dateStyles_(dateStyles), date1904_(date1904),
          firstRowOnly_(firstRowOnly) {}

    sheet::SheetCells cells;
    // With firstRowOnly: the scan was ended on purpose at the first row after row 1.
    // The rows of a worksheet part come in ascending order, so nothing of row 1 follows.
    bool pastFirstRow() const { return pastFirstRow_; }

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "row") {
            uint64_t r = 0;
            if (parseUnsigned(attribute(attributes, "r"), r) && r >= 1)
                row_ = static_cast<uint32_t>(std::min<uint64_t>(r - 1, sheet::kMaxRows));
            else
                row_ = rowSeen_ ? row_ + 1 : 0;
            rowSeen_ = true;
            nextColumn_ = 0;
            if (row_ >= sheet::kMaxRows) stop(message("行号超出范围，文件已损坏。"));
            else if (firstRowOnly_ && row_ > 0) {
                pastFirstRow_ = true;
                stop({});
            }
        } else if (name == "c") {
            inCell_ = true;
            value_.clear();
            inValue_ = false;
            inInline_ = false;
            inline_.reset();
            style_ = 0;
            column_ = nextColumn_;
            // One pass over the attributes (this runs for every cell); the first of a
            // name counts, as with attribute().
            const char *ref = nullptr, *t = nullptr, *s = nullptr;
            for (const char** a = attributes; a[0] != nullptr; a += 2) {
                const char* own = a[0];
                if (own[0] == '\0' || own[1] != '\0') {  // not the usual one-letter name: look for a prefix
                    const char* colon = std::strrchr(own, ':');
                    own = colon != nullptr ? colon + 1 : own;
                }
                if (own[0] == '\0' || own[1] != '\0') continue;
                const char** slot = own[0] == 'r' ? &ref : own[0] == 't' ? &t : own[0] == 's' ? &s : nullptr;
                if (slot != nullptr && *slot == nullptr) *slot = a[1];
            }
            if (ref != nullptr) {
                uint32_t refRow = 0;
                if (!parseCellReference(ref, column_, refRow)) {
                    stop(message("单元格地址“") + ref + message("”无法识别，文件已损坏。"));
                    return;
                }
                row_ = refRow;
            }
            if (column_ >= sheet::kMaxColumns || row_ >= sheet::kMaxRows) {
                stop(message("单元格地址超出范围，文件已损坏。"));
                return;
            }
            type_ = cellType(t);
            uint64_t styleIndex = 0;
            if (parseUnsigned(s, styleIndex)) style_ = styleIndex;
        } else if (inCell_) {
            if (name == "v")
                inValue_ = true;
            else if (name == "is")
                inInline_ = true;
            else if (inInline_)
                inline_.start(name);
        }
    }

    void endElement(std::string_view name) override {
        if (name == "c" && inCell_) {
            finishCell();
            inCell_ = false;
            nextColumn_ = column_ + 1;
        } else if (name == "v") {
            inValue_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (inInline_) {
            inline_.end(name);
        }
    }

    void characters(std::string_view text) override {
        if (!inCell_) return;
        if (inValue_)
            value_.append(text);
        else if (inInline_)
            inline_.characters(text);
    }

  private:
    // Adds the cell just read to `cells`; a NULL or empty cell adds nothing.
    void finishCell() {
        if (firstRowOnly_ && row_ != 0) return;
        if (cells.count() >= sheet::kMaxTableCells) {
            stop(message("工作表太大，无法读取。"));
            return;
        }
        // A style or shared-string index past its table is damage, not an empty cell.
        if (style_ > 0 && !dateStyles_.empty() && style_ >= dateStyles_.size()) {
            stop(message("单元格格式编号 ") + std::to_string(style_) + message(" 超出范围，文件已损坏。"));
            return;
        }
        if (type_ == CellType::Shared) {
            if (value_.empty()) return;  // a formatted cell without a value
            uint64_t index = 0;
            if (!parseUnsigned(value_.c_str(), index) || index >= strings_.size()) {
                stop(message("单元格引用的共享字符串“") + value_ + message("”不存在，文件已损坏。"));
                return;
            }
            cells.addShared(row_, column_, index);
            return;
        }
        if (type_ == CellType::Inline || type_ == CellType::Formula) {
            text_.clear();
            codec::appendUtf8AsGbk(withoutEscapes(type_ == CellType::Formula ? std::string_view(value_) : inline_.text(), unescaped_), text_);
            cells.addText(row_, column_, text_);
            return;
        }
        if (type_ == CellType::Boolean) {
            if (value_ == "1" || value_ == "true") cells.addBoolean(row_, column_, true);
            if (value_ == "0" || value_ == "false") cells.addBoolean(row_, column_, false);
            return;
        }
        if (type_ == CellType::Error) return;  // #N/A, #DIV/0! and the like: no value
        if (type_ == CellType::Date) {
            gbk::DateTime date;
            if (parseIsoDate(value_, date)) cells.addDate(row_, column_, date);
            return;
        }
        // A number (t="n" or no type).
        const char* begin = value_.data();
        const char* end = begin + value_.size();
        while (begin < end && (*begin == ' ' || *begin == '\t' || *begin == '\n')) ++begin;
        while (end > begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\n')) --end;
        double number = 0;
        if (!parseNumber(begin, end, number)) return;
        if (style_ < dateStyles_.size() && dateStyles_[style_]) {
            gbk::DateTime date;
            if (sheet::serialToDateTime(number, date1904_, date)) {
                cells.addDate(row_, column_, date);
                return;
            }
        }
        cells.addNumber(row_, column_, number);
    }

    const sheet::StringPool& strings_;
    const std::vector<bool>& dateStyles_;
    const bool date1904_;
    const bool firstRowOnly_;
    bool pastFirstRow_ = false;
    uint32_t row_ = 0, column_ = 0, nextColumn_ = 0;
    bool rowSeen_ = false, inCell_ = false, inValue_ = false, inInline_ = false;
    CellType type_ = CellType::Number;
    std::string value_, text_, unescaped_;
    uint64_t style_ = 0;
    RichTextCollector inline_;
};

// What the cells of every sheet refer to: the styles (date or not) and the shared strings.
bool readSheetParts(const Package& package, const WorkbookInfo& info, StylesReader& styles,
                    SharedStringsReader& strings, std::string& error) {
    if (!info.stylesPart.empty() && package.hasPart(info.stylesPart) &&
        !package.parsePart(info.stylesPart, styles, error))
        return false;
    return info.sharedStringsPart.empty() || !package.hasPart(info.sharedStringsPart) ||
           package.scanPart(info.sharedStringsPart, strings, error);
}

bool openWorkbook(const std::string& path, Package& package, WorkbookInfo& info,
                  std::string& error) {
    if (!package.open(path, error)) return false;
    return readWorkbookInfo(package, info, error);
}

}  // namespace

bool listXlsxSheets(const std::string& path, std::vector<std::string>& sheets, std::string& error) {
    sheets.clear();
    Package package;
    WorkbookInfo info;
    if (!openWorkbook(path, package, info, error)) return false;
    for (auto& entry : info.sheets) sheets.push_back(std::move(entry.name));
    return true;
}

bool readXlsxSheetInto(const std::string& path, const std::string& sheetName, TableSink& sink,
                       std::string& error) {
    Package package;
    WorkbookInfo info;
    if (!openWorkbook(path, package, info, error)) return false;
    const SheetEntry* entry = nullptr;
    for (const auto& candidate : info.sheets)
        if (candidate.name == sheetName) {
            entry = &candidate;
            break;
        }
    if (entry == nullptr) {
        error = message("Excel 工作簿“") + path + message("”中没有工作表“") + sheetName +
                message("”。");
        return false;
    }

    StylesReader styles;
    SharedStringsReader strings;
    if (!readSheetParts(package, info, styles, strings, error)) return false;

    SheetReader reader(strings.strings, styles.dateStyles, info.date1904);
    if (!package.scanPart(entry->part, reader, error)) return false;
    return sheet::buildSheetTable(std::move(reader.cells), sink, error);
}

bool readXlsxHeaderRow(const std::string& path, size_t position, std::vector<Value>& cells,
                       std::string& error) {
    cells.clear();
    Package package;
    WorkbookInfo info;
    if (!openWorkbook(path, package, info, error)) return false;
    if (position >= info.sheets.size()) {
        error = message("Excel 工作簿“") + path + message("”中没有第 ") + std::to_string(position + 1) +
                message(" 个工作表。");
        return false;
    }
    StylesReader styles;
    SharedStringsReader strings;
    if (!readSheetParts(package, info, styles, strings, error)) return false;
    SheetReader reader(strings.strings, styles.dateStyles, info.date1904, true);
    if (!package.scanPart(info.sheets[position].part, reader, error) && !reader.pastFirstRow()) return false;
    error.clear();
    cells = sheet::rowValues(reader.cells, 0);
    return true;
}

bool readXlsxSheet(const std::string& path, const std::string& sheetName, LoadedTable& out,
                   std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readXlsxSheetInto(path, sheetName, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace db
