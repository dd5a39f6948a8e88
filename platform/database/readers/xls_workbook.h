// The BIFF records of an Excel 97-2003 workbook stream (BIFF8, and BIFF5/7 of Excel 5
// and 95): the sheet list, named ranges, shared strings, cell formats that make a cell
// a date, and the cells of one sheet. The container around the stream is
// compound_file.h's; what a sheet becomes as a table is sheet_table.h's.
//
// Every record length, string length and index is checked against the stream: a damaged
// stream fails with a GBK reason, never reads outside it and is never taken for an
// empty sheet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database/readers/sheet_table.h"

namespace db::xls {

struct Sheet {
    std::string name;        // GBK
    uint32_t offset = 0;     // of its BOF record in the stream
    bool worksheet = false;  // false for chart sheets, macro sheets and modules
    unsigned char visibility = 0;  // 0 visible, 1 hidden, 2 very hidden
};

// A defined name that refers to one rectangle of one sheet (0-based, inclusive).
struct NamedRange {
    std::string name;  // GBK, as listed: "name", or "sheet$name" for a sheet's own name
    size_t sheet = 0;  // index into Workbook::sheets()
    uint32_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

class Workbook {
public:
    // Reads the workbook globals of `stream`, which must outlive this object. With `withStrings` false the
    // shared strings are skipped (enough to list sheets and names). False with a GBK
    // reason for a damaged, encrypted or pre-Excel-5 stream.
    bool open(std::string_view stream, bool withStrings, std::string& why);

    const std::vector<Sheet>& sheets() const { return sheets_; }
    const std::vector<NamedRange>& ranges() const { return ranges_; }

    // The cells of sheet `index` into `cells` (made with sharedStrings()). With `area`,
    // only the cells inside it, moved so that its top-left cell is A1.
    bool readCells(size_t index, const NamedRange* area, sheet::SheetCells& cells, std::string& why) const;

    const sheet::StringPool& sharedStrings() const { return strings_; }

private:
    bool readGlobals(bool withStrings, std::string& why);

    std::string_view stream_;
    bool biff8_ = true, date1904_ = false;
    uint16_t codePage_ = 1252;
    std::vector<Sheet> sheets_;
    std::vector<NamedRange> ranges_;
    sheet::StringPool strings_;
    std::vector<bool> dateStyles_;  // by XF index
};

}  // namespace db::xls
