// libFuzzer target: the dBASE reader on arbitrary bytes (built with -DLOOKUP_FUZZ=ON).
#include "fuzz_reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("t.dbf");
    return fuzz::readAndCheck(path, data, size, db::readDbfTable);
}
