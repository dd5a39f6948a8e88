// libFuzzer target: the .xls reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON): the
// sheet and name listings, then every sheet and named range read as a table.
#include "fuzz_reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("t.xls");
    return fuzz::readAndCheck(path, data, size, [](const std::string& file, db::LoadedTable& table, std::string& error) {
        std::vector<std::string> sheets, ranges;
        if (!db::listXlsSheets(file, sheets, error)) return false;
        for (const auto& sheet : sheets)
            if (db::readXlsSheet(file, sheet, table, error)) break;
        if (db::listXlsNamedRanges(file, ranges, error))
            for (const auto& range : ranges) {
                db::LoadedTable named;
                if (db::readXlsRange(file, range, named, error) && named.types.size() != named.names.size())
                    __builtin_trap();
            }
        return !table.names.empty();
    });
}
