// Batches of rows inserted on a worker thread (see insert_worker.h).
#include "platform/database/insert_worker.h"

#include <sqlite3.h>

#include <new>

#include "platform/database/fast_codec.h"

namespace db {
namespace {
constexpr size_t kBatchRows = 256;
constexpr size_t kBatchesWaiting = 8;
}  // namespace

InsertWorker::InsertWorker(sqlite3* db, sqlite3_stmt* insert, size_t columns)
    : db_(db), insert_(insert), columns_(columns), worker_([this] { run(); }) {}

InsertWorker::~InsertWorker() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        waiting_.clear();  // an abandoned load: what waits is not wanted
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void InsertWorker::addNull() { building_.cells.push_back(Cell{Cell::Null, 0, {0}}); }

void InsertWorker::addText(std::string_view utf8) { addBytes(Cell::Text, utf8); }

void InsertWorker::addBlob(std::string_view bytes) { addBytes(Cell::Blob, bytes); }

void InsertWorker::addBytes(unsigned char kind, std::string_view bytes) {
    // A field of SQLite's own size limit (a billion bytes) is longer than any length here.
    Cell cell{static_cast<Cell::Kind>(kind), static_cast<uint32_t>(bytes.size()), {0}};
    cell.offset = building_.bytes.size();
    building_.cells.push_back(cell);
    building_.bytes.append(bytes);
}

void InsertWorker::addInteger(int64_t value) {
    Cell cell{Cell::Integer, 0, {0}};
    cell.integer = value;
    building_.cells.push_back(cell);
}

void InsertWorker::addReal(double value) {
    Cell cell{Cell::Real, 0, {0}};
    cell.real = value;
    building_.cells.push_back(cell);
}

bool InsertWorker::endRow(std::string& error) {
    if (++building_.rows >= kBatchRows) hand(std::move(building_));
    if (!failed_.load(std::memory_order_acquire)) return true;
    std::lock_guard lock(mutex_);
    error = error_;
    return false;
}

void InsertWorker::hand(Batch&& batch) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || waiting_.size() < kBatchesWaiting; });
        if (!failed_) waiting_.push_back(std::move(batch));
    }
    changed_.notify_all();
    building_ = Batch{};
    building_.cells.reserve(kBatchRows * columns_);
}

bool InsertWorker::finish(std::string& error) {
    if (building_.rows > 0) hand(std::move(building_));
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
    if (!failed_) return true;
    error = error_;
    return false;
}

void InsertWorker::run() {
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
            if (waiting_.empty()) return;
            batch = std::move(waiting_.front());
            waiting_.pop_front();
        }
        changed_.notify_all();
        if (!insert(batch)) {
            std::lock_guard lock(mutex_);
            failed_ = true;
            waiting_.clear();
            changed_.notify_all();
            return;
        }
    }
}

bool InsertWorker::insert(const Batch& batch) {
    const Cell* cell = batch.cells.data();
    for (size_t row = 0; row < batch.rows; ++row) {
        for (int index = 1; index <= static_cast<int>(columns_); ++index, ++cell) {
            const bool stored = cell->kind == Cell::Text || cell->kind == Cell::Blob;
            const char* bytes = batch.bytes.data() + (stored ? cell->offset : 0);
            const int length = static_cast<int>(cell->length);
            switch (cell->kind) {
            case Cell::Null: sqlite3_bind_null(insert_, index); break;
            case Cell::Text: sqlite3_bind_text(insert_, index, bytes, length, SQLITE_STATIC); break;
            case Cell::Integer: sqlite3_bind_int64(insert_, index, cell->integer); break;
            case Cell::Real: sqlite3_bind_double(insert_, index, cell->real); break;
            case Cell::Blob: sqlite3_bind_blob(insert_, index, bytes, length, SQLITE_STATIC); break;
            }
        }
        const int rc = sqlite3_step(insert_);
        sqlite3_reset(insert_);
        if (rc != SQLITE_DONE) {
            std::lock_guard lock(mutex_);
            error_ = codec::utf8ToGbk(sqlite3_errmsg(db_));
            return false;
        }
    }
    return true;
}

}  // namespace db
