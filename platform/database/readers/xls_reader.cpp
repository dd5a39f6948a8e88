// Excel 97-2003 workbooks (.xls, BIFF5/BIFF8) through FreeXL: sheet names and one sheet
// as a table. The header and typing rules are the shared ones of sheet_table.h.
//
// FreeXL hands dates over as texts it computed itself, with a calendar that makes every
// year divisible by 4 a leap year; from 2100-03-01 on its dates run ahead of the real
// ones. We count its calendar back to Excel's day number and compute the date again.
// It also gives TRUE/FALSE cells as the integers 1/0 (they read as numbers here), and
// dates in cells formatted as time only (built-in formats 18-21, 45-47) come without
// their day.
#include <freexl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/text/codepage.h"
#include "platform/database/fast_codec.h"
#include "platform/database/readers/isolated_call.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/sheet_table.h"

namespace db {
namespace {

using sheet::message;

std::string describeFailure(const std::string& path, int code) {
    std::string text = message("无法读取 Excel 工作簿“") + path + message("”：");
    switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return text + message("找不到文件或无法打开。");
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_CFBF_INVALID_SIGNATURE:
            return text + message("不是 Excel 97-2003 工作簿。");
        case FREEXL_INSUFFICIENT_MEMORY:
            return text + message("内存不足。");
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return text + message("文件中没有工作簿数据。");
        default:
            return text + message("文件已损坏（FreeXL 错误 ") + std::to_string(code) +
                   message("）。");
    }
}

bool startsWithZipSignature(const std::string& localPath) {
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) return false;
    char head[4] = {};
    const bool zip = std::fread(head, 1, 4, file) == 4 && std::memcmp(head, "PK\x03\x04", 4) == 0;
    std::fclose(file);
    return zip;
}

// --- FreeXL in a child process --------------------------------------------------------
//
// FreeXL 1.0.6 reads out of bounds on some damaged workbooks and loops once per day of
// a date, so it runs in a child process (isolated_call.h) that writes what it found to
// a pipe: the open result, the protection flag, the date mode, the sheet names (UTF-8)
// and, when a sheet is asked for, its non-empty cells, then an end mark. A child that
// dies, overruns the time limit or leaves the message unfinished fails the read.

constexpr int kFreexlTimeoutMs = 60'000;
constexpr std::size_t kMaxMessageBytes = std::size_t{1} << 30;
constexpr char kEndMark[] = "END!";
constexpr uint32_t kNoSheetCount = 0xFFFFFFFF;
enum CellTag : unsigned char {
    kCellsEnd = 0,
    kInt = 1,
    kDouble = 2,
    kText = 3,
    kDate = 4,
    kTime = 5
};

class ChildWriter {
  public:
    explicit ChildWriter(int fd) : fd_(fd) {}
    ~ChildWriter() { flush(); }
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const char*>(data);
        buffer_.append(p, size);
        if (buffer_.size() >= (1u << 16)) flush();
    }
    template <typename T>
    void put(T value) {
        bytes(&value, sizeof value);
    }
    void text(const char* value) {
        const uint32_t length = value != nullptr ? static_cast<uint32_t>(std::strlen(value)) : 0;
        put(length);
        bytes(value, length);
    }
    void flush() {
        writeAllOrExit(fd_, buffer_.data(), buffer_.size());
        buffer_.clear();
    }

  private:
    int fd_;
    std::string buffer_;
};

// The child's side: never returns an error, writes what it can.
void freexlChild(int fd, const std::string& localPath, int sheetIndex) {
    ChildWriter out(fd);
    const void* handle = nullptr;
    const int rc = sheetIndex < 0 ? freexl_open_info(localPath.c_str(), &handle)
                                  : freexl_open(localPath.c_str(), &handle);
    out.put<int32_t>(rc);
    if (rc == FREEXL_OK) {
        unsigned int protection = FREEXL_BIFF_PLAIN, dateMode = FREEXL_BIFF_DATEMODE_1900,
                     count = 0;
        freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &protection);
        freexl_get_info(handle, FREEXL_BIFF_DATEMODE, &dateMode);
        const bool counted = freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) == FREEXL_OK;
        if (!counted) count = 0;
        out.put<uint32_t>(protection == FREEXL_BIFF_OBFUSCATED ? 1 : 0);
        out.put<uint32_t>(dateMode);
        out.put<uint32_t>(counted ? count : kNoSheetCount);
        for (unsigned int i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) !=
                FREEXL_OK)
                name = nullptr;
            out.text(name);
        }
        if (sheetIndex >= 0 && protection != FREEXL_BIFF_OBFUSCATED) {
            unsigned int rows = 0;
            unsigned short columns = 0;
            int selected =
                freexl_select_active_worksheet(handle, static_cast<unsigned short>(sheetIndex));
            if (selected == FREEXL_OK)
                selected = freexl_worksheet_dimensions(handle, &rows, &columns);
            out.put<int32_t>(selected);
            for (unsigned int r = 0; selected == FREEXL_OK && r < rows; ++r) {
                for (unsigned short c = 0; c < columns; ++c) {
                    FreeXL_CellValue cell{};
                    if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK) continue;
                    unsigned char tag;
                    switch (cell.type) {
                        case FREEXL_CELL_INT:
                            tag = kInt;
                            break;
                        case FREEXL_CELL_DOUBLE:
                            tag = kDouble;
                            break;
                        case FREEXL_CELL_TEXT:
                        case FREEXL_CELL_SST_TEXT:
                            tag = kText;
                            break;
                        case FREEXL_CELL_DATE:
                        case FREEXL_CELL_DATETIME:
                            tag = kDate;
                            break;
                        case FREEXL_CELL_TIME:
                            tag = kTime;
                            break;
                        default:
                            continue;
                    }
                    out.put(tag);
                    out.put<uint32_t>(r);
                    out.put<uint16_t>(c);
                    if (tag == kInt)
                        out.put<int32_t>(cell.value.int_value);
                    else if (tag == kDouble)
                        out.put<double>(cell.value.double_value);
                    else
                        out.text(cell.value.text_value);
                }
            }
            out.put<unsigned char>(kCellsEnd);
        }
    }
    out.bytes(kEndMark, 4);
    out.flush();
    // The handle is not closed: the process ends here and takes everything with it.
}

// The child's message as it arrived, in pieces of up to kPieceBytes.
class MessagePieces {
  public:
    static constexpr std::size_t kPieceBytes = 64 * 1024;
    void append(const char* data, std::size_t size) {
        while (size > 0) {
            if (pieces_.empty() || pieces_.back().size() == kPieceBytes) {
                pieces_.emplace_back();
                pieces_.back().reserve(kPieceBytes);
            }
            std::string& last = pieces_.back();
            const std::size_t take = std::min(size, kPieceBytes - last.size());
            last.append(data, take);
            data += take;
            size -= take;
        }
    }
    std::vector<std::string>& pieces() { return pieces_; }

  private:
    std::vector<std::string> pieces_;
};

// Reads the child's message with bounds checks; any shortfall marks it broken. Each
// piece is released once it has been read past.
class MessageReader {
  public:
    explicit MessageReader(std::vector<std::string>& pieces) : pieces_(pieces) {
        for (const auto& piece : pieces_) remaining_ += piece.size();
    }
    template <typename T>
    T get() {
        T value{};
        char bytes[sizeof value];
        if (read(bytes, sizeof value)) std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    // A length-prefixed text into `out` (cleared first).
    void text(std::string& out) {
        out.clear();
        const auto length = get<uint32_t>();
        if (!ok_ || remaining_ < length) {
            ok_ = false;
            return;
        }
        out.resize(length);
        read(out.data(), length);
    }
    std::string text() {
        std::string out;
        text(out);
        return out;
    }
    bool endsHere() {
        char mark[4];
        return ok_ && remaining_ == 4 && read(mark, 4) && std::memcmp(mark, kEndMark, 4) == 0;
    }
    bool ok() const { return ok_; }

  private:
    bool read(char* out, std::size_t size) {
        if (!ok_ || remaining_ < size) {
            ok_ = false;
            return false;
        }
        remaining_ -= size;
        while (size > 0) {
            if (piece_ >= pieces_.size()) {
                ok_ = false;
                return false;
            }
            const std::string& piece = pieces_[piece_];
            const std::size_t take = std::min(size, piece.size() - at_);
            std::memcpy(out, piece.data() + at_, take);
            out += take;
            size -= take;
            at_ += take;
            if (at_ == piece.size()) {
                std::string().swap(pieces_[piece_]);
                ++piece_;
                at_ = 0;
            }
        }
        return true;
    }
    std::vector<std::string>& pieces_;
    std::size_t piece_ = 0, at_ = 0, remaining_ = 0;
    bool ok_ = true;
};

struct WorkbookContents {
    bool dateMode1904 = false;
    std::vector<std::string> sheets;  // GBK
};

void addCell(sheet::SheetCells& cells, unsigned char tag, uint32_t row, uint16_t column,
             double number, const std::string& text, bool date1904, std::string& scratch);

// Opens the workbook in a child; with sheetIndex >= 0 also reads that sheet's cells into
// `cells` (which must then be given). Refuses missing files, .xlsx packages and
// password-protected workbooks.
bool readWorkbook(const std::string& path, int sheetIndex, WorkbookContents& contents,
                  std::string& error, sheet::SheetCells* cells = nullptr) {
    const std::string local = codepage::toLocalPath(path);
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = message("找不到 Excel 工作簿“") + path + message("”。");
        return false;
    }
    if (startsWithZipSignature(local)) {
        error = message("无法读取“") + path +
                message("”：这是 Excel 2007 及以后版本的工作簿（.xlsx），不是 .xls。");
        return false;
    }
    MessagePieces data;
    const IsolatedOutcome outcome = runIsolated(
        [&](int fd) { freexlChild(fd, local, sheetIndex); },
        [&data](const char* bytes, std::size_t size) { data.append(bytes, size); }, kFreexlTimeoutMs,
        kMaxMessageBytes);
    if (outcome == IsolatedOutcome::TimedOut) {
        error = message("无法读取 Excel 工作簿“") + path + message("”：读取超时，文件可能已损坏。");
        return false;
    }
    if (outcome == IsolatedOutcome::CannotStart) {
        error = message("无法读取 Excel 工作簿“") + path + message("”：系统资源不足。");
        return false;
    }

    MessageReader in(data.pieces());
    const auto rc = in.get<int32_t>();
    if (in.ok() && rc != FREEXL_OK && in.endsHere()) {
        error = describeFailure(path, rc);
        return false;
    }
    const bool obfuscated = in.get<uint32_t>() != 0;
    contents.dateMode1904 = in.get<uint32_t>() == FREEXL_BIFF_DATEMODE_1904;
    const auto count = in.get<uint32_t>();
    if (in.ok() && count == kNoSheetCount) {
        error = describeFailure(path, FREEXL_CRAFTED_FILE);
        return false;
    }
    for (uint32_t i = 0; in.ok() && i < count; ++i)
        contents.sheets.push_back(codepage::utf8ToGbk(in.text()));
    if (in.ok() && obfuscated) {
        error = message("无法读取 Excel 工作簿“") + path +
                message("”：工作簿设有打开密码（已加密），请先在 Excel 中去掉密码。");
        return false;
    }
    if (sheetIndex >= 0 && in.ok()) {
        const auto selected = in.get<int32_t>();
        if (in.ok() && selected != FREEXL_OK) {
            error = describeFailure(path, selected);
            return false;
        }
        std::string text, scratch;
        for (;;) {
            const auto tag = in.get<unsigned char>();
            if (!in.ok() || tag == kCellsEnd) break;
            const auto row = in.get<uint32_t>();
            const auto column = in.get<uint16_t>();
            double number = 0;
            text.clear();
            if (tag == kInt)
                number = in.get<int32_t>();
            else if (tag == kDouble)
                number = in.get<double>();
            else
                in.text(text);
            if (in.ok()) addCell(*cells, tag, row, column, number, text, contents.dateMode1904, scratch);
        }
    }
    if (outcome != IsolatedOutcome::Finished || !in.endsHere()) {
        contents = WorkbookContents{};
        error = describeFailure(path, FREEXL_CRAFTED_FILE);
        return false;
    }
    return true;
}

// Day ordinal in FreeXL's calendar (every fourth year leap, no century exception).
int64_t freexlOrdinal(int year, int month, int day) {
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t days = 365LL * year + (year + 3) / 4 + kBefore[month - 1] + day;
    if (month > 2 && year % 4 == 0) days += 1;
    return days;
}

bool readDigits(const char* text, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "HH:MM:SS" at `text` as seconds (FreeXL may write 24:00:00 for a time rounded up).
bool parseTime(const char* text, int& seconds) {
    int h, m, s;
    if (std::strlen(text) < 8 || !readDigits(text, 2, h) || text[2] != ':' ||
        !readDigits(text + 3, 2, m) || text[5] != ':' || !readDigits(text + 6, 2, s))
        return false;
    seconds = h * 3600 + m * 60 + s;
    return true;
}

// FreeXL's "YYYY-MM-DD[ HH:MM:SS]" back to Excel's day number, then to the real date.
bool correctFreexlDate(const char* text, bool date1904, gbk::DateTime& out) {
    int y, m, d, seconds = 0;
    if (std::strlen(text) < 10 || !readDigits(text, 4, y) || text[4] != '-' ||
        !readDigits(text + 5, 2, m) || text[7] != '-' || !readDigits(text + 8, 2, d) || m < 1 ||
        m > 12)
        return false;
    if (text[10] == ' ' && !parseTime(text + 11, seconds)) return false;
    const int64_t serial = date1904 ? freexlOrdinal(y, m, d) - freexlOrdinal(1904, 1, 2) + 1
                                    : freexlOrdinal(y, m, d) - freexlOrdinal(1900, 1, 1) + 1;
    return sheet::serialToDateTime(static_cast<double>(serial) + seconds / 86400.0, date1904, out);
}

// One cell of the child's message into the store; a cell without a value adds nothing.
// `scratch` is reused for the GBK form of texts.
void addCell(sheet::SheetCells& cells, unsigned char tag, uint32_t row, uint16_t column,
             double number, const std::string& text, bool date1904, std::string& scratch) {
    switch (tag) {
        case kInt:
        case kDouble:
            cells.addNumber(row, column, number);
            return;
        case kText:
            scratch.clear();
            codec::appendUtf8AsGbk(text, scratch);
            cells.addText(row, column, scratch);
            return;
        case kDate: {
            gbk::DateTime date;
            if (correctFreexlDate(text.c_str(), date1904, date)) cells.addDate(row, column, date);
            return;
        }
        case kTime: {
            gbk::DateTime time;
            int seconds = 0;
            if (parseTime(text.c_str(), seconds) &&
                sheet::serialToDateTime(seconds / 86400.0, false, time))
                cells.addDate(row, column, time);
            return;
        }
        default:
            return;
    }
}

}  // namespace

bool listXlsSheets(const std::string& path, std::vector<std::string>& sheets, std::string& error) {
    sheets.clear();
    WorkbookContents contents;
    if (!readWorkbook(path, -1, contents, error)) return false;
    sheets = std::move(contents.sheets);
    return true;
}

bool readXlsSheetInto(const std::string& path, const std::string& sheetName, TableSink& sink,
                      std::string& error) {
    WorkbookContents listing;
    if (!readWorkbook(path, -1, listing, error)) return false;
    size_t index = 0;
    while (index < listing.sheets.size() && listing.sheets[index] != sheetName) ++index;
    if (index == listing.sheets.size()) {
        error = message("Excel 工作簿“") + path + message("”中没有工作表“") + sheetName +
                message("”。");
        return false;
    }
    WorkbookContents contents;
    sheet::SheetCells cells;
    if (!readWorkbook(path, static_cast<int>(index), contents, error, &cells)) return false;
    return sheet::buildSheetTable(std::move(cells), sink, error);
}

bool readXlsSheet(const std::string& path, const std::string& sheetName, LoadedTable& out,
                  std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readXlsSheetInto(path, sheetName, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace db
