// libFuzzer target: the Access reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON):
// the table list, then every table of it (up to eight).
#include "fuzz_reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("t.mdb");
    const auto readTables = [](const std::string& file, db::LoadedTable& table, std::string& error) {
        std::vector<std::string> tables;
        if (!db::listMdbTables(file, "", tables, error)) return false;
        bool any = false;
        for (size_t i = 0; i < tables.size() && i < 8; ++i) {
            db::LoadedTable one;
            if (!db::readMdbTable(file, "", tables[i], one, error)) continue;
            if (one.types.size() != one.names.size()) __builtin_trap();
            for (const auto& row : one.rows)
                if (row.size() != one.names.size()) __builtin_trap();
            table = std::move(one);
            any = true;
        }
        return any;
    };
    return fuzz::readAndCheck(path, data, size, readTables);
}
