// Opening a record connection on the configured data file, by its kind: the result list
// of the record window and (later) the candidate lists read their records through it.
#pragma once

#include <string>

namespace db {
class ExternalDatabase;
}

namespace query {

// Opens `database` on the data file: "mdb" as an Access file with `password`; "txt" and
// "csv" with the text-table string, "dbf" with the dBASE string, every other kind with
// the workbook record string, each built on `dbname` (the directory of a text or dBASE
// table, with its trailing "/", or the file). A failed open keeps the component's
// previous connection and returns false; the programs show nothing for it.
bool openRecordConnection(db::ExternalDatabase& database, const std::string& kind,
                          const std::string& dbname, const std::string& password);

}  // namespace query
