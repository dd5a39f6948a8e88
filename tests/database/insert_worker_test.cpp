// Rows inserted by InsertWorker on its thread: every value in order and kind, and a
// failed insert reported to the reader rather than lost with the thread.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/database/insert_worker.h"

namespace {

struct Database {
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    explicit Database(const char* create) {
        sqlite3_open(":memory:", &db);
        sqlite3_exec(db, create, nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?)", -1, &insert, nullptr);
    }
    ~Database() {
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
    std::string one(const char* sql) const {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        std::string out = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0)
                              ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                              : "<none>";
        sqlite3_finalize(stmt);
        return out;
    }
};

// Row i: i, then a text or NULL, then a real or a two-byte blob.
void addRow(db::InsertWorker& worker, int i) {
    worker.addInteger(i);
    if (i % 3 == 0) worker.addNull();
    else worker.addText("row " + std::to_string(i));
    if (i % 2 == 0) worker.addReal(i + 0.5);
    else worker.addBlob(std::string("\0x", 2));
}

TEST(InsertWorker, ManyBatchesArriveWholeAndInOrder) {
    Database d("CREATE TABLE t (a, b, c)");
    std::string error;
    {
        db::InsertWorker worker(d.db, d.insert, 3);
        for (int i = 0; i < 5000; ++i) {
            addRow(worker, i);
            ASSERT_TRUE(worker.endRow(error));
        }
        worker.addInteger(-1);
        worker.addText("");
        worker.addReal(std::numeric_limits<double>::quiet_NaN());
        ASSERT_TRUE(worker.endRow(error));
        ASSERT_TRUE(worker.finish(error)) << error;
    }
    EXPECT_EQ(d.one("SELECT count(*) FROM t"), "5001");
    EXPECT_EQ(d.one("SELECT group_concat(a) FROM (SELECT a FROM t WHERE a < 4 ORDER BY rowid)"), "0,1,2,3,-1");
    EXPECT_EQ(d.one("SELECT b FROM t WHERE a = 4999"), "row 4999");
    EXPECT_EQ(d.one("SELECT typeof(b) || typeof(c) FROM t WHERE a = 3"), "nullblob");
    EXPECT_EQ(d.one("SELECT c FROM t WHERE a = 4998"), "4998.5");
    EXPECT_EQ(d.one("SELECT length(c) FROM t WHERE a = 1"), "2");
    EXPECT_EQ(d.one("SELECT typeof(b) || typeof(c) FROM t WHERE a = -1"), "textnull");  // NaN stores NULL
}

// The insert runs on another thread: its failure must still fail the load.
TEST(InsertWorker, AFailedInsertIsReportedAndLaterRowsAreRefused) {
    Database d("CREATE TABLE t (a NOT NULL, b, c)");
    std::string error;
    db::InsertWorker worker(d.db, d.insert, 3);
    bool refused = false;
    for (int i = 0; i < 100000 && !refused; ++i) {
        if (i == 10) worker.addNull();
        else worker.addInteger(i);
        worker.addNull();
        worker.addNull();
        refused = !worker.endRow(error);
    }
    const bool finished = worker.finish(error);
    EXPECT_TRUE(refused || !finished);
    EXPECT_FALSE(finished);
    EXPECT_NE(error.find("NOT NULL"), std::string::npos) << error;
}

// An abandoned load (the reader failed) ends the thread without waiting for more rows.
TEST(InsertWorker, DestroyedWithoutFinishStopsTheThread) {
    Database d("CREATE TABLE t (a, b, c)");
    std::string error;
    {
        db::InsertWorker worker(d.db, d.insert, 3);
        for (int i = 0; i < 1000; ++i) {
            addRow(worker, i);
            ASSERT_TRUE(worker.endRow(error));
        }
    }
    EXPECT_NE(d.one("SELECT count(*) FROM t"), "<none>");
}

}  // namespace
