// Data-source kinds and connection strings: how a data path is classified, how a text or
// dBASE path splits into a data source and its one table, and every connection string the
// two programs hand to the database component (which takes them unchanged).
//
// Pure functions on GBK texts; nothing here touches a file. Strings are built by plain
// concatenation: paths and passwords go in as they stand, unquoted and untrimmed.
#pragma once

#include <string>
#include <string_view>

namespace datasource {

// The kind text: the lower-cased text after the last "." of `path` (found on character
// boundaries); a path without "." gives the whole path lower-cased. A "." in a directory
// name counts when the file name has none ("/my.data/book" gives "data/book").
std::string kindOf(std::string_view path);

enum class Kind { TextTable, DBaseTable, Access, Workbook };

// "txt" and "csv": text table; "dbf": dBASE table; "mdb": Access; anything else: workbook.
// The comparison is exact, so pass the kind text as kindOf() gives it.
Kind kindFromText(std::string_view kindText);

// A text or dBASE path split into its data source and its table.
struct TableSplit {
    std::string directory;  // up to and including the last "/"; "" when there is none
    std::string table;      // the file name with its extension, its case kept
};
// With no "/" in the path the table is the whole path and the directory "".
TableSplit splitTablePath(std::string_view path);

// Record connection of a text table; `directory` with its trailing "/".
std::string textTableConnection(std::string_view directory);
// Record connection of a dBASE table; `directory` with its trailing "/".
std::string dbaseConnection(std::string_view directory);
// Record connection of a workbook.
std::string workbookRecordConnection(std::string_view file);
// Record connection of an Access database: ";DefaultDir=" + the file's folder only when the
// path holds a "/", ";PWD=" + password only when the password is not empty.
std::string accessRecordConnection(std::string_view file, std::string_view password);
// Listing an Access database's tables; the password part is always there, empty or not.
std::string jetListingConnection(std::string_view file, std::string_view password);
// Listing a workbook's sheets.
std::string sheetListingConnection(std::string_view file);
// The settings program's field names of an Access table (note the one space before
// "MaxBufferSize"; the password part is always there).
std::string accessFieldListConnection(std::string_view file, std::string_view password);

}  // namespace datasource
