// The bytes of one archive member, unpacked as they are read. A deflated member, what
// nearly every workbook part is, is inflated with ISA-L from the raw deflate data,
// several times faster than zlib under libzip; anything else (stored, another method,
// encrypted) goes through libzip. Either way the unpacked size and CRC-32 are checked
// against the archive's directory at the end, as libzip does.
//
// A large member is unpacked ahead on a thread of its own, a few pieces at most, so that
// inflating overlaps with the scan of what came before. Only that thread touches the
// archive until the stream is destroyed, which stops and joins it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct zip;
struct zip_file;

namespace db::xlsx {

class PartStream {
  public:
    PartStream();
    ~PartStream();
    PartStream(const PartStream&) = delete;
    PartStream& operator=(const PartStream&) = delete;

    // False when the member cannot be opened (damaged, encrypted with no password).
    bool open(struct zip* archive, uint64_t index);
    // Up to `size` unpacked bytes into `out`: their count, 0 at the end of the member,
    // -1 when the data is damaged (bad deflate data, wrong size or CRC).
    int64_t read(char* out, size_t size);

  private:
    int64_t readDirect(char* out, size_t size);
    int64_t inflate(char* out, size_t size);
    void startReadAhead();
    struct ReadAhead;
    std::unique_ptr<ReadAhead> ahead_;
    struct Inflater;
    std::unique_ptr<Inflater> inflater_;  // null: libzip unpacks
    struct zip_file* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace db::xlsx
