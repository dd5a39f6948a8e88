// The memo file beside a dBASE table: dBASE III and IV .dbt, FoxPro .fpt. Only reads
// inside the file; a bad block number gives no memo rather than an error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace db {

class DbfMemoFile {
  public:
    DbfMemoFile() = default;
    ~DbfMemoFile();
    DbfMemoFile(const DbfMemoFile&) = delete;
    DbfMemoFile& operator=(const DbfMemoFile&) = delete;

    // Finds <table>.dbt / .fpt beside the table (local path), the extension in any
    // letter case; `version` is the table's first byte (0x83: dBASE III). False when
    // there is none.
    bool open(const std::string& localTablePath, unsigned char version);

    // The bytes of the memo at `block` (at most 16 MiB), or nothing for block 0, a
    // block outside the file, or a FoxPro picture/OLE memo.
    std::optional<std::string> read(uint64_t block);

  private:
    enum class Kind { Dbt3, Dbt4, Fpt };
    std::optional<std::string> readBytes(uint64_t offset, uint64_t length);

    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    uint32_t blockSize_ = 512;
    Kind kind_ = Kind::Dbt3;
};

}  // namespace db
