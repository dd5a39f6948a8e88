// The SQLite side of a table load on a thread of its own: rows come in batches, already
// in the form they are bound in (texts in UTF-8), and are stepped through one prepared
// INSERT while the reader goes on producing the next batch. At most a few batches wait,
// so memory stays bounded whatever the table's size.
//
// While the worker runs, it alone uses the connection; finish() or the destructor ends
// it, and only then may the owner touch the connection again.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class InsertWorker {
public:
    // `insert` has `columns` parameters; both it and `db` must outlive this object.
    InsertWorker(sqlite3* db, sqlite3_stmt* insert, size_t columns);
    ~InsertWorker();
    InsertWorker(const InsertWorker&) = delete;
    InsertWorker& operator=(const InsertWorker&) = delete;

    // The values of the row being built, in column order.
    void addNull();
    void addText(std::string_view utf8);
    void addInteger(int64_t value);
    void addReal(double value);  // NaN stores NULL, as sqlite3_bind_double does
    void addBlob(std::string_view bytes);
    // Ends the row. False, with SQLite's message (GBK), once an insert has failed.
    bool endRow(std::string& error);
    // Inserts what is left and stops the worker; false with SQLite's message (GBK) when an
    // insert failed.
    bool finish(std::string& error);

private:
    struct Cell {
        enum Kind : unsigned char { Null, Text, Integer, Real, Blob } kind;
        uint32_t length;  // of a text or blob, at `offset` in Batch::bytes
        union {
            int64_t integer;
            double real;
            size_t offset;
        };
    };
    struct Batch {
        std::vector<Cell> cells;
        std::string bytes;
        size_t rows = 0;
    };
    void addBytes(unsigned char kind, std::string_view bytes);
    void hand(Batch&& batch);
    void run();
    bool insert(const Batch& batch);

    sqlite3* db_;
    sqlite3_stmt* insert_;
    const size_t columns_;
    Batch building_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> waiting_;
    bool ending_ = false;   // no more batches will come
    std::atomic<bool> failed_ = false;  // an insert failed; error_ says why
    std::string error_;
    std::thread worker_;
};

}  // namespace db
