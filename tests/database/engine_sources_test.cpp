// The component on workbooks and Access files: how statements name sheets and tables,
// workbooks told by their first bytes, and the database password checked at open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"
#include "platform/database/table_sink.h"
#include "temp_folder.h"

namespace {

const std::string kStudents = "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5";  // 学生名单

std::string workbookString(const std::string& file) {
    return "ODBC;DBQ=" + file + ";Driver={Microsoft Excel Driver (*.xls)};";
}

std::string accessString(const std::string& file, const std::string& password) {
    std::string s = "ODBC;DBQ=" + file + ";DefaultDir=" + file.substr(0, file.rfind('/')) +
                    ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access";
    if (!password.empty()) s += ";PWD=" + password;
    return s + ";";
}

int rowCount(db::ExternalDatabase& database, const std::string& sql) {
    const int set = database.openRecordSet(sql);
    if (set == 0) return -1;
    int rows = 0;
    for (; !database.atEnd(set); database.moveNext(set)) ++rows;
    database.closeRecordSet(set);
    return rows;
}

TEST(EngineWorkbooks, SheetNamesInEveryFormAndAnyExtension) {
    TempFolder folder;
    for (const std::string kind : {"xls", "xlsx"}) {
        const std::string fixture = std::string(LOOKUP_TEST_DATA_DIR) + "/" + kind + "/students." + kind;
        ASSERT_TRUE(std::filesystem::exists(fixture)) << fixture;
        // A workbook is a workbook whatever its name: the first bytes decide the format.
        const std::string renamed = folder.file("book-" + kind);
        std::filesystem::copy_file(fixture, renamed);
        db::ExternalDatabase database;
        ASSERT_TRUE(database.open(workbookString(renamed))) << database.lastError();
        EXPECT_EQ(rowCount(database, "SELECT * FROM 'my sheet$'"), 1) << kind;
        EXPECT_EQ(rowCount(database, "select * from ['My Sheet$'] "), 1) << kind;
        EXPECT_GT(rowCount(database, "select * from [" + kStudents + "$] "), 0) << kind;
        EXPECT_GT(rowCount(database, "SELECT * FROM " + kStudents + "$"), 0) << kind;
        EXPECT_EQ(rowCount(database, "select * from [nosuch$] "), -1) << kind;
    }
}

TEST(EngineWorkbooks, NamedRangesReadByStatementsAndUnreadableFilesSaySo) {
    const std::string book = std::string(LOOKUP_TEST_DATA_DIR) + "/xls/formats.xls";
    db::ExternalDatabase database;
    ASSERT_TRUE(database.open(workbookString(book))) << database.lastError();
    const std::string range = "\xB0\xE0\xBC\xB6\xB1\xED";  // 班级表
    EXPECT_EQ(rowCount(database, "select * from [" + range + "]"), 3);
    EXPECT_EQ(rowCount(database, "select * from [\xC3\xFB\xB5\xA5$Print_Area]"), 5);  // 名单$Print_Area
    EXPECT_EQ(rowCount(database, "select * from [\xC3\xFB\xB5\xA5$]"), 5);  // the sheet 名单 itself

    // A workbook that cannot be opened is not called "not an Excel workbook".
    TempFolder folder;
    const std::string loop = folder.file("loop.xls");
    std::filesystem::create_symlink(loop, loop);
    EXPECT_FALSE(database.open(workbookString(loop)));
    EXPECT_EQ(database.lastError().find("\xB2\xBB\xCA\xC7"), std::string::npos);  // 不是
}

TEST(EngineWorkbooks, AFileThatIsNoWorkbookFailsTheOpen) {
    TempFolder folder;
    db::ExternalDatabase database;
    EXPECT_FALSE(database.open(workbookString(folder.write("fake.xls", "a,b\r\n1,2\r\n"))));
    EXPECT_FALSE(database.open(workbookString(folder.write("empty.xlsx", ""))));
    EXPECT_FALSE(database.lastError().empty());
}

class EngineAccess : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::string(LOOKUP_SHARED_DIR) + "/fixtures/mdb/";
        if (!std::filesystem::exists(dir + "pupils.mdb")) GTEST_SKIP() << "Access fixtures absent: " << dir;
    }
    std::string dir;
};

TEST_F(EngineAccess, RecordStringAndAccessFileOpenWithTheRightPasswordOnly) {
    db::ExternalDatabase database;
    ASSERT_TRUE(database.open(accessString(dir + "pupils.mdb", ""))) << database.lastError();
    EXPECT_EQ(rowCount(database, "select * from [" + kStudents + "] "), 200);

    // A wrong or missing password fails and keeps the connection to pupils.mdb.
    EXPECT_FALSE(database.open(accessString(dir + "pupils_password.mdb", "wrong")));
    EXPECT_FALSE(database.openAccessFile(dir + "pupils_password.mdb", ""));
    EXPECT_FALSE(database.openAccessFile(dir + "missing.mdb", ""));
    EXPECT_EQ(rowCount(database, "SELECT * FROM " + kStudents), 200);

    ASSERT_TRUE(database.openAccessFile(dir + "pupils_password.mdb", "abc123")) << database.lastError();
    EXPECT_EQ(rowCount(database, "select * from [" + kStudents + "] where [\xD0\xD5\xC3\xFB] = 'abc'"), 2);
    EXPECT_EQ(rowCount(database, "select * from [no such table]"), -1);
}

TEST_F(EngineAccess, ASecondOpenOfAnUnchangedFileReadsNothing) {
    auto& cache = db::TableCache::instance();
    {
        db::ExternalDatabase database;
        ASSERT_TRUE(database.openAccessFile(dir + "pupils_password.mdb", "abc123"));
        ASSERT_GT(rowCount(database, "select * from [" + kStudents + "] "), 0);
    }
    const int loads = cache.loadCount();
    db::ExternalDatabase database;
    ASSERT_TRUE(database.openAccessFile(dir + "pupils_password.mdb", "abc123"));
    EXPECT_GT(rowCount(database, "select DISTINCT \xB0\xE0\xBC\xB6 from [" + kStudents + "]"), 0);
    EXPECT_EQ(cache.loadCount(), loads);
    // The loaded table is not handed to a connection with another password.
    EXPECT_FALSE(database.openAccessFile(dir + "pupils_password.mdb", "ABC123"));
}

// Counts what a reader hands over.
class CountingSink : public db::TableSink {
public:
    bool begin(const std::vector<std::string>&, const std::vector<db::ColumnType>&, std::string&) override {
        return true;
    }
    bool addRow(std::vector<db::Value>&, std::string&) override {
        ++rows;
        return true;
    }
    size_t rows = 0;
};

// The Access reader finds a short table only after it has streamed the rows it could
// read: the load must still fail whole, cache nothing, and the mended file must load.
TEST_F(EngineAccess, ATableFoundShortAfterItsFirstRowsFailsWholeAndTheMendedFileLoads) {
    std::ifstream in(dir + "pupils.mdb", std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TempFolder folder;
    const std::string file = folder.file("cut.mdb");
    bool found = false;
    for (size_t keep = original.size() / 4096 - 1; keep > 2 && !found; --keep) {
        folder.write("cut.mdb", original.substr(0, keep * 4096));
        CountingSink sink;
        std::string error;
        found = !db::readMdbTableInto(file, "", kStudents, sink, error) && sink.rows > 0;
    }
    ASSERT_TRUE(found) << "no cut of pupils.mdb streams rows of the table and then fails";

    auto& cache = db::TableCache::instance();
    const int loads = cache.loadCount();
    db::ExternalDatabase database;
    ASSERT_TRUE(database.openAccessFile(file, "")) << database.lastError();
    EXPECT_EQ(rowCount(database, "select * from [" + kStudents + "] "), -1);
    EXPECT_FALSE(database.lastError().empty());
    EXPECT_EQ(rowCount(database, "select DISTINCT \xB0\xE0\xBC\xB6 from [" + kStudents + "]"), -1);
    EXPECT_EQ(cache.loadCount(), loads + 2);  // the failed load left no table to reuse

    folder.write("cut.mdb", original);
    ASSERT_TRUE(database.openAccessFile(file, "")) << database.lastError();
    EXPECT_EQ(rowCount(database, "select * from [" + kStudents + "] "), 200);
}

}  // namespace
