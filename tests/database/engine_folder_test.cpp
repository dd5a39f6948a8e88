// A text or dBASE source is a folder: statements read files of that folder only, and a
// folder the user may not read is reported as such, not as a missing table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "text/codepage.h"
#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"
#include "support/child_process.h"
#include "temp_folder.h"

namespace {

std::string textString(const std::string& folder) {
    return "ODBC;DBQ=" + folder + ";Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;";
}

std::string dbaseString(const std::string& folder) {
    return "ODBC;DBQ=" + folder + ";Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;";
}

TEST(EngineFolders, ATableNameWithAPathIsRefused) {
    db::TableCache::instance().clear();
    TempFolder folder;
    folder.write("inside.csv", "a\r\n1\r\n");
    std::filesystem::create_directory(folder.file("data"));
    folder.write("data/here.csv", "a\r\n2\r\n");
    const std::string dbf = std::string(LOOKUP_TEST_DATA_DIR) + "/dbf/plain.dbf";
    std::filesystem::copy_file(dbf, folder.file("outside.dbf"));

    for (const bool text : {true, false}) {
        db::ExternalDatabase database;
        const std::string data = folder.file("data") + "/";
        ASSERT_TRUE(database.open(text ? textString(data) : dbaseString(data))) << database.lastError();
        const std::string outside = text ? "inside.csv" : "outside.dbf";
        for (const std::string& name : {"../" + outside, folder.file(outside), "..\\" + outside, "./../data/../" + outside}) {
            EXPECT_EQ(database.openRecordSet("select * from [" + name + "]"), 0) << name;
            EXPECT_NE(database.lastError().find(codepage::utf8ToGbk("表名中不能有路径")), std::string::npos)
                << codepage::gbkToUtf8(database.lastError());
        }
    }
    // A GBK character whose second byte is 0x5C ("\") is no path.
    db::ExternalDatabase database;
    ASSERT_TRUE(database.open(textString(folder.dir())));
    EXPECT_EQ(database.openRecordSet("select * from [\xD5\x5C.csv]"), 0);
    EXPECT_EQ(database.lastError().find(codepage::utf8ToGbk("表名中不能有路径")), std::string::npos);
    EXPECT_NE(database.openRecordSet("select * from [inside.csv]"), 0) << database.lastError();
}

// What a user without the right to read the folder is told. Root ignores permission
// bits, so as root the statements run in a child that has become the user "nobody".
TEST(EngineFolders, AFolderWithoutReadPermissionIsNotAMissingTable) {
    db::TableCache::instance().clear();
    TempFolder folder;
    ::chmod(folder.dir().c_str(), 0755);
    std::filesystem::create_directory(folder.file("listless"));
    std::filesystem::create_directory(folder.file("closed"));
    folder.write("listless/pupils.csv", "a\r\n1\r\n");
    folder.write("closed/pupils.csv", "a\r\n1\r\n");
    ::chmod(folder.file("listless/pupils.csv").c_str(), 0644);
    ::chmod(folder.file("listless").c_str(), 0311);  // may enter, may not list
    ::chmod(folder.file("closed").c_str(), 0);

    const auto errors = [&]() -> std::string {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return {};
        std::string out;
        for (const std::string& sql : {std::string("select * from [PUPILS.CSV]"), std::string("select * from [pupils.csv]")}) {
            for (const char* name : {"listless", "closed"}) {
                db::ExternalDatabase database;
                const bool opened = database.open(textString(folder.file(name) + "/"));
                const int set = opened ? database.openRecordSet(sql) : 0;
                out += std::string(name) + (set != 0 ? " read" : " " + codepage::gbkToUtf8(database.lastError())) + "\n";
            }
        }
        return out;
    };
    const std::string report = runInChild(errors);
    ::chmod(folder.file("listless").c_str(), 0755);
    ::chmod(folder.file("closed").c_str(), 0755);
    ASSERT_FALSE(report.empty()) << "could not become an unprivileged user";
    // The exact name is found in a folder one may enter but not list; a name in another
    // letter case needs the listing.
    EXPECT_EQ(report,
              "listless 没有权限读取数据源目录：" + folder.file("listless") + "/\n"
              "closed 没有权限读取数据源目录：" + folder.file("closed") + "/\n"
              "listless read\n"
              "closed 没有权限读取数据源目录：" + folder.file("closed") + "/\n");
}

}  // namespace
