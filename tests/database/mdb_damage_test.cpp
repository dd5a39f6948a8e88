// Access files damaged one byte at a time: every byte of the first pages (header, and
// the catalogue's table definition on page 2) set to 0x00 and to 0xFF in turn, in a
// Jet 3 and a Jet 4 file. Each copy must list and read cleanly or fail with a message;
// the test process surviving is the point (a fault in libmdb must stay in its child).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "text/codepage.h"
#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"

#include "platform/database/readers/readers.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

struct Outcome {
    int read = 0, failed = 0;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One file, one of its first pages, and a table whose reading goes through the catalogue
// and its own definition.
struct DamagedPage {
    const char* file;
    size_t pageSize;
    size_t page;
    const char* table;
    size_t rows;
};

void PrintTo(const DamagedPage& p, std::ostream* out) { *out << p.file << " page " << p.page; }

// Damages each byte of the page in turn and reads the table from each copy (which reads
// the catalogue first): it must give all its rows or fail with a message.
Outcome damageEachByte(const DamagedPage& p) {
    const std::string original = fileBytes(sharedFile(p.file));
    TempFolder folder;
    const std::string file = folder.write("damaged.mdb", original);
    const int fd = ::open(file.c_str(), O_WRONLY);
    Outcome outcome;
    for (size_t at = p.page * p.pageSize; at < (p.page + 1) * p.pageSize; ++at) {
        for (const char damage : {'\x00', '\xFF'}) {
            if (original[at] == damage) continue;  // the same file
            // One byte changed in place, and put back below.
            EXPECT_EQ(::pwrite(fd, &damage, 1, static_cast<off_t>(at)), 1);
            db::LoadedTable out;
            std::string error;
            if (db::readMdbTable(file, "", p.table, out, error)) {
                EXPECT_EQ(out.rows.size(), p.rows) << "byte " << at << " set to " << int(damage & 0xFF);
                ++outcome.read;
            } else {
                EXPECT_FALSE(error.empty()) << at;
                EXPECT_TRUE(out.rows.empty()) << at;
                ++outcome.failed;
            }
            EXPECT_EQ(::pwrite(fd, &original[at], 1, static_cast<off_t>(at)), 1);
        }
    }
    ::close(fd);
    return outcome;
}

// One test per page, so that the pages run side by side under ctest -j.
class MdbDamagedPage : public ::testing::TestWithParam<DamagedPage> {};

TEST_P(MdbDamagedPage, EveryByteReadsWholeOrFailsCleanly) {
    REQUIRE_SHARED_FILE(GetParam().file);
    const Outcome outcome = damageEachByte(GetParam());
    // Most single bytes are slack or checked there: the table still reads.
    EXPECT_GT(outcome.read, 0);
    if (GetParam().page == 2) {
        EXPECT_GT(outcome.failed, 0);  // the catalogue's definition
    }
}

// Jet 3: a Chinese Access 97 file (2 KB pages); Jet 4: the shared fixture (4 KB pages).
const char* const kJet3 = "corpus/mdb/ucanaccess__charsetGBK.mdb";
const char* const kJet4 = "fixtures/mdb/pupils.mdb";
INSTANTIATE_TEST_SUITE_P(FirstPages, MdbDamagedPage,
                         ::testing::Values(DamagedPage{kJet3, 2048, 0, "table1", 1},
                                           DamagedPage{kJet3, 2048, 1, "table1", 1},
                                           DamagedPage{kJet3, 2048, 2, "table1", 1},
                                           DamagedPage{kJet4, 4096, 0, "\xBD\xCC\xCA\xA6", 2},  // 教师
                                           DamagedPage{kJet4, 4096, 1, "\xBD\xCC\xCA\xA6", 2},
                                           DamagedPage{kJet4, 4096, 2, "\xBD\xCC\xCA\xA6", 2}),
                         [](const ::testing::TestParamInfo<DamagedPage>& info) {
                             return std::string(info.param.pageSize == 2048 ? "Jet3" : "Jet4") + "Page" +
                                    std::to_string(info.param.page);
                         });

// pupils.mdb: 学生名单 has its definition on page 24 and its first data page on 26.
constexpr size_t kPage = 4096, kStudentsDefinition = 24, kStudentsFirstData = 26;
const std::string k学生名单 = "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5";

std::string damagedCopy(TempFolder& folder, const std::string& relative, size_t at, char value) {
    std::string copy = fileBytes(sharedFile(relative));
    copy.at(at) = value;
    return folder.write("damaged.mdb", copy);
}

// A damaged table is reported as that, naming the file and the table, never as a
// table with fewer rows (or none) and never by a fault.
TEST(MdbDamage, DamagedTablePagesFailTheTableNamingIt) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils.mdb");
    TempFolder folder;
    struct Case {
        size_t at;
        char value;
        const char* says;
    };
    for (const Case& c : {Case{kStudentsFirstData * kPage, '\x00', "数据页无法读取"},     // not a data page
                          Case{kStudentsFirstData * kPage + 12, '\x00', "数据页无法读取"},  // no rows on it
                          Case{kStudentsDefinition * kPage + 55, '\xFF', "定义无法读取"},   // usage map pointer
                          Case{kStudentsDefinition * kPage + 56, '\x00', "定义无法读取"}}) {
        const std::string file = damagedCopy(folder, "fixtures/mdb/pupils.mdb", c.at, c.value);
        db::LoadedTable out;
        std::string error;
        EXPECT_FALSE(db::readMdbTable(file, "", k学生名单, out, error)) << c.at;
        EXPECT_TRUE(out.rows.empty());
        for (const std::string& part : {file, k学生名单, codepage::utf8ToGbk(c.says)})
            EXPECT_NE(error.find(part), std::string::npos) << c.at << ": " << codepage::gbkToUtf8(error);
        // The other tables of the file still read.
        EXPECT_TRUE(db::readMdbTable(file, "", "\xBD\xCC\xCA\xA6", out, error)) << codepage::gbkToUtf8(error);
    }
}

// Zeroed stretches of a data page: its rows were read as rows of NULLs (no columns), or
// from offsets that point into the page header, and the table loaded as success.
TEST(MdbDamage, ZeroedDataPageStretchesFailTheTable) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils.mdb");
    TempFolder folder;
    struct Stretch {
        size_t at, length;
    };
    // The first data page holds 64 rows from offset 0x180 to the page's end; the table
    // of their offsets starts at 14.
    for (const Stretch& s : {Stretch{256, 256}, Stretch{1024, 512}, Stretch{3840, 256}, Stretch{14, 8}}) {
        std::string copy = fileBytes(sharedFile("fixtures/mdb/pupils.mdb"));
        copy.replace(kStudentsFirstData * kPage + s.at, s.length, std::string(s.length, '\0'));
        const std::string file = folder.write("zeroed.mdb", copy);
        db::LoadedTable out;
        std::string error;
        EXPECT_FALSE(db::readMdbTable(file, "", k学生名单, out, error)) << s.at << ": " << out.rows.size() << " rows";
        for (const std::string& part : {file, k学生名单, codepage::utf8ToGbk("数据页无法读取")})
            EXPECT_NE(error.find(part), std::string::npos) << s.at << ": " << codepage::gbkToUtf8(error);
    }
}

// A Jet 3 header whose password field holds no text is damaged, not protected.
TEST(MdbDamage, ADamagedJet3HeaderIsNoWrongPassword) {
    REQUIRE_SHARED_FILE("corpus/mdb/ucanaccess__charsetGBK.mdb");
    TempFolder folder;
    const std::string file = damagedCopy(folder, "corpus/mdb/ucanaccess__charsetGBK.mdb", 0x42, '\x00');
    std::vector<std::string> tables;
    std::string error;
    EXPECT_FALSE(db::listMdbTables(file, "", tables, error));
    EXPECT_NE(error.find(codepage::utf8ToGbk("文件头已损坏")), std::string::npos) << codepage::gbkToUtf8(error);
    EXPECT_NE(error.find(file), std::string::npos);
}

// Access single-precision numbers show with six significant digits, as a single does.
TEST(MdbDamage, SinglePrecisionValuesShowWithSixDigits) {
    const char* const nwind = "corpus/mdb/mdbtestdata__nwind.mdb";
    REQUIRE_SHARED_FILE(nwind);
    // Every discount of 0.15 (single 3E19999A) becomes pi (40490FDB).
    std::string copy = fileBytes(sharedFile(nwind));
    size_t changed = 0;
    for (size_t at = 0; (at = copy.find(std::string("\x9A\x99\x19\x3E", 4), at)) != std::string::npos; ++changed)
        copy.replace(at, 4, std::string("\xDB\x0F\x49\x40", 4));
    ASSERT_GT(changed, 0u);
    TempFolder folder;
    const std::string file = folder.write("nwind.mdb", copy);
    db::TableCache::instance().clear();
    db::ExternalDatabase database;
    ASSERT_TRUE(database.openAccessFile(file, "")) << database.lastError();
    const int set = database.openRecordSet("select * from [Order Details] where Discount > 3");
    ASSERT_NE(set, 0) << codepage::gbkToUtf8(database.lastError());
    ASSERT_FALSE(database.atEnd(set));
    for (; !database.atEnd(set); database.moveNext(set)) EXPECT_EQ(database.fieldText(set, "Discount"), "3.14159");
    // LIKE reads a single column by the same six digits ("3.1415927" would not match).
    const int liked = database.openRecordSet("select * from [Order Details] where Discount like '%3.14159'");
    ASSERT_NE(liked, 0) << codepage::gbkToUtf8(database.lastError());
    EXPECT_FALSE(database.atEnd(liked));
    // NULL shows as 0 in a single column as in any number column.
    EXPECT_EQ(db::toDisplayText(db::Null{}, db::ColumnType::Single), "0");
}

}  // namespace
