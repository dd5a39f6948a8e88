// Opening a record connection by the data file's kind (see record_connection.h).
#include "query/record_connection.h"

#include "common/data_source.h"
#include "platform/database/external_database.h"

namespace query {

bool openRecordConnection(db::ExternalDatabase& database, const std::string& kind,
                          const std::string& dbname, const std::string& password) {
    switch (datasource::kindFromText(kind)) {
    case datasource::Kind::Access:
        return database.openAccessFile(dbname, password);
    case datasource::Kind::TextTable:
        return database.open(datasource::textTableConnection(dbname));
    case datasource::Kind::DBaseTable:
        return database.open(datasource::dbaseConnection(dbname));
    case datasource::Kind::Workbook:
        break;
    }
    return database.open(datasource::workbookRecordConnection(dbname));
}

}  // namespace query
