// The field names of one table, as the settings program fills `字段名数组`: through the
// database component for Access, text and dBASE tables (the connection strings of
// data_source.h, then "SELECT * FROM " + table), and cell by cell along the header row
// for workbooks.
//
// Each routine empties the array and fills it with the names in the order the source
// gives them; every failure ends in an empty array. Where the provider has an error to
// show, the routine hands that text to the caller, who shows it in a message box (`providerError`, empty when there is nothing to show).
#pragma once

#include <string>
#include <vector>

// An Access table's fields; `file` is the database, `password` the database password.
void 列出MDB字段(const std::string& file, const std::string& password, const std::string& table,
                 std::vector<std::string>& 字段名数组, std::string& providerError);
// A text table's fields; `directory` with its trailing "/", `fileName` the table.
void 列出文本文件字段(const std::string& directory, const std::string& fileName,
                      std::vector<std::string>& 字段名数组, std::string& providerError);
// A dBASE table's fields, likewise.
void 列出DBF字段(const std::string& directory, const std::string& fileName,
                 std::vector<std::string>& 字段名数组, std::string& providerError);

// The header row of sheet `sheetNumber` (1-based position in the workbook, hidden sheets
// counted) read cell by cell from A1 to the right, up to but not including the first cell
// that is empty or holds only spaces (0x20 and the full-width A1 A1); the names are kept
// untrimmed. Reads at most the cells A1..ZZ1 (702 names). Each cell is its stored value
// as text, as the record window shows it: a text as it is (a repeated name stays
// repeated, a cell holding "F3" is a name), a number in plain decimal ("%.13g"), a
// date-time by the runtime's date rule, a boolean "1" or "0" (the name the database
// component gives such a column, so that the query program finds the field saved).
// Sheets count by position among the worksheets, hidden ones too; the named ranges listed
// after them are no sheets. Shows nothing on failure: a missing workbook, a sheet number
// it does not have or an empty A1 give no fields.
void 列出Excel字段(const std::string& workbook, int sheetNumber, std::vector<std::string>& 字段名数组);

// The worksheet name of the column of the (n+1)-th header cell read (n counts the cells
// already read): "A".."Z", then "AA".."ZZ"; "" for n beyond 701 or below 0.
std::string excelColumnName(int n);
