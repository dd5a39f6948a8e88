// Excel 97-2003 workbooks (.xls): the worksheets and named ranges a workbook lists, and
// one of them as a table. The file is mapped into memory, its workbook stream taken out of the
// compound file (compound_file.h), the BIFF records read (xls_workbook.h); header and
// typing rules are the shared ones of sheet_table.h.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/codepage.h"
#include "platform/database/readers/compound_file.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/workbook_format.h"
#include "platform/database/readers/sheet_table.h"
#include "platform/database/readers/xls_workbook.h"

namespace db {
namespace {

using sheet::message;

std::string failure(const std::string& path, const std::string& why) {
    return message("无法读取 Excel 工作簿“") + path + message("”：") + why;
}

// The file mapped into memory, read-only: a workbook is read once from front to back
// (pages come from the page cache, nothing is copied), and a listing touches only the
// pages of the workbook globals.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (data_ != nullptr) ::munmap(data_, size_);
    }
    // False with a message that names the cause.
    bool open(const std::string& path, std::string& error) {
        const std::string local = codepage::toLocalPath(path);
        struct stat info {};
        if (::stat(local.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
            error = errno == EACCES ? failure(path, message("没有读取这个文件的权限。"))
                                    : message("找不到 Excel 工作簿“") + path + message("”。");
            return false;
        }
        const int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = failure(path, errno == EACCES ? message("没有读取这个文件的权限。")
                                                  : message("无法打开文件（") + std::strerror(errno) + message("）。"));
            return false;
        }
        if (::fstat(fd, &info) == 0 && info.st_size > 0) {
            size_ = static_cast<size_t>(info.st_size);
            void* data = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (data == MAP_FAILED) {
                const int cause = errno;
                ::close(fd);
                size_ = 0;
                error = failure(path, message("读取文件出错（") + std::strerror(cause) + message("）。"));
                return false;
            }
            data_ = data;
            ::madvise(data_, size_, MADV_WILLNEED);
        }
        ::close(fd);
        return true;
    }
    std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

private:
    void* data_ = nullptr;
    size_t size_ = 0;
};

// An open workbook with what its records live in.
struct OpenWorkbook {
    MappedFile file;
    std::string streamCopy;  // only when the stream's sectors are not in one run
    xls::Workbook book;
};

// Opens the workbook at `path`; `withStrings` as Workbook::open has it.
bool openWorkbook(const std::string& path, bool withStrings, OpenWorkbook& open, std::string& error) {
    if (!open.file.open(path, error)) return false;
    const std::string_view bytes = open.file.bytes();
    if (workbookFormatOf(bytes) == WorkbookFormat::Xlsx) {
        error = failure(path, message("这是 Excel 2007 及以后版本的工作簿（.xlsx），不是 .xls。"));
        return false;
    }
    if (workbookFormatOf(bytes) != WorkbookFormat::Xls) {
        error = failure(path, message("不是 Excel 97-2003 工作簿。"));
        return false;
    }
    cfb::CompoundFile container;
    std::string why;
    std::string_view stream;
    if (!container.open(bytes, why)) {
        error = failure(path, why);
        return false;
    }
    if (container.hasStream(u"EncryptedPackage")) {
        error = failure(path, message("工作簿设有打开密码（已加密），请先在 Excel 中去掉密码。"));
        return false;
    }
    // Excel 97 and later write "Workbook"; Excel 5 and 95 wrote "Book".
    const std::u16string_view name = container.hasStream(u"Workbook") ? u"Workbook" : u"Book";
    if (!container.readStream(name, open.streamCopy, stream, why) || !open.book.open(stream, withStrings, why)) {
        error = failure(path, why);
        return false;
    }
    return true;
}

const xls::NamedRange* findRange(const xls::Workbook& book, const std::string& name) {
    for (const auto& range : book.ranges())
        if (range.name == name) return &range;
    return nullptr;
}

bool readInto(const std::string& path, const std::string& table, bool range, TableSink& sink, std::string& error) {
    OpenWorkbook open;
    if (!openWorkbook(path, true, open, error)) return false;
    const xls::Workbook& book = open.book;
    size_t index = book.sheets().size();
    const xls::NamedRange* area = nullptr;
    if (range) {
        area = findRange(book, table);
        if (area != nullptr) index = area->sheet;
    } else {
        for (size_t i = 0; i < book.sheets().size() && index == book.sheets().size(); ++i)
            if (book.sheets()[i].worksheet && book.sheets()[i].name == table) index = i;
    }
    if (index == book.sheets().size()) {
        error = message("Excel 工作簿“") + path + message(range ? "”中没有名称“" : "”中没有工作表“") + table +
                message("”。");
        return false;
    }
    sheet::SheetCells cells(&book.sharedStrings());
    std::string why;
    if (!book.readCells(index, area, cells, why)) {
        error = failure(path, why);
        return false;
    }
    return sheet::buildSheetTable(std::move(cells), sink, error);
}

bool readLoaded(const std::string& path, const std::string& table, bool range, LoadedTable& out, std::string& error) {
    out = LoadedTable{};
    LoadedTableSink sink(out);
    if (readInto(path, table, range, sink, error)) return true;
    out = LoadedTable{};
    return false;
}

}  // namespace

bool listXlsSheets(const std::string& path, std::vector<std::string>& sheets, std::string& error) {
    sheets.clear();
    OpenWorkbook open;
    if (!openWorkbook(path, false, open, error)) return false;
    // Hidden and very hidden worksheets too; chart sheets and macro sheets hold no table.
    for (const auto& sheet : open.book.sheets())
        if (sheet.worksheet) sheets.push_back(sheet.name);
    return true;
}

bool listXlsNamedRanges(const std::string& path, std::vector<std::string>& names, std::string& error) {
    names.clear();
    OpenWorkbook open;
    if (!openWorkbook(path, false, open, error)) return false;
    for (const auto& range : open.book.ranges()) names.push_back(range.name);
    return true;
}

bool readXlsSheetInto(const std::string& path, const std::string& sheetName, TableSink& sink, std::string& error) {
    return readInto(path, sheetName, false, sink, error);
}

bool readXlsRangeInto(const std::string& path, const std::string& name, TableSink& sink, std::string& error) {
    return readInto(path, name, true, sink, error);
}

bool readXlsHeaderRow(const std::string& path, size_t position, std::vector<Value>& cells, std::string& error) {
    cells.clear();
    OpenWorkbook open;
    if (!openWorkbook(path, true, open, error)) return false;
    const xls::Workbook& book = open.book;
    size_t index = book.sheets().size();
    for (size_t i = 0, worksheets = 0; i < book.sheets().size(); ++i) {
        if (!book.sheets()[i].worksheet) continue;
        if (worksheets++ == position) {
            index = i;
            break;
        }
    }
    if (index == book.sheets().size()) {
        error = message("Excel 工作簿“") + path + message("”中没有第 ") + std::to_string(position + 1) +
                message(" 个工作表。");
        return false;
    }
    // Only row 1 is kept; the records of the other rows are stepped over, not decoded.
    const xls::NamedRange firstRow{{}, index, 0, 0, 0, sheet::kMaxColumns - 1};
    sheet::SheetCells kept(&book.sharedStrings());
    std::string why;
    if (!book.readCells(index, &firstRow, kept, why)) {
        error = failure(path, why);
        return false;
    }
    cells = sheet::rowValues(kept, 0);
    return true;
}

bool readXlsSheet(const std::string& path, const std::string& sheetName, LoadedTable& out, std::string& error) {
    return readLoaded(path, sheetName, false, out, error);
}

bool readXlsRange(const std::string& path, const std::string& name, LoadedTable& out, std::string& error) {
    return readLoaded(path, name, true, out, error);
}

}  // namespace db
