// Connection strings exactly as the programs build them.
#include <gtest/gtest.h>

#include "platform/database/connection_string.h"

using db::ConnectionTarget;
using db::SourceKind;

namespace {

ConnectionTarget parse(const std::string& text) {
    ConnectionTarget target;
    std::string error;
    EXPECT_TRUE(db::parseConnectionString(text, target, error)) << text;
    return target;
}

TEST(ConnectionString, EveryStringTheProgramsBuild) {
    auto text = parse("ODBC;DBQ=/data/;Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;"
                      "Persist Security Info=False;");
    EXPECT_EQ(text.kind, SourceKind::Text);
    EXPECT_EQ(text.path, "/data/");

    auto dbase = parse("ODBC;DBQ=/data/;Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;");
    EXPECT_EQ(dbase.kind, SourceKind::Dbase);

    auto book = parse("ODBC;DBQ=/data/book;Driver={Microsoft Excel Driver (*.xls)};");
    EXPECT_EQ(book.kind, SourceKind::Workbook);
    EXPECT_EQ(book.path, "/data/book");
    EXPECT_EQ(parse("DBQ=/d/b.xls;Driver={Microsoft Excel Driver (*.xls)};").kind, SourceKind::Workbook);

    auto access = parse("ODBC;DBQ=/data/club.mdb;DefaultDir=/data;Driver={Microsoft Access Driver (*.mdb)};"
                        "FIL=MS Access;PWD= pw ;");
    EXPECT_EQ(access.kind, SourceKind::Access);
    EXPECT_EQ(access.path, "/data/club.mdb");
    EXPECT_EQ(access.password, " pw ");  // spaces are part of the password
    EXPECT_EQ(parse("ODBC;DBQ=/d/c.mdb;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;").password, "");

    auto listing = parse("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/c.mdb;Jet OLEDB:Database Password=se;cret;");
    EXPECT_EQ(listing.kind, SourceKind::Access);
    EXPECT_EQ(listing.path, "/d/c.mdb");
    EXPECT_EQ(listing.password, "se");  // the strings are not escaped: ";" ends the value

    auto fields = parse("ODBC;DBQ=/d/c.mdb;Driver={Microsoft Access Driver (*.mdb)}; MaxBufferSize=10240;Password=x=1;");
    EXPECT_EQ(fields.password, "x=1");
}

TEST(ConnectionString, KeysIgnoreCaseAndChineseSurvives) {
    const std::string dir = "/\xCA\xFD\xBE\xDD/";  // a GBK folder name
    auto target = parse("dbq=" + dir + ";DRIVER={microsoft text driver (*.txt; *.csv)}");
    EXPECT_EQ(target.kind, SourceKind::Text);
    EXPECT_EQ(target.path, dir);
}

TEST(ConnectionString, RefusesUnknownDriversAndMissingSources) {
    ConnectionTarget target;
    std::string error;
    EXPECT_FALSE(db::parseConnectionString("ODBC;DBQ=/d/;Driver={SQL Server};", target, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(db::parseConnectionString("ODBC;Driver={Microsoft Text Driver (*.txt; *.csv)};", target, error));
    EXPECT_FALSE(db::parseConnectionString("", target, error));
    EXPECT_FALSE(db::parseConnectionString("DBQ=/d/", target, error));
}

}  // namespace
