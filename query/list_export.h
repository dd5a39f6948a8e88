// The export of the result list to a TAB-separated GBK text file in the program directory.
//
// File: program directory + "/" + table (brackets included) + "_" + the date-time text
// + ".txt". Lines end with CR LF and every field is followed by a TAB: a header of the ten
// record-sheet captions and "有无图片", then per row its cells 0 to 9 and, when the row's
// photo exists, the photo path. In photo-less mode only rows without a photo are written.
// The file is written whole to a temporary file and renamed into place, so a failed export
// leaves no half-written file under its name.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace query {

// The export file's name without its folder, from the current table's text and the
// date-time of the export.
std::string exportFileName(std::string_view table, const gbk::DateTime& when);

// What an export writes: the header's ten captions, the rows (rowCount, cell(row, column)
// for columns 0 to 9) and where the photos lie.
struct ExportSource {
    std::vector<std::string> captions;  // fewer than ten give empty header fields
    int rowCount = 0;
    std::function<std::string(int row, int column)> cell;
    std::string photoFolder;
};

// The whole file's bytes. `withoutPhotosOnly`: rows whose photo exists are left out.
std::string exportText(const ExportSource& source, bool withoutPhotosOnly);

// Writes `bytes` as the file `name` in `folder` (GBK; an older file of that name is
// replaced). False, with no file written under that name, when it cannot be created or
// written, or when the name holds "/" or NUL.
bool writeExportFile(const std::string& folder, const std::string& name, std::string_view bytes);

// The local date and time now.
gbk::DateTime currentDateTime();

}  // namespace query
