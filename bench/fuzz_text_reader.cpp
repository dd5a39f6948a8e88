// libFuzzer target: the text/CSV reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON).
// The reader takes a path, so each input goes through a scratch file of this process.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/database/readers/readers.h"

// A folder of this process's own, so that the reader's look for companion files
// (memo, code page) sees nothing else; removed with the file when the run ends.
static std::string scratchPath(const char* name) {
    static std::string folder;
    char pattern[] = "/tmp/lookup-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return std::string("/tmp/lookup-fuzz-") + name;
    folder = pattern;
    static const std::string file = folder + "/" + name;
    std::atexit([] {
        std::remove(file.c_str());
        ::rmdir(folder.c_str());
    });
    return file;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath("t.csv");
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    db::LoadedTable table;
    std::string error;
    if (db::readTextTable(path, table, error)) {
        // Every row must have one value per field.
        for (const auto& row : table.rows)
            if (row.size() != table.names.size()) __builtin_trap();
    }
    return 0;
}
