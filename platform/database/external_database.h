// The external-database component: what the programs used ODBC and ADO for.
//
// A connection is opened with the connection strings the programs build, unchanged:
// "ODBC;DBQ=<dir>;Driver={Microsoft Text Driver (*.txt; *.csv)};..." and the dBASE,
// Excel and Access forms. The Driver= name picks the reader, DBQ= names the directory
// (text, dBASE) or the file (Excel, Access), PWD= / Password= / Jet OLEDB:Database
// Password= the password. Statements run on an in-memory SQLite database into which the
// reader has loaded the table they name, with Jet's semantics where the programs rely on
// them (bare and bracketed names, text compared without regard to ASCII case).
//
// Nothing here shows a message: failures return false / 0, and lastError() tells why.
// Loaded tables are shared by every component in the process (see table_cache.h), which
// is why all of them must be used from one thread, the programs' window thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/database/value.h"

namespace db {

struct ConnectionTarget;

class ExternalDatabase {
public:
    ExternalDatabase();
    ~ExternalDatabase();
    ExternalDatabase(const ExternalDatabase&) = delete;
    ExternalDatabase& operator=(const ExternalDatabase&) = delete;

    // Opens by connection string (GBK). On success the previous connection is closed and
    // replaced; on failure the previous connection stays and the result is false.
    bool open(const std::string& connectionString);
    // Builds the Access record string from file and password and opens with it.
    bool openAccessFile(const std::string& file, const std::string& password);
    // Closing a closed component does nothing. Record sets close with it.
    void close();
    bool isOpen() const;

    // Runs a statement; returns the record set's number (1, 2, ...) or 0 when there is no
    // connection or the statement fails. The cursor starts on the first record.
    int openRecordSet(const std::string& sql);
    void moveFirst(int recordSet);
    void moveNext(int recordSet);
    // True after the last record, and for record set 0 or any unknown number.
    bool atEnd(int recordSet) const;
    // The current record's field whose name equals `name` byte for byte; a missing name,
    // an unknown set or a set at its end gives an empty text. A NULL gives an empty text,
    // or 0 (int64_t / double) in an integer or floating-point column.
    Value field(int recordSet, const std::string& name) const;
    // The same by 1-based column number.
    Value field(int recordSet, int number) const;
    // The field made a text as the record window shows it (see toDisplayText).
    std::string fieldText(int recordSet, const std::string& name) const;
    std::string fieldText(int recordSet, int number) const;
    // The same written into `text`, replacing what it held: a list filled with a million
    // cells has each one built in its final place rather than built and then moved there.
    void fieldText(int recordSet, int number, std::string& text) const;
    int fieldCount(int recordSet) const;
    std::vector<std::string> fieldNames(int recordSet) const;
    void closeRecordSet(int recordSet);

    // Why the last open or statement failed (GBK), empty after a success.
    const std::string& lastError() const;
    // Whether the last failed statement failed on its data file (missing, unreadable or
    // damaged) rather than on the statement itself (a column the table lacks).
    bool lastFailureWasDataFile() const;

private:
    bool adopt(const ConnectionTarget& target);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace db
