// libFuzzer target: the dBASE reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON).
// The reader takes a path, so each input goes through a scratch file of this process.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/database/readers/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/lookup-fuzz-dbf-" + std::to_string(::getpid()) + ".dbf";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    db::LoadedTable table;
    std::string error;
    if (db::readDbfTable(path, table, error)) {
        for (const auto& row : table.rows)
            if (row.size() != table.names.size() || table.types.size() != table.names.size()) __builtin_trap();
    }
    return 0;
}
