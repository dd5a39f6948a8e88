// What the reader fuzz targets share: each input goes through a scratch file (the readers
// take a path), then the loaded table's shape is checked.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/database/readers/readers.h"

namespace fuzz {

// A folder of this process's own, so that the reader's look for companion files
// (memo, code page) sees nothing else; removed with the file when the run ends.
inline std::string scratchPath(const char* name) {
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

// Writes the input to `path` and reads it back with `read`; a table that loads must have
// one type and one value per field in every row.
template <class Reader>
int readAndCheck(const std::string& path, const uint8_t* data, size_t size, Reader read) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    db::LoadedTable table;
    std::string error;
    if (read(path, table, error)) {
        if (table.types.size() != table.names.size()) __builtin_trap();
        for (const auto& row : table.rows)
            if (row.size() != table.names.size()) __builtin_trap();
    }
    return 0;
}

}  // namespace fuzz
