// Field names of a table: through the database component, or along a workbook's header row.
#include "common/field_listing.h"

#include "text/codepage.h"
#include "common/data_source.h"
#include "common/table_listing.h"
#include "platform/database/external_database.h"
#include "platform/database/value.h"

namespace {

// Opens `connection`, runs "SELECT * FROM " + table (the name goes in unbracketed, as
// the listing gives it) and takes the record set's field names.
void listThroughComponent(const std::string& connection, const std::string& table,
                          std::vector<std::string>& names, std::string& providerError) {
    names.clear();
    providerError.clear();
    db::ExternalDatabase database;
    const bool opened = database.open(connection);
    // A failed open is not reported by itself: the record set then fails, and the
    // message of the failed open says more than "no connection".
    const std::string openError = opened ? std::string() : database.lastError();
    const int recordSet = database.openRecordSet("SELECT * FROM " + table);
    if (recordSet == 0) {
        providerError = opened ? database.lastError() : openError;
        if (providerError.empty()) providerError = codepage::utf8ToGbk("无法打开表：") + table;
        return;
    }
    names = database.fieldNames(recordSet);
    database.closeRecordSet(recordSet);
    database.close();
}

// A header cell that ends the row: empty, or only half- and full-width spaces.
bool isBlankHeader(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        if (text[i] == ' ') { ++i; continue; }
        if (i + 1 < text.size() && text[i] == '\xA1' && text[i + 1] == '\xA1') { i += 2; continue; }
        return false;
    }
    return true;
}

}  // namespace

void 列出MDB字段(const std::string& file, const std::string& password, const std::string& table,
                 std::vector<std::string>& 字段名数组, std::string& providerError) {
    listThroughComponent(datasource::accessFieldListConnection(file, password), table, 字段名数组, providerError);
}

void 列出文本文件字段(const std::string& directory, const std::string& fileName,
                      std::vector<std::string>& 字段名数组, std::string& providerError) {
    listThroughComponent(datasource::textTableConnection(directory), fileName, 字段名数组, providerError);
}

void 列出DBF字段(const std::string& directory, const std::string& fileName,
                 std::vector<std::string>& 字段名数组, std::string& providerError) {
    listThroughComponent(datasource::dbaseConnection(directory), fileName, 字段名数组, providerError);
}

// Row 1 as stored, not the field names the database component makes of it: those are
// renamed (a repeated name gets a number, an empty cell becomes "F3") and would not
// stop at a gap, while the user is to see the header cells as typed.
void 列出Excel字段(const std::string& workbook, int sheetNumber, std::vector<std::string>& 字段名数组) {
    字段名数组.clear();
    std::vector<db::Value> cells;
    std::string error;
    if (sheetNumber < 1 || !readWorkbookHeaderRow(workbook, static_cast<size_t>(sheetNumber) - 1, cells, error))
        return;
    for (int n = 0; !excelColumnName(n).empty(); ++n) {
        if (static_cast<size_t>(n) >= cells.size()) break;
        // A cell's value as the record window shows it in a text column, so that the name
        // saved is the one the query program's statements find.
        std::string cell = db::toDisplayText(cells[static_cast<size_t>(n)], db::ColumnType::Text);
        if (isBlankHeader(cell)) break;
        字段名数组.push_back(std::move(cell));
    }
}

std::string excelColumnName(int n) {
    if (n < 0 || n > 701) return {};
    std::string name;
    if (n >= 26) name += static_cast<char>(64 + n / 26);
    name += static_cast<char>(65 + n % 26);
    return name;
}
