// The process-wide cache of loaded tables, on one shared in-memory SQLite database.
//
// Every search of the programs opens a new connection and runs its statement; a table
// read once is kept (one SQLite table per loaded source, named t1, t2, ...) and reused
// while its file keeps the same size and modification time, so the second search does
// not read the file again. Texts are UTF-8 inside; text columns compare without regard
// to ASCII case (COLLATE NOCASE), as Jet compares them. The declared column types tell
// the record sets how to hand values back (see columnTypeFromDeclared).
//
// Like the windows that use it, the cache belongs to one thread: the programs' window
// thread. Neither it nor the SQLite connection under it locks anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/database/sql_translation.h"
#include "platform/database/table_sink.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// What identifies one version of a file.
struct FileStamp {
    int64_t size = -1;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// False when the file (GBK path) does not exist or cannot be examined.
bool fileStamp(const std::string& gbkPath, FileStamp& out);

// The declared SQLite type of a column of the given type, and back ("TEXT", "INTEGER",
// "REAL", "DATETIME", "BOOLEAN", "BLOB"). An unknown or missing declaration gives Text.
const char* declaredType(ColumnType type);
ColumnType columnTypeFromDeclared(const char* declared);

class TableCache {
public:
    using Loader = std::function<bool(TableSink& sink, std::string& error)>;

    static TableCache& instance();

    // The internal name of the table cached under `key` for this file stamp; when there
    // is none (or an older stamp), runs `loader` into a new table first. False, with the
    // loader's message in `error`, when loading fails or the loader throws (out of
    // memory); nothing is cached then and no exception leaves this function.
    bool table(const std::string& key, const FileStamp& stamp, const Loader& loader,
               std::string& internalName, std::string& error);

    // The columns of the loaded table `internalName`, as SQLite names them; none for a
    // name the cache does not hold.
    const TableColumns& columns(const std::string& internalName) const;

    // Remembers that a check of a source (a password, a file signature) passed for a
    // file stamp, so a second open of an unchanged file need not read it.
    bool checked(const std::string& key, const FileStamp& stamp) const;
    void markChecked(const std::string& key, const FileStamp& stamp);

    // The shared database; statements on it must go through prepareSelect.
    sqlite3* database() const { return db_; }
    // Prepares a read-only statement that may read `internalName` and nothing else
    // (an authorizer refuses every other table and every write). Null on failure.
    sqlite3_stmt* prepareSelect(const std::string& utf8Sql, const std::string& internalName,
                                       std::string& error);

    // How many loads ran since the process started (a test seam for the reuse rule).
    int loadCount() const { return loads_; }
    // Drops every cached table that no statement is reading (tests start clean with it).
    void clear();

    ~TableCache();

private:
    TableCache();
    struct Impl;
    Impl* impl_;
    sqlite3* db_ = nullptr;
    int loads_ = 0;
};

}  // namespace db
