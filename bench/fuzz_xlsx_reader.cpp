// libFuzzer target: the .xlsx reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON): the
// sheet listing, then the first sheet that reads as a table.
#include "fuzz_reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("t.xlsx");
    return fuzz::readAndCheck(path, data, size, [](const std::string& file, db::LoadedTable& table, std::string& error) {
        std::vector<std::string> sheets;
        if (!db::listXlsxSheets(file, sheets, error)) return false;
        for (const auto& sheet : sheets)
            if (db::readXlsxSheet(file, sheet, table, error)) return true;
        return false;
    });
}
