// Streams out of an OLE compound file (see compound_file.h).
#include "platform/database/readers/compound_file.h"

#include <cstring>

#include "platform/database/readers/sheet_table.h"

namespace db::cfb {
namespace {

using sheet::message;

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kHeaderDifatEntries = 109;
constexpr size_t kEntryBytes = 128;

uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t u32(std::string_view b, size_t at) { return u16(b, at) | static_cast<uint32_t>(u16(b, at + 2)) << 16; }

char16_t foldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

}  // namespace

bool hasSignature(std::string_view bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool CompoundFile::chain(const std::vector<uint32_t>& table, uint32_t first, size_t limit,
                         std::vector<uint32_t>& out) {
    for (uint32_t sector = first; sector != kEndOfChain && out.size() < limit; sector = table[sector]) {
        if (sector >= table.size()) return false;
        out.push_back(sector);
    }
    return true;
}

bool CompoundFile::open(std::string_view bytes, std::string& why) {
    bytes_ = bytes;
    if (!hasSignature(bytes) || bytes.size() < 512) {
        why = message("不是 Excel 97-2003 工作簿（文件头不对）。");
        return false;
    }
    const uint16_t major = u16(bytes, 0x1A);
    sectorShift_ = u16(bytes, 0x1E);
    miniShift_ = u16(bytes, 0x20);
    if (u16(bytes, 0x1C) != 0xFFFE || (sectorShift_ != 9 && sectorShift_ != 12) || miniShift_ != 6) {
        why = message("复合文件头已损坏。");
        return false;
    }
    const size_t sectorSize = size_t{1} << sectorShift_;
    if (bytes.size() <= sectorSize) {
        why = message("文件被截断（只有文件头）。");
        return false;
    }
    sectorCount_ = (bytes.size() - sectorSize + sectorSize - 1) / sectorSize;
    miniCutoff_ = u32(bytes, 0x38);
    const size_t perSector = sectorSize / 4;

    // The FAT's own sectors: the first 109 listed in the header, the rest in the DIFAT chain.
    const uint32_t fatSectors = u32(bytes, 0x2C);
    if (fatSectors == 0 || fatSectors > sectorCount_) {
        why = message("扇区分配表的大小不对，文件已损坏。");
        return false;
    }
    std::vector<uint32_t> fatList;
    for (size_t i = 0; i < kHeaderDifatEntries && fatList.size() < fatSectors; ++i)
        fatList.push_back(u32(bytes, 0x4C + 4 * i));
    uint32_t difat = u32(bytes, 0x44);
    for (uint64_t steps = 0; fatList.size() < fatSectors; ++steps) {
        if (difat >= sectorCount_ || steps > sectorCount_ ||
            (static_cast<uint64_t>(difat) + 2) << sectorShift_ > bytes.size()) {
            why = message("扇区分配表的索引已损坏。");
            return false;
        }
        const size_t at = (static_cast<size_t>(difat) + 1) << sectorShift_;
        for (size_t i = 0; i + 1 < perSector && fatList.size() < fatSectors; ++i) fatList.push_back(u32(bytes, at + 4 * i));
        difat = u32(bytes, at + 4 * (perSector - 1));
    }
    fat_.clear();
    fat_.reserve(fatList.size() * perSector);
    for (uint32_t sector : fatList) {
        if (sector >= sectorCount_ || (static_cast<uint64_t>(sector) + 2) << sectorShift_ > bytes.size()) {
            why = message("扇区分配表在文件之外，文件已损坏或被截断。");
            return false;
        }
        const size_t at = (static_cast<size_t>(sector) + 1) << sectorShift_;
        for (size_t i = 0; i < perSector; ++i) fat_.push_back(u32(bytes, at + 4 * i));
    }

    // The directory: a chain of 128-byte entries.
    std::string directory;
    std::vector<uint32_t> sectors;
    if (!chain(fat_, u32(bytes, 0x30), sectorCount_, sectors) || sectors.empty()) {
        why = message("目录的扇区链已损坏。");
        return false;
    }
    for (uint32_t sector : sectors) {
        if ((static_cast<uint64_t>(sector) + 2) << sectorShift_ > bytes.size()) {
            why = message("目录在文件之外，文件已损坏或被截断。");
            return false;
        }
        directory.append(bytes.substr((static_cast<size_t>(sector) + 1) << sectorShift_, sectorSize));
    }
    entries_.clear();
    for (size_t at = 0; at + kEntryBytes <= directory.size(); at += kEntryBytes) {
        Entry e;
        const size_t nameBytes = std::min<size_t>(u16(directory, at + 0x40), 64);
        const size_t chars = nameBytes >= 2 ? nameBytes / 2 - 1 : 0;  // without the closing NUL
        for (size_t i = 0; i < chars; ++i) e.name.push_back(static_cast<char16_t>(u16(directory, at + 2 * i)));
        e.type = static_cast<unsigned char>(directory[at + 0x42]);
        e.left = u32(directory, at + 0x44);
        e.right = u32(directory, at + 0x48);
        e.child = u32(directory, at + 0x4C);
        e.start = u32(directory, at + 0x74);
        e.size = major == 3 ? u32(directory, at + 0x78)
                            : (u32(directory, at + 0x78) | static_cast<uint64_t>(u32(directory, at + 0x7C)) << 32);
        entries_.push_back(std::move(e));
    }
    if (entries_.empty() || entries_[0].type != 5) {
        why = message("复合文件没有根目录，文件已损坏。");
        return false;
    }

    // The mini-FAT and the mini stream (the root entry's data) for streams below the cutoff.
    miniFat_.clear();
    miniStream_.clear();
    sectors.clear();
    const uint32_t miniFatStart = u32(bytes, 0x3C);
    if (miniFatStart != kEndOfChain && miniFatStart != kNoStream) {
        if (!chain(fat_, miniFatStart, std::min<uint64_t>(u32(bytes, 0x40), sectorCount_), sectors)) {
            why = message("小扇区分配表已损坏。");
            return false;
        }
        for (uint32_t sector : sectors) {
            if ((static_cast<uint64_t>(sector) + 2) << sectorShift_ > bytes.size()) {
                why = message("小扇区分配表在文件之外，文件已损坏或被截断。");
                return false;
            }
            const size_t at = (static_cast<size_t>(sector) + 1) << sectorShift_;
            for (size_t i = 0; i < perSector; ++i) miniFat_.push_back(u32(bytes, at + 4 * i));
        }
    }
    // The mini stream is the root entry's own data, in ordinary sectors. Only small
    // streams (document properties, rarely a workbook) live there: when it cannot be
    // read, a stream that needs it fails, not the file.
    std::string ignored;
    if (!miniFat_.empty() && entries_[0].size > 0 &&
        !readChain(entries_[0].start, entries_[0].size, false, miniStream_, ignored))
        miniStream_.clear();
    return true;
}

bool CompoundFile::readChain(uint32_t first, uint64_t size, bool mini, std::string& out, std::string& why) const {
    out.clear();
    if (size == 0) return true;
    const std::vector<uint32_t>& table = mini ? miniFat_ : fat_;
    const unsigned shift = mini ? miniShift_ : sectorShift_;
    const uint64_t unit = uint64_t{1} << shift;
    // No stream can be larger than the file that holds it.
    if (size > bytes_.size()) {
        why = message("数据流的长度超出文件大小，文件已损坏。");
        return false;
    }
    const std::string_view source = mini ? std::string_view(miniStream_) : bytes_;
    std::vector<uint32_t> sectors;
    const uint64_t needed = (size + unit - 1) / unit;
    if (!chain(table, first, needed, sectors) || sectors.size() < needed) {
        why = message("数据流的扇区链已损坏，文件已损坏或被截断。");
        return false;
    }
    out.reserve(size);
    for (uint32_t sector : sectors) {
        const uint64_t at = mini ? static_cast<uint64_t>(sector) << shift : (static_cast<uint64_t>(sector) + 1) << shift;
        const uint64_t take = std::min<uint64_t>(unit, size - out.size());
        if (at + take > source.size()) {
            why = message("数据流在文件之外，文件已损坏或被截断。");
            out.clear();
            return false;
        }
        out.append(source.substr(at, take));
    }
    return true;
}

const CompoundFile::Entry* CompoundFile::findInRoot(std::u16string_view name) const {
    // The root's children form a binary tree of siblings; walk it without trusting it.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<uint32_t> stack{entries_[0].child};
    while (!stack.empty()) {
        const uint32_t id = stack.back();
        stack.pop_back();
        if (id >= entries_.size() || seen[id]) continue;
        seen[id] = true;
        const Entry& e = entries_[id];
        if (e.type == 2 && sameName(e.name, name)) return &e;
        stack.push_back(e.left);
        stack.push_back(e.right);
    }
    return nullptr;
}

bool CompoundFile::hasStream(std::u16string_view name) const { return findInRoot(name) != nullptr; }

bool CompoundFile::readStream(std::u16string_view name, std::string& storage, std::string_view& out,
                              std::string& why) const {
    const Entry* entry = findInRoot(name);
    if (entry == nullptr) {
        why = message("文件中没有工作簿数据流。");
        return false;
    }
    storage.clear();
    const bool mini = entry->size < miniCutoff_;
    if (!mini && entry->size > 0 && entry->size <= bytes_.size()) {
        // Sectors in one ascending run need no copy.
        const uint64_t unit = uint64_t{1} << sectorShift_;
        std::vector<uint32_t> sectors;
        const uint64_t needed = (entry->size + unit - 1) / unit;
        if (chain(fat_, entry->start, needed, sectors) && sectors.size() == needed) {
            bool run = true;
            for (size_t i = 1; i < sectors.size() && run; ++i) run = sectors[i] == sectors[i - 1] + 1;
            const uint64_t at = (static_cast<uint64_t>(sectors[0]) + 1) << sectorShift_;
            if (run && at + entry->size <= bytes_.size()) {
                out = bytes_.substr(at, entry->size);
                return true;
            }
        }
    }
    if (!readChain(entry->start, entry->size, mini, storage, why)) return false;
    out = storage;
    return true;
}

}  // namespace db::cfb
