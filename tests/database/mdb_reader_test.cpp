// The Access reader on the shared fixtures (Jet 4, made for this system) and on real files
// of others (Jet 3 and Jet 4, encrypted and password-protected ones), plus damaged copies
// made here. Texts are compared as explicit GBK bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/database/readers/readers.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

using db::ColumnType;
using db::LoadedTable;
using db::Null;
using db::Value;

const char* const kPupils = "fixtures/mdb/pupils.mdb";
const char* const kPasswordFile = "fixtures/mdb/pupils_password.mdb";
const char* const kNwind = "corpus/mdb/mdbtestdata__nwind.mdb";

const std::string k学生名单 = "\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5";
const std::string k进度测试 = "\xBD\xF8\xB6\xC8\xB2\xE2\xCA\xD4";
const std::string k教师 = "\xBD\xCC\xCA\xA6";

LoadedTable read(const std::string& relative, const std::string& table, const std::string& password = "") {
    LoadedTable out;
    std::string error;
    EXPECT_TRUE(db::readMdbTable(sharedFile(relative), password, table, out, error)) << error;
    return out;
}

size_t column(const LoadedTable& table, const std::string& name) {
    auto found = std::find(table.names.begin(), table.names.end(), name);
    EXPECT_NE(found, table.names.end()) << name;
    return static_cast<size_t>(found - table.names.begin());
}

std::string text(const Value& value) {
    const auto* s = std::get_if<std::string>(&value);
    return s != nullptr ? *s : "<not text>";
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MdbReader, UserTablesInCatalogueOrder) {
    REQUIRE_SHARED_FILE(kPupils);
    std::vector<std::string> tables{"stale"};
    std::string error;
    ASSERT_TRUE(db::listMdbTables(sharedFile(kPupils), "", tables, error)) << error;
    EXPECT_EQ(tables, (std::vector<std::string>{k学生名单, k进度测试, "apw", "cpw", k教师}));

    ASSERT_TRUE(db::listMdbTables(sharedFile("fixtures/mdb/apw_cpw_only.mdb"), "", tables, error));
    EXPECT_EQ(tables, (std::vector<std::string>{"apw", "cpw"}));
    ASSERT_TRUE(db::listMdbTables(sharedFile("fixtures/mdb/no_tables.mdb"), "", tables, error));
    EXPECT_TRUE(tables.empty());
}

TEST(MdbReader, PupilsColumnsRowsAndNulls) {
    REQUIRE_SHARED_FILE(kPupils);
    const LoadedTable pupils = read(kPupils, k学生名单);
    ASSERT_EQ(pupils.names.size(), 9u);
    EXPECT_EQ(pupils.types, (std::vector<ColumnType>{ColumnType::Text, ColumnType::Text, ColumnType::Text,
                                                     ColumnType::Text, ColumnType::DateTime, ColumnType::Float,
                                                     ColumnType::Integer, ColumnType::Boolean, ColumnType::Text}));
    ASSERT_EQ(pupils.rows.size(), 200u);
    EXPECT_EQ(read(kPupils, k进度测试).rows.size(), 620u);

    const size_t 序号 = column(pupils, "\xD0\xF2\xBA\xC5"), 成绩 = column(pupils, "\xB3\xC9\xBC\xA8"),
                 学号 = column(pupils, "\xD1\xA7\xBA\xC5"), 备注 = column(pupils, "\xB1\xB8\xD7\xA2");
    for (size_t r = 0; r < pupils.rows.size(); ++r) {
        const auto& row = pupils.rows[r];
        const size_t n = r + 1;
        char number[24];
        std::snprintf(number, sizeof number, "%04zu", n);
        EXPECT_EQ(text(row[序号]), number);
        EXPECT_EQ(std::holds_alternative<Null>(row[成绩]), n % 17 == 0) << n;
        EXPECT_EQ(std::holds_alternative<Null>(row[学号]), n % 23 == 0) << n;
        // A memo is NULL, never "", where nothing was stored.
        if (n % 5 == 0) {
            EXPECT_EQ(text(row[备注]), "\xB1\xB8\xD7\xA2" + std::to_string(n)) << n;
        } else {
            EXPECT_TRUE(std::holds_alternative<Null>(row[备注])) << n;
        }
    }
    const auto& first = pupils.rows[0];
    EXPECT_EQ(first[column(pupils, "\xB3\xF6\xC9\xFA\xC8\xD5\xC6\xDA")], Value(gbk::DateTime{2011, 11, 11}));
    EXPECT_EQ(first[成绩], Value(20.8));
    EXPECT_EQ(first[学号], Value(int64_t{20260001}));
    EXPECT_EQ(first[column(pupils, "\xD4\xDA\xD0\xA3")], Value(true));
}

TEST(MdbReader, PupilsTextAsStored) {
    REQUIRE_SHARED_FILE(kPupils);
    const LoadedTable pupils = read(kPupils, k学生名单);
    const size_t 姓名 = column(pupils, "\xD0\xD5\xC3\xFB");
    const std::vector<std::string> expected{"O'Neil", "'0123", "\xD5\xC5\xC8\xFD", "\xD5\xC5\xC8\xFD", "abc", "ABC"};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(text(pupils.rows[6 + i][姓名]), expected[i]);

    // Characters of GBK that GB2312 lacks: 镕 堃 喆 玥 昇 珺, somewhere in the two lists.
    std::string names;
    for (const auto& table : {pupils, read(kPupils, k进度测试)})
        for (const auto& row : table.rows) names += text(row[姓名]) + "|";
    for (const std::string c : {"\xE9\x46", "\x88\xD2", "\x86\xB4", "\xAB\x68", "\x95\x4E", "\xAC\x42"})
        EXPECT_NE(names.find(c), std::string::npos) << "missing character " << c;

    const LoadedTable teachers = read(kPupils, k教师);
    EXPECT_EQ(teachers.names, (std::vector<std::string>{"\xB9\xA4\xBA\xC5", "\xD0\xD5\xC3\xFB",
                                                        "\xC1\xAA\xCF\xB5\x20\xB5\xE7\xBB\xB0"}));
    ASSERT_EQ(teachers.rows.size(), 2u);
    EXPECT_EQ(teachers.rows[0][2], Value(std::string("010-1234")));
    EXPECT_TRUE(std::holds_alternative<Null>(teachers.rows[1][2]));
}

TEST(MdbReader, TableNamesMatchWithoutRegardToAsciiCase) {
    REQUIRE_SHARED_FILE(kPupils);
    EXPECT_EQ(read(kPupils, "APW").rows.size(), 1u);
    LoadedTable out;
    std::string error;
    EXPECT_FALSE(db::readMdbTable(sharedFile(kPupils), "", "nosuch", out, error));
    EXPECT_NE(error.find("nosuch"), std::string::npos);
}

TEST(MdbReader, DatabasePassword) {
    REQUIRE_SHARED_FILE(kPasswordFile);
    const std::string file = sharedFile(kPasswordFile);
    std::vector<std::string> tables;
    std::string error;
    EXPECT_TRUE(db::listMdbTables(file, "abc123", tables, error)) << error;
    EXPECT_EQ(tables, std::vector<std::string>{k学生名单});
    EXPECT_EQ(read(kPasswordFile, k学生名单, "abc123").rows.size(), 200u);

    for (const std::string wrong : {"", "ABC123", "abc1234", " abc123", "abc12"}) {
        EXPECT_FALSE(db::listMdbTables(file, wrong, tables, error)) << wrong;
        EXPECT_TRUE(tables.empty());
        EXPECT_EQ(error, "\xB2\xBB\xCA\xC7\xD3\xD0\xD0\xA7\xB5\xC4\xC3\xDC\xC2\xEB\xA1\xA3");  // 不是有效的密码。
        LoadedTable out;
        EXPECT_FALSE(db::readMdbTable(file, wrong, k学生名单, out, error));
        EXPECT_TRUE(out.rows.empty());
    }
    // Jet ignores a password given for a database that has none.
    EXPECT_TRUE(db::listMdbTables(sharedFile(kPupils), "abc123", tables, error));
    EXPECT_EQ(tables.size(), 5u);
}

TEST(MdbReader, CorpusPasswordFiles) {
    REQUIRE_SHARED_FILE("corpus/mdb/mdbreader__V2000_with-password.mdb");
    std::vector<std::string> tables;
    std::string error;
    EXPECT_FALSE(db::listMdbTables(sharedFile("corpus/mdb/mdbreader__V2000_with-password.mdb"), "", tables, error));
    const LoadedTable t = read("corpus/mdb/mdbreader__V2000_with-password.mdb", "Table1", "password");
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[2][1], Value(std::string("Three")));

    // Protected and empty: the right password lists nothing, successfully.
    const std::string empty = sharedFile("corpus/mdb/ucanaccess__password.mdb");
    EXPECT_FALSE(db::listMdbTables(empty, "UCANACCESS", tables, error));
    EXPECT_TRUE(db::listMdbTables(empty, "ucanaccess", tables, error));
    EXPECT_TRUE(tables.empty());
}

TEST(MdbReader, Jet3Northwind) {
    REQUIRE_SHARED_FILE(kNwind);
    std::vector<std::string> tables;
    std::string error;
    ASSERT_TRUE(db::listMdbTables(sharedFile(kNwind), "", tables, error)) << error;
    ASSERT_EQ(tables.size(), 9u);
    EXPECT_EQ(tables.front(), "Order Details");
    // Jet 3 text keeps its bytes (the code page of the Windows that wrote it): ä is E4.
    EXPECT_EQ(tables.back(), "Ums\xE4tze");

    const LoadedTable customers = read(kNwind, "Customers");
    ASSERT_EQ(customers.rows.size(), 91u);
    EXPECT_EQ(customers.names[0], "CustomerID");
    EXPECT_EQ(customers.rows[0][0], Value(std::string("ALFKI")));
    EXPECT_EQ(customers.rows[0][column(customers, "City")], Value(std::string("Berlin")));
    EXPECT_EQ(customers.rows[0][column(customers, "ContactName")], Value(std::string("Maria Anders")));
    EXPECT_TRUE(std::holds_alternative<Null>(customers.rows[0][column(customers, "Region")]));

    const LoadedTable employees = read(kNwind, "Employees");
    ASSERT_EQ(employees.rows.size(), 9u);
    const auto& nancy = employees.rows[0];
    EXPECT_EQ(nancy[column(employees, "LastName")], Value(std::string("Davolio")));
    EXPECT_EQ(nancy[column(employees, "BirthDate")], Value(gbk::DateTime{1948, 12, 8}));
    EXPECT_NE(text(nancy[column(employees, "Address")]).find("\r\n"), std::string::npos);
    // The photo spans several long-value pages (about 21.6 KB, more than libmdb's bind
    // size); a bitmap starts at byte 78 of its OLE wrapper.
    const auto* photo = std::get_if<db::Bytes>(&nancy[column(employees, "Photo")]);
    ASSERT_NE(photo, nullptr);
    EXPECT_GT(photo->data.size(), 20000u);
    EXPECT_EQ(photo->data[78], 'B');
    EXPECT_EQ(photo->data[79], 'M');
    EXPECT_EQ(employees.types[column(employees, "Photo")], ColumnType::Bytes);
    EXPECT_EQ(read(kNwind, "Order Details").rows.size(), 2155u);
}

TEST(MdbReader, Jet3TypesEncryptionAndGbkText) {
    REQUIRE_SHARED_FILE("corpus/mdb/jackcess__testV1997.mdb");
    const LoadedTable t = read("corpus/mdb/jackcess__testV1997.mdb", "Table1");
    ASSERT_EQ(t.rows.size(), 2u);
    const std::vector<Value> expected{std::string("abcdefg"), std::string("hijklmnop"), int64_t{2}, int64_t{222},
                                      int64_t{333333333}, 444.555, gbk::DateTime{1974, 9, 21}, 3.5, true};
    EXPECT_EQ(t.rows[1], expected);
    EXPECT_EQ(t.rows[0][8], Value(false));
    EXPECT_EQ(read("corpus/mdb/jackcess__testV1997.mdb", "Table2").names.size(), 89u);

    // Every page RC4-encrypted (Access's "encrypt database"), no password.
    const LoadedTable enc = read("corpus/mdb/jackcessencrypt__db97-enc.mdb", "Table1");
    ASSERT_EQ(enc.rows.size(), 2u);
    EXPECT_EQ(enc.rows[1], (std::vector<Value>{int64_t{2}, std::string("world"), int64_t{42}}));

    // A Chinese Access 97 file: its header claims code page 1252, its text is GBK.
    const LoadedTable gbkFile = read("corpus/mdb/ucanaccess__charsetGBK.mdb", "table1");
    ASSERT_EQ(gbkFile.rows.size(), 1u);
    EXPECT_EQ(gbkFile.rows[0][1], Value(std::string("GBK\xB1\xE0\xC2\xEB")));
}

TEST(MdbReader, Jet4DatesAndUnicode) {
    REQUIRE_SHARED_FILE("corpus/mdb/mdbtestdata__DateTestDatabase.mdb");
    const LoadedTable dates = read("corpus/mdb/mdbtestdata__DateTestDatabase.mdb", "DateTest");
    ASSERT_EQ(dates.rows.size(), 6u);
    // Outside 1900-4637, where libmdb's own conversion goes wrong.
    EXPECT_EQ(dates.rows[1][1], Value(gbk::DateTime{9999, 1, 1}));
    EXPECT_EQ(dates.rows[2][1], Value(gbk::DateTime{1898, 1, 1}));
    EXPECT_EQ(dates.rows[2][2], Value(gbk::DateTime{1899, 1, 1}));
    EXPECT_EQ(dates.rows[2][3], Value(gbk::DateTime{1900, 1, 1}));
    EXPECT_EQ(dates.rows[3][1], Value(gbk::DateTime{632, 1, 1}));
    EXPECT_EQ(dates.rows[5][4], Value(std::string("New line\r\nin field")));

    const LoadedTable unicode = read("corpus/mdb/jackcess__testUnicodeCompV2003.mdb", "Table");
    ASSERT_EQ(unicode.rows.size(), 8u);
    EXPECT_EQ(unicode.rows[2][1], Value(std::string("\xA7\xAE\xA7\xDA\xA7\xE2")));  // Мир
    EXPECT_EQ(unicode.rows[4][1], Value(std::string("\x9D\x68\xD7\xD6\x81\xA2\xC3\xFB\xBD\xBB\xA4\xB8\xA4\xEA\xCE\xC4")));
    EXPECT_EQ(unicode.rows[1][1], Value(std::string("??kk?si?")));  // ä and ö are not in GBK

    const LoadedTable weird = read("corpus/mdb/ucanaccess__weirdObjectNames.mdb", "19 MB 01 BEZAHLT ???");
    ASSERT_EQ(weird.rows.size(), 1u);
    EXPECT_EQ(weird.rows[0][1], Value(std::string("foo")));
}

TEST(MdbReader, WrongKindAndMissingFilesFail) {
    TempFolder folder;
    std::string header(0x98, '\0');
    header.replace(4, 15, "Standard ACE DB");
    const std::vector<std::string> files{
        folder.write("empty.mdb", ""),
        folder.write("text.mdb", "序号,姓名\r\n0001,张三\r\n"),
        folder.write("ace.mdb", header + std::string(3 * 4096 - header.size(), '\0')),
        folder.file("missing.mdb"),
        folder.dir(),
    };
    for (const auto& file : files) {
        std::vector<std::string> tables{"stale"};
        std::string error;
        EXPECT_FALSE(db::listMdbTables(file, "", tables, error)) << file;
        EXPECT_TRUE(tables.empty());
        EXPECT_FALSE(error.empty());
    }
}

TEST(MdbReader, TruncatedCopiesFailOrGiveEveryRow) {
    REQUIRE_SHARED_FILE(kPupils);
    const std::string original = fileBytes(sharedFile(kPupils));
    TempFolder folder;
    std::vector<std::string> tables;
    std::string error;
    // Not whole pages: refused before libmdb sees it.
    EXPECT_FALSE(db::listMdbTables(folder.write("odd.mdb", original.substr(0, original.size() - 100)), "", tables, error));

    // Cut at every page boundary: a table either reads whole or fails, never short.
    const size_t pages = original.size() / 4096;
    int failed = 0;
    for (size_t keep = 1; keep < pages; ++keep) {
        const std::string file = folder.write("cut.mdb", original.substr(0, keep * 4096));
        for (const auto& [table, rows] : {std::pair{k学生名单, 200u}, std::pair{k进度测试, 620u}, std::pair{k教师, 2u}}) {
            LoadedTable out;
            if (db::readMdbTable(file, "", table, out, error)) {
                EXPECT_EQ(out.rows.size(), rows) << keep;
            } else {
                ++failed;
                EXPECT_TRUE(out.rows.empty());
            }
        }
    }
    EXPECT_GT(failed, 0);
}

TEST(MdbReader, GarbageInsideFailsWithoutCrashing) {
    REQUIRE_SHARED_FILE(kNwind);
    const std::string original = fileBytes(sharedFile(kNwind));
    TempFolder folder;
    std::mt19937 random(20240601);
    const size_t pages = original.size() / 2048;
    for (int round = 0; round < 60; ++round) {
        std::string copy = original;
        if (round % 2 == 0) {
            // One page of noise anywhere after the header.
            const size_t page = 1 + random() % (pages - 1);
            for (size_t i = 0; i < 2048; ++i) copy[page * 2048 + i] = static_cast<char>(random());
        } else {
            // Scattered bytes in the catalogue and table definitions.
            for (int i = 0; i < 30; ++i) copy[2048 + random() % (40 * 2048)] = static_cast<char>(random());
        }
        const std::string file = folder.write("noise.mdb", copy);
        std::vector<std::string> tables;
        std::string error;
        if (!db::listMdbTables(file, "", tables, error)) continue;
        for (const auto& table : tables) {
            LoadedTable out;
            if (!db::readMdbTable(file, "", table, out, error)) {
                EXPECT_TRUE(out.rows.empty());
            }
        }
    }
}

}  // namespace
