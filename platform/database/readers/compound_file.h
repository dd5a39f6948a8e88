// The OLE compound-file container that Excel 97-2003 workbooks live in: the header, the
// sector allocation tables (FAT, its DIFAT index, the mini-FAT) and the directory tree,
// enough to take one stream out of the root storage. Nothing here knows about BIFF.
//
// Every sector number, chain and size is checked against the file: a damaged container
// fails with a reason, never reads outside the bytes it was given and never loops.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db::cfb {

// True when `bytes` begins with the compound-file signature.
bool hasSignature(std::string_view bytes);

class CompoundFile {
public:
    // Reads the header, the allocation tables and the directory of the file held in
    // `bytes`, which must outlive this object. False with a GBK reason when the bytes are
    // not a compound file or the container is damaged.
    bool open(std::string_view bytes, std::string& why);

    // Whether the root storage holds a stream of this name (compared without regard to
    // ASCII case, as the container's own rules compare names).
    bool hasStream(std::u16string_view name) const;
    // The whole content of the root storage's stream `name` as `out`: a view into the
    // file's bytes when its sectors lie in one run (as writers usually leave them),
    // else a copy in `storage`. False with a GBK reason when it is missing or its
    // sectors run outside the file.
    bool readStream(std::u16string_view name, std::string& storage, std::string_view& out, std::string& why) const;

private:
    struct Entry {
        std::u16string name;
        unsigned char type = 0;  // 1 storage, 2 stream, 5 root
        uint32_t left = 0, right = 0, child = 0, start = 0;
        uint64_t size = 0;
    };
    // Appends the sectors of the chain from `first` (in `table`) to `out`, at most
    // `limit` of them. False on a sector outside the table or a chain that never ends.
    static bool chain(const std::vector<uint32_t>& table, uint32_t first, size_t limit,
                      std::vector<uint32_t>& out);
    // The stream of `size` bytes from sector `first`, in the mini stream when `mini`.
    bool readChain(uint32_t first, uint64_t size, bool mini, std::string& out, std::string& why) const;
    const Entry* findInRoot(std::u16string_view name) const;

    std::string_view bytes_;
    unsigned sectorShift_ = 9, miniShift_ = 6;
    uint32_t miniCutoff_ = 4096;
    uint64_t sectorCount_ = 0;  // whole or partial sectors after the header
    std::vector<uint32_t> fat_, miniFat_;
    std::vector<Entry> entries_;
    std::string miniStream_;
};

}  // namespace db::cfb
