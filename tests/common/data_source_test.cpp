// Data-source kinds, the text/dBASE split and the connection strings, byte for byte.
#include <gtest/gtest.h>

#include "text/codepage.h"
#include "common/data_source.h"

namespace {

using datasource::Kind;

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

TEST(DataSourceKind, ByTheLowerCasedTextAfterTheLastDot) {
    EXPECT_EQ(datasource::kindOf("/data/pupils.txt"), "txt");
    EXPECT_EQ(datasource::kindOf("/data/A.DBF"), "dbf");
    EXPECT_EQ(datasource::kindOf("/data/book.xlsx"), "xlsx");
    EXPECT_EQ(datasource::kindOf("/Data/Book"), "/data/book");       // no "." at all
    EXPECT_EQ(datasource::kindOf("/my.data/Book"), "data/book");     // a "." in a directory
    EXPECT_EQ(datasource::kindOf("/data/a.tar."), "");
    EXPECT_EQ(datasource::kindOf(G("/数据/例子.XLS")), "xls");
    EXPECT_EQ(datasource::kindFromText("txt"), Kind::TextTable);
    EXPECT_EQ(datasource::kindFromText("csv"), Kind::TextTable);
    EXPECT_EQ(datasource::kindFromText("dbf"), Kind::DBaseTable);
    EXPECT_EQ(datasource::kindFromText("mdb"), Kind::Access);
    EXPECT_EQ(datasource::kindFromText("xls"), Kind::Workbook);
    EXPECT_EQ(datasource::kindFromText("data/book"), Kind::Workbook);
    EXPECT_EQ(datasource::kindFromText("TXT"), Kind::Workbook);  // exact comparison
}

TEST(DataSourceSplit, DirectoryWithItsSeparatorAndTheFileNameAsTheTable) {
    auto s = datasource::splitTablePath("/data/A.DBF");
    EXPECT_EQ(s.directory, "/data/");
    EXPECT_EQ(s.table, "A.DBF");
    s = datasource::splitTablePath("pupils.txt");
    EXPECT_EQ(s.directory, "");
    EXPECT_EQ(s.table, "pupils.txt");
    // The trail byte 0x5C of a GBK character is no separator, and "/" is never a trail byte.
    s = datasource::splitTablePath(G("/数据/") + "\x81\x5C.csv");
    EXPECT_EQ(s.directory, G("/数据/"));
    EXPECT_EQ(s.table, "\x81\x5C.csv");
}

TEST(ConnectionStrings, TextDbaseAndWorkbook) {
    EXPECT_EQ(datasource::textTableConnection("/data/"),
              "ODBC;DBQ=/data/;Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;"
              "Persist Security Info=False;");
    EXPECT_EQ(datasource::dbaseConnection("/data/"),
              "ODBC;DBQ=/data/;Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;");
    EXPECT_EQ(datasource::workbookRecordConnection("/data/book.xls"),
              "ODBC;DBQ=/data/book.xls;Driver={Microsoft Excel Driver (*.xls)};");
    EXPECT_EQ(datasource::sheetListingConnection("/data/book.xls"),
              "DBQ=/data/book.xls;Driver={Microsoft Excel Driver (*.xls)};");
}

TEST(ConnectionStrings, AccessWithoutPassword) {
    EXPECT_EQ(datasource::accessRecordConnection("/data/club.mdb", ""),
              "ODBC;DBQ=/data/club.mdb;DefaultDir=/data;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;");
    EXPECT_EQ(datasource::accessRecordConnection("club.mdb", ""),
              "ODBC;DBQ=club.mdb;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;");
    EXPECT_EQ(datasource::jetListingConnection("/data/club.mdb", ""),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/club.mdb;Jet OLEDB:Database Password=;");
    EXPECT_EQ(datasource::accessFieldListConnection("/data/club.mdb", ""),
              "ODBC;DBQ=/data/club.mdb;Driver={Microsoft Access Driver (*.mdb)}; MaxBufferSize=10240;Password=;");
}

TEST(ConnectionStrings, PasswordsGoInAsTyped) {
    EXPECT_EQ(datasource::accessRecordConnection("/data/club.mdb", " pw "),
              "ODBC;DBQ=/data/club.mdb;DefaultDir=/data;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;PWD= pw ;");
    EXPECT_EQ(datasource::jetListingConnection("/data/club.mdb", " pw "),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/club.mdb;Jet OLEDB:Database Password= pw ;");
    EXPECT_EQ(datasource::accessFieldListConnection("/data/club.mdb", " pw "),
              "ODBC;DBQ=/data/club.mdb;Driver={Microsoft Access Driver (*.mdb)}; MaxBufferSize=10240;Password= pw ;");
}

}  // namespace
