// The table lists of a data file, as both programs fill `表名数组`: the user tables of an
// Access database (`列出MDB表`) and the sheets of a workbook (`列出Excel表`), named the
// way statements use them.
//
// Nothing here shows a dialog: the workbook reminder goes through a callback that the
// program supplies, and the retry runs when that callback returns.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/database/readers/loaded_table.h"

// The user tables of the Access database `file` (GBK path) opened with `password` ("" for
// none), in catalogue order, into `list`, which is emptied first. Names are plain (no
// brackets), untrimmed, duplicates kept. Returns false, with the list empty, when the
// database cannot be opened: missing, damaged or not an Access file, a wrong password, or
// no password for a protected database. A database without user tables gives true and an
// empty list. A password given for a database that has none is ignored, as Jet does.
bool 列出MDB表(const std::string& file, const std::string& password, std::vector<std::string>& list);
// The same, with why the database could not be opened in `error` (GBK, the reader's own
// words: "不是有效的密码。", a damaged or missing file); empty on success.
bool 列出MDB表(const std::string& file, const std::string& password, std::vector<std::string>& list,
               std::string& error);

// Which program lists a workbook; they differ in the reminder shown when it cannot be opened.
enum class WorkbookListingVariant { QueryProgram, SettingsProgram };

// Shows a modal message box with one OK button, caption and text in GBK, and returns when
// the user has closed it.
using ReminderBox = std::function<void(const std::string& caption, const std::string& text)>;

// The reminder of each variant (GBK).
struct WorkbookReminder {
    std::string caption;
    std::string text;
};
WorkbookReminder workbookReminder(WorkbookListingVariant variant);

// The sheets of the workbook `file` (.xls or .xlsx, told apart by the file's signature, not
// its name) into `list`, emptied first, in workbook order, each named as the Excel driver
// names it (excelSheetTableName). When the workbook cannot be opened, `remind` is called
// once with the variant's reminder and the workbook is tried once more; when that fails
// too the list stays empty. An empty `remind` skips the box but not the retry. The named
// ranges of an .xls workbook follow the sheets, under their own names ("班级表",
// "Sheet1$Print_Area").
//
// The query program's reminder is captioned with the result of starting Excel on the
// workbook so that the user can give its password. No Excel exists here, so nothing is
// started and the caption is "2", the shell's "file not found" result, which is
// exactly the situation on this system.
void 列出Excel表(const std::string& file, std::vector<std::string>& list, WorkbookListingVariant variant,
                 const ReminderBox& remind);
// The same, with why the last try could not open the workbook in `error` (GBK); empty
// when the sheets were listed.
void 列出Excel表(const std::string& file, std::vector<std::string>& list, WorkbookListingVariant variant,
                 const ReminderBox& remind, std::string& error);

// Workbook access by the file's signature (.xls: OLE compound file, .xlsx: zip package),
// whatever its name ends in; false with a GBK message for a file that is neither or that
// the reader refuses. Sheet names are the workbook's own, in workbook order.
bool listWorkbookSheets(const std::string& file, std::vector<std::string>& sheets, std::string& error);
// One sheet by its own name (as listWorkbookSheets gives it).
bool readWorkbookSheet(const std::string& file, const std::string& sheet, db::LoadedTable& out,
                       std::string& error);
// Row 1 of the worksheet at 0-based `position` among the workbook's worksheets, cell by
// cell as stored (Null where there is no cell), without the header rules of a table.
bool readWorkbookHeaderRow(const std::string& file, size_t position, std::vector<db::Value>& cells,
                           std::string& error);

// The Excel driver's table name of a sheet: the name followed by "$", put in single quotes
// when the name holds anything but letters, digits and "_" (spaces, punctuation, full-width
// punctuation) or begins with a digit, an apostrophe inside doubled: "Sheet1$", "学生$",
// "'my sheet$'", "'2024$'", "'O''Neil$'". Letters and digits are Unicode's, so Chinese
// characters and full-width letters need no quotes.
std::string excelSheetTableName(const std::string& sheet);
