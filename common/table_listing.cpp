// Table lists of Access databases and workbooks, on the readers of the database component.
#include "common/table_listing.h"

#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/codepage.h"
#include "platform/database/readers/readers.h"
#include "platform/database/readers/workbook_format.h"

namespace {

// What the shell returned when it could not find the program it was to start.
constexpr char kShellStartNotFound[] = "2";

// Why `file` cannot be read as a workbook; errno is that of the failed open for Unreadable.
std::string notAWorkbook(db::WorkbookFormat format, const std::string& file) {
    if (format == db::WorkbookFormat::Unreadable)
        return codepage::utf8ToGbk(errno == EACCES ? "没有读取 Excel 工作簿的权限："
                                   : errno == ENOENT ? "找不到 Excel 工作簿："
                                                     : "无法打开 Excel 工作簿：") + file;
    return codepage::utf8ToGbk("不是可以识别的 Excel 工作簿：") + file;
}

}  // namespace

bool listWorkbookSheets(const std::string& file, std::vector<std::string>& sheets, std::string& error) {
    sheets.clear();
    const db::WorkbookFormat format = db::workbookFormatOfFile(file);
    switch (format) {
    case db::WorkbookFormat::Xls: return db::listXlsSheets(file, sheets, error);
    case db::WorkbookFormat::Xlsx: return db::listXlsxSheets(file, sheets, error);
    default: break;
    }
    error = notAWorkbook(format, file);
    return false;
}

bool readWorkbookSheet(const std::string& file, const std::string& sheet, db::LoadedTable& out,
                       std::string& error) {
    const db::WorkbookFormat format = db::workbookFormatOfFile(file);
    switch (format) {
    case db::WorkbookFormat::Xls: return db::readXlsSheet(file, sheet, out, error);
    case db::WorkbookFormat::Xlsx: return db::readXlsxSheet(file, sheet, out, error);
    default: break;
    }
    error = notAWorkbook(format, file);
    return false;
}

bool readWorkbookHeaderRow(const std::string& file, size_t position, std::vector<db::Value>& cells,
                           std::string& error) {
    cells.clear();
    const db::WorkbookFormat format = db::workbookFormatOfFile(file);
    switch (format) {
    case db::WorkbookFormat::Xls: return db::readXlsHeaderRow(file, position, cells, error);
    case db::WorkbookFormat::Xlsx: return db::readXlsxHeaderRow(file, position, cells, error);
    default: break;
    }
    error = notAWorkbook(format, file);
    return false;
}

bool 列出MDB表(const std::string& file, const std::string& password, std::vector<std::string>& list) {
    std::string error;
    return 列出MDB表(file, password, list, error);
}

bool 列出MDB表(const std::string& file, const std::string& password, std::vector<std::string>& list,
               std::string& error) {
    list.clear();
    if (!db::listMdbTables(file, password, list, error)) {
        list.clear();
        return false;
    }
    return true;
}

WorkbookReminder workbookReminder(WorkbookListingVariant variant) {
    if (variant == WorkbookListingVariant::QueryProgram)
        return {kShellStartNotFound,
                codepage::utf8ToGbk("如果数据库有密码，那么在程序运行期间，请一直打开它！"
                                    "数据库最好加‘修改权限密码’而不是‘打开权限密码’")};
    return {codepage::utf8ToGbk("提醒："),
            codepage::utf8ToGbk("如果数据库有密码，那么在程序运行期间，请一直打开它，先打开数据库，再按‘确定’！")};
}

void 列出Excel表(const std::string& file, std::vector<std::string>& list, WorkbookListingVariant variant,
                 const ReminderBox& remind) {
    std::string error;
    列出Excel表(file, list, variant, remind, error);
}

void 列出Excel表(const std::string& file, std::vector<std::string>& list, WorkbookListingVariant variant,
                 const ReminderBox& remind, std::string& error) {
    list.clear();
    std::vector<std::string> sheets;
    if (!listWorkbookSheets(file, sheets, error)) {
        if (remind) {
            const WorkbookReminder reminder = workbookReminder(variant);
            remind(reminder.caption, reminder.text);
        }
        if (!listWorkbookSheets(file, sheets, error)) return;
    }
    error.clear();
    for (const std::string& sheet : sheets) list.push_back(excelSheetTableName(sheet));
    // The driver lists a workbook's named ranges after its sheets, by their own names.
    std::vector<std::string> ranges;
    std::string rangeError;
    if (db::workbookFormatOfFile(file) == db::WorkbookFormat::Xls && db::listXlsNamedRanges(file, ranges, rangeError))
        list.insert(list.end(), ranges.begin(), ranges.end());
}

std::string excelSheetTableName(const std::string& sheet) {
    const QString name = codepage::toQString(sheet);
    bool plain = !name.isEmpty() && !name.at(0).isDigit();
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_')) { plain = false; break; }
    if (plain) return sheet + "$";
    std::string quoted = "'";
    for (const char c : sheet) {
        quoted += c;
        if (c == '\'') quoted += '\'';  // never the second byte of a GBK character (< 0x40)
    }
    return quoted + "$'";
}
