// What a workbook file is (see workbook_format.h).
#include "platform/database/readers/workbook_format.h"

#include <cstdio>

#include "platform/database/readers/compound_file.h"
#include "text/codepage.h"

namespace db {

WorkbookFormat workbookFormatOf(std::string_view head) {
    if (cfb::hasSignature(head)) return WorkbookFormat::Xls;
    if (head.substr(0, 4) == std::string_view("PK\x03\x04", 4)) return WorkbookFormat::Xlsx;
    return WorkbookFormat::Unknown;
}

WorkbookFormat workbookFormatOfFile(const std::string& gbkPath) {
    std::FILE* file = std::fopen(codepage::toLocalPath(gbkPath).c_str(), "rb");
    if (file == nullptr) return WorkbookFormat::Unreadable;
    char head[8] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return WorkbookFormat::Unreadable;
    return workbookFormatOf(std::string_view(head, got));
}

}  // namespace db
