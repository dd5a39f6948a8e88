// One archive member unpacked with ISA-L or libzip (see xlsx_part_stream.h).
#include "platform/database/readers/xlsx_part_stream.h"

#include <isa-l/igzip_lib.h>
#include <zip.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace db::xlsx {

struct PartStream::Inflater {
    inflate_state state{};
    std::vector<uint8_t> input = std::vector<uint8_t>(1 << 16);
    uint64_t expectedSize = 0;
    uint32_t expectedCrc = 0;
    bool inputDone = false;
};

namespace {
// Members this large are unpacked ahead on a thread; smaller ones cost less than one.
constexpr uint64_t kReadAheadFrom = 4 << 20;
constexpr size_t kPieceBytes = 128 << 10;
constexpr size_t kPieces = 4;  // allocated once, passed back and forth
}  // namespace

// Pieces unpacked by the worker, waiting for read(). An empty piece ends the member.
struct PartStream::ReadAhead {
    std::thread worker;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<char>> pieces;
    std::vector<std::vector<char>> spare;  // buffers read() is done with
    bool failed = false;   // the worker met damage (or ran out of memory)
    bool cancel = false;   // the reader is gone
    // The reader's side, touched by read() alone.
    std::vector<char> current;
    size_t at = 0;
    bool ended = false;    // the reader took the last piece
    bool damaged = false;  // ... and it told of damage
};

PartStream::PartStream() = default;

PartStream::~PartStream() {
    if (ahead_) {
        {
            std::lock_guard lock(ahead_->mutex);
            ahead_->cancel = true;
        }
        ahead_->changed.notify_all();
        ahead_->worker.join();
    }
    if (file_ != nullptr) zip_fclose(file_);
}

void PartStream::startReadAhead() {
    ahead_ = std::make_unique<ReadAhead>();
    ReadAhead& a = *ahead_;
    a.spare.assign(kPieces, std::vector<char>(kPieceBytes));
    a.current.reserve(kPieceBytes);
    auto work = [this, &a] {
        for (;;) {
            std::vector<char> piece;
            {
                std::unique_lock lock(a.mutex);
                a.changed.wait(lock, [&a] { return a.cancel || !a.spare.empty(); });
                if (a.cancel) return;
                piece = std::move(a.spare.back());
                a.spare.pop_back();
            }
            piece.resize(kPieceBytes);  // never beyond the capacity it came with
            const int64_t got = readDirect(piece.data(), piece.size());
            piece.resize(got > 0 ? static_cast<size_t>(got) : 0);
            std::lock_guard lock(a.mutex);
            if (got < 0) a.failed = true;
            a.pieces.push_back(std::move(piece));
            a.changed.notify_all();
            if (got <= 0) return;
        }
    };
    try {
        a.worker = std::thread(work);
    } catch (const std::system_error&) {
        ahead_.reset();  // no thread to be had: read as it comes
    }
}

bool PartStream::open(struct zip* archive, uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    const bool raw = zip_stat_index(archive, index, 0, &stat) == 0 && (stat.valid & kNeeded) == kNeeded &&
                     stat.comp_method == ZIP_CM_DEFLATE && stat.encryption_method == ZIP_EM_NONE;
    file_ = zip_fopen_index(archive, index, raw ? ZIP_FL_COMPRESSED : 0);
    if (file_ == nullptr) return false;
    const bool large = (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size >= kReadAheadFrom;
    if (raw) {
        inflater_ = std::make_unique<Inflater>();
        isal_inflate_init(&inflater_->state);
        inflater_->state.crc_flag = ISAL_GZIP_NO_HDR;  // raw deflate, the CRC-32 kept
        inflater_->expectedSize = stat.size;
        inflater_->expectedCrc = stat.crc;
    }
    if (large) startReadAhead();
    return true;
}

int64_t PartStream::read(char* out, size_t size) {
    if (!ahead_) return readDirect(out, size);
    ReadAhead& a = *ahead_;
    if (a.at == a.current.size() && !a.ended) {
        std::unique_lock lock(a.mutex);
        a.changed.wait(lock, [&a] { return !a.pieces.empty(); });
        a.spare.push_back(std::move(a.current));
        a.current = std::move(a.pieces.front());
        a.pieces.pop_front();
        a.at = 0;
        a.ended = a.current.empty();
        a.damaged = a.ended && a.failed;
        a.changed.notify_all();
    }
    if (a.damaged) return -1;
    const size_t n = std::min(size, a.current.size() - a.at);
    std::memcpy(out, a.current.data() + a.at, n);
    a.at += n;
    return static_cast<int64_t>(n);
}

int64_t PartStream::readDirect(char* out, size_t size) {
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
