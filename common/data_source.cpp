// Data-source kinds, the text/dBASE split and the connection strings (see data_source.h).
#include "common/data_source.h"

#include "text/gbk_text.h"

namespace datasource {

std::string kindOf(std::string_view path) {
    int dot = gbk::findLast(path, ".");
    // With no "." (dot = -1) the formula keeps the whole text.
    return gbk::lower(gbk::right(path, gbk::length(path) - dot));
}

Kind kindFromText(std::string_view kindText) {
    if (kindText == "txt" || kindText == "csv") return Kind::TextTable;
    if (kindText == "dbf") return Kind::DBaseTable;
    if (kindText == "mdb") return Kind::Access;
    return Kind::Workbook;
}

TableSplit splitTablePath(std::string_view path) {
    int slash = gbk::findLast(path, "/");
    if (slash < 0) return {std::string(), std::string(path)};
    return {gbk::left(path, slash), gbk::right(path, gbk::length(path) - slash)};
}

std::string textTableConnection(std::string_view directory) {
    return "ODBC;DBQ=" + std::string(directory) +
           ";Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;Persist Security Info=False;";
}

std::string dbaseConnection(std::string_view directory) {
    return "ODBC;DBQ=" + std::string(directory) + ";Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;";
}

std::string workbookRecordConnection(std::string_view file) {
    return "ODBC;DBQ=" + std::string(file) + ";Driver={Microsoft Excel Driver (*.xls)};";
}

std::string accessRecordConnection(std::string_view file, std::string_view password) {
    std::string out = "ODBC;DBQ=" + std::string(file);
    int slash = gbk::findLast(file, "/");
    if (slash > 0) out += ";DefaultDir=" + gbk::left(file, slash - 1);
    out += ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access";
    if (!password.empty()) out += ";PWD=" + std::string(password);
    out += ";";
    return out;
}

std::string jetListingConnection(std::string_view file, std::string_view password) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + std::string(file) +
           ";Jet OLEDB:Database Password=" + std::string(password) + ";";
}

std::string sheetListingConnection(std::string_view file) {
    return "DBQ=" + std::string(file) + ";Driver={Microsoft Excel Driver (*.xls)};";
}

std::string accessFieldListConnection(std::string_view file, std::string_view password) {
    return "ODBC;DBQ=" + std::string(file) + ";Driver={Microsoft Access Driver (*.mdb)}; MaxBufferSize=10240;Password=" +
           std::string(password) + ";";
}

}  // namespace datasource
