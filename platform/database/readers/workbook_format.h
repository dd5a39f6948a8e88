// What a workbook file is, told by its first bytes: an Excel 97-2003 workbook (.xls) is an
// OLE compound file, a 2007+ workbook (.xlsx) a zip package. Its name says nothing: a
// workbook path may end in anything, or nothing. The one format check every caller uses.
#pragma once

#include <string>
#include <string_view>

namespace db {

enum class WorkbookFormat { Unknown, Unreadable, Xls, Xlsx };

// By the file's first bytes (at least 8 are needed to tell .xls).
WorkbookFormat workbookFormatOf(std::string_view head);

// By the first bytes of the file at `gbkPath`. Unreadable when it cannot be opened or read,
// with errno left as the failed call set it, so that the message can name the cause.
WorkbookFormat workbookFormatOfFile(const std::string& gbkPath);

}  // namespace db
