// dBASE and FoxPro memo files (see dbf_memo.h).
//
// dBASE III: 512-byte blocks, the text runs to the first 0x1A. dBASE IV: block size at
// byte 20 of the header, each memo starts FF FF 08 00 and a length that counts those 8
// bytes. FoxPro: block size big-endian at byte 6, each memo starts with a big-endian
// type (1 = text) and length.
#include "platform/database/readers/dbf_memo.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>

namespace db {
namespace {

constexpr uint64_t kMaxMemo = 16u << 20;

uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t be32(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

}  // namespace

DbfMemoFile::~DbfMemoFile() {
    if (file_ != nullptr) std::fclose(file_);
}

bool DbfMemoFile::open(const std::string& localTablePath, unsigned char version) {
    namespace fs = std::filesystem;
    const fs::path table(localTablePath);
    std::error_code ec;
    const fs::path folder = table.has_parent_path() ? table.parent_path() : fs::path(".");
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& p = entry.path();
        if (p.stem() != table.stem()) continue;
        const std::string ext = p.extension().string();
        if (strcasecmp(ext.c_str(), ".fpt") == 0)
            kind_ = Kind::Fpt;
        else if (strcasecmp(ext.c_str(), ".dbt") == 0)
            kind_ = version == 0x83 ? Kind::Dbt3 : Kind::Dbt4;
        else
            continue;
        file_ = std::fopen(p.c_str(), "rb");
        if (file_ != nullptr) {
            path_ = p.string();
            break;
        }
    }
    if (file_ == nullptr) return false;
    std::fseek(file_, 0, SEEK_END);
    size_ = static_cast<uint64_t>(std::max(0L, std::ftell(file_)));
    unsigned char head[32] = {};
    std::fseek(file_, 0, SEEK_SET);
    const bool got = std::fread(head, 1, sizeof head, file_) == sizeof head;
    blockSize_ = 512;
    if (got && kind_ == Kind::Fpt) blockSize_ = (head[6] << 8) | head[7];
    if (got && kind_ == Kind::Dbt4 && le16(head + 20) != 0) blockSize_ = le16(head + 20);
    if (blockSize_ == 0) blockSize_ = 64;
    return true;
}

DbfMemoFile::Result DbfMemoFile::read(uint64_t block, std::string& text) {
    text.clear();
    if (block == 0) return Result::NoText;
    const uint64_t offset = block * blockSize_;
    if (file_ == nullptr || offset >= size_ || offset / blockSize_ != block) return Result::Damaged;
    unsigned char head[8] = {};
    std::fseek(file_, static_cast<long>(offset), SEEK_SET);
    const bool gotHead = size_ - offset >= 8 && std::fread(head, 1, 8, file_) == 8;
    if (kind_ == Kind::Fpt) {
        if (!gotHead) return Result::Damaged;
        if (be32(head) == 0 || be32(head) == 2) return Result::NoText;  // picture, OLE object
        if (be32(head) != 1) return Result::Damaged;
        return readBytes(offset + 8, be32(head + 4), text);
    }
    if (kind_ == Kind::Dbt4 && gotHead && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 &&
        head[3] == 0x00) {
        const uint32_t length = le32(head + 4);
        if (length < 8) return Result::Damaged;
        return readBytes(offset + 8, length - 8, text);
    }
    // dBASE III (and a dBASE IV block without its mark): the text runs to the first 0x1A.
    // A NUL ends it too: memo text never holds one, and a zeroed (damaged) memo file
    // would otherwise give every record the whole rest of the file.
    std::fseek(file_, static_cast<long>(offset), SEEK_SET);
    char chunk[512];
    size_t got;
    while (text.size() < kMaxMemo && (got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) {
        size_t length = 0;
        while (length < got && chunk[length] != 0x1A && chunk[length] != '\0') ++length;
        text.append(chunk, length);
        if (length < got) break;
    }
    return text.empty() ? Result::NoText : Result::Text;
}

DbfMemoFile::Result DbfMemoFile::readBytes(uint64_t offset, uint64_t length, std::string& text) {
    if (offset > size_ || length > size_ - offset) return Result::Damaged;
    text.assign(std::min(length, kMaxMemo), '\0');
    std::fseek(file_, static_cast<long>(offset), SEEK_SET);
    if (std::fread(text.data(), 1, text.size(), file_) != text.size()) return Result::Damaged;
    while (!text.empty() && (text.back() == '\0' || text.back() == 0x1A)) text.pop_back();
    return text.empty() ? Result::NoText : Result::Text;
}

}  // namespace db
