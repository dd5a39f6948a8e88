// The memo file beside a dBASE table: dBASE III and IV .dbt, FoxPro .fpt. Only reads
// inside the file; a block or a length that reaches past its end is damage, reported as
// such rather than read as no memo or as whatever follows.
#pragma once

#include <cstdint>
#include <cstdio>
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

    // Whether the memo file is empty (0 bytes): a damaged or unfinished copy.
    bool empty() const { return size_ == 0; }
    // The memo file's own path.
    const std::string& path() const { return path_; }

    enum class Result { Text, NoText, Damaged };
    // The bytes of the memo at `block` (at most 16 MiB) into `text`: Text; NoText for
    // block 0 or a FoxPro picture/OLE memo; Damaged for a block outside the file, a
    // length past its end or an unknown FoxPro memo type.
    Result read(uint64_t block, std::string& text);

  private:
    enum class Kind { Dbt3, Dbt4, Fpt };
    Result readBytes(uint64_t offset, uint64_t length, std::string& text);

    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t size_ = 0;
    uint32_t blockSize_ = 512;
    Kind kind_ = Kind::Dbt3;
};

}  // namespace db
