// One archive member unpacked with ISA-L or libzip (see xlsx_part_stream.h).
#include "platform/database/readers/xlsx_part_stream.h"

#include <isa-l/igzip_lib.h>
#include <zip.h>

#include <vector>

namespace db::xlsx {

struct PartStream::Inflater {
    inflate_state state{};
    std::vector<uint8_t> input = std::vector<uint8_t>(1 << 16);
    uint64_t expectedSize = 0;
    uint32_t expectedCrc = 0;
    bool inputDone = false;
};

PartStream::PartStream() = default;

PartStream::~PartStream() {
    if (file_ != nullptr) zip_fclose(file_);
}

bool PartStream::open(struct zip* archive, uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    const bool raw = zip_stat_index(archive, index, 0, &stat) == 0 && (stat.valid & kNeeded) == kNeeded &&
                     stat.comp_method == ZIP_CM_DEFLATE && stat.encryption_method == ZIP_EM_NONE;
    file_ = zip_fopen_index(archive, index, raw ? ZIP_FL_COMPRESSED : 0);
    if (file_ == nullptr) return false;
    if (raw) {
        inflater_ = std::make_unique<Inflater>();
        isal_inflate_init(&inflater_->state);
        inflater_->state.crc_flag = ISAL_GZIP_NO_HDR;  // raw deflate, the CRC-32 kept
        inflater_->expectedSize = stat.size;
        inflater_->expectedCrc = stat.crc;
    }
    return true;
}

int64_t PartStream::read(char* out, size_t size) {
    if (failed_) return -1;
    if (!inflater_) {
        const zip_int64_t got = zip_fread(file_, out, size);
        if (got < 0) failed_ = true;
        return got;
    }
    const int64_t got = inflate(out, size);
    if (got < 0) failed_ = true;
    return got;
}

int64_t PartStream::inflate(char* out, size_t size) {
    inflate_state& s = inflater_->state;
    s.next_out = reinterpret_cast<uint8_t*>(out);
    s.avail_out = static_cast<uint32_t>(size);
    while (s.avail_out > 0 && s.block_state != ISAL_BLOCK_FINISH) {
        if (s.avail_in == 0 && !inflater_->inputDone) {
            const zip_int64_t got = zip_fread(file_, inflater_->input.data(), inflater_->input.size());
            if (got < 0) return -1;
            if (got == 0) inflater_->inputDone = true;
            s.next_in = inflater_->input.data();
            s.avail_in = static_cast<uint32_t>(got);
        }
        const uint32_t before = s.avail_out;
        const uint32_t inBefore = s.avail_in;
        if (isal_inflate(&s) != ISAL_DECOMP_OK) return -1;
        // The compressed data ran out before its last block: a cut-off member.
        if (inflater_->inputDone && s.avail_in == 0 && s.avail_out == before && inBefore == 0 &&
            s.block_state != ISAL_BLOCK_FINISH)
            return -1;
    }
    const int64_t produced = static_cast<int64_t>(size - s.avail_out);
    if (s.block_state == ISAL_BLOCK_FINISH && produced == 0 &&
        (s.total_out != inflater_->expectedSize || s.crc != inflater_->expectedCrc))
        return -1;
    return produced;
}

}  // namespace db::xlsx
