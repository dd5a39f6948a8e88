// The readers, one file each, behind one shape: (path, ..., out, error) -> ok.
//
// Paths, names and texts are GBK; a reader converts a path to the local (UTF-8) form
// itself. A reader returns false with a user-readable message in `error` for a missing,
// unreadable, truncated, corrupt or wrong-kind file; it never throws, never crashes and
// never reads outside the file. The forms that stream rows into the table cache instead
// of building a LoadedTable are in table_sink.h.
#pragma once

#include <string>
#include <vector>

#include "platform/database/readers/loaded_table.h"

namespace db {

// Text / CSV (text_reader.cpp).
bool readTextTable(const std::string& path, LoadedTable& out, std::string& error);

// dBASE (dbf_reader.cpp).
bool readDbfTable(const std::string& path, LoadedTable& out, std::string& error);

// Excel 97-2003 .xls (xls_reader.cpp). Sheet names are the workbook's own, without the
// "$" and quotes that statements put around them, in workbook order.
bool listXlsSheets(const std::string& path, std::vector<std::string>& sheets, std::string& error);
bool readXlsSheet(const std::string& path, const std::string& sheet, LoadedTable& out,
                  std::string& error);
// The workbook's named ranges that refer to one rectangle of one worksheet, in workbook
// order, named as they are listed after the sheets: a workbook-wide name as it is, a
// sheet's own name as "sheet$name". A range reads as a sheet does, its first row giving
// the field names.
bool listXlsNamedRanges(const std::string& path, std::vector<std::string>& names, std::string& error);
bool readXlsRange(const std::string& path, const std::string& name, LoadedTable& out, std::string& error);
// Row 1 of the worksheet at 0-based `position` among the workbook's worksheets (hidden
// ones counted, chart and macro sheets not), cell by cell as stored: sheet_table.h's
// rowValues. Nothing of the header rules that make field names applies.
bool readXlsHeaderRow(const std::string& path, size_t position, std::vector<Value>& cells, std::string& error);

// Excel 2007+ .xlsx (xlsx_reader.cpp), likewise.
bool listXlsxSheets(const std::string& path, std::vector<std::string>& sheets, std::string& error);
bool readXlsxSheet(const std::string& path, const std::string& sheet, LoadedTable& out,
                   std::string& error);
// Row 1 of a worksheet, as readXlsHeaderRow; the sheet is read no further than row 1.
bool readXlsxHeaderRow(const std::string& path, size_t position, std::vector<Value>& cells,
                       std::string& error);

// Access .mdb (mdb_reader.cpp). A wrong database password fails every call.
bool listMdbTables(const std::string& path, const std::string& password,
                   std::vector<std::string>& tables, std::string& error);
bool readMdbTable(const std::string& path, const std::string& password, const std::string& table,
                  LoadedTable& out, std::string& error);

}  // namespace db
