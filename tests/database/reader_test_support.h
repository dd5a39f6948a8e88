// Shared pieces of the dBASE and workbook reader tests: fixture and corpus paths, a
// scratch folder, GBK literals, cell access by field name, and the damaged copies
// (truncated, random, mutated) that every reader must refuse without crashing.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "platform/database/readers/readers.h"

namespace readers_test {

// GBK bytes of a UTF-8 literal (for names and texts that need no byte-exact check).
inline std::string gbkOf(const char* utf8) { return codepage::utf8ToGbk(utf8); }

// GBK with characters outside GB2312: 镕 E9 46, 堃 88 D2, 喆 86 B4.
inline const std::string kZhuRongji = "\xD6\xEC\xE9\x46\xBB\xF9";  // 朱镕基
inline const std::string kWangKun = "\xCD\xF5\x88\xD2";            // 王堃
inline const std::string kZhangZhe = "\xD5\xC5\x86\xB4";           // 张喆

inline std::string fixture(const std::string& kind, const std::string& utf8Name) {
    return gbkOf((std::string(LOOKUP_TEST_DATA_DIR) + "/" + kind + "/" + utf8Name).c_str());
}

// A corpus file as a GBK path; empty when ../shared/corpus is not there.
inline std::string corpus(const std::string& kind, const std::string& name) {
    const std::string path = std::string(LOOKUP_SHARED_DIR) + "/corpus/" + kind + "/" + name;
    return std::filesystem::exists(path) ? gbkOf(path.c_str()) : std::string();
}

#define REQUIRE_CORPUS(var, kind, name)                         \
    const std::string var = ::readers_test::corpus(kind, name); \
    if (var.empty())                                            \
    GTEST_SKIP() << "corpus file " << kind << "/" << name       \
                 << " absent (../shared/corpus is not beside the checkout)"

inline std::string readAll(const std::string& gbkPath) {
    std::ifstream in(codepage::toLocalPath(gbkPath), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A fresh folder under /tmp, removed with everything in it.
class Scratch {
  public:
    Scratch() {
        char pattern[] = "/tmp/lookup-readers-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path_ = made != nullptr ? made : "/tmp";
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    // Writes `bytes` to `utf8Name` in the folder; returns the GBK path.
    std::string write(const std::string& utf8Name, const std::string& bytes) const {
        const std::string local = path_ + "/" + utf8Name;
        std::ofstream(local, std::ios::binary) << bytes;
        return gbkOf(local.c_str());
    }

  private:
    std::string path_;
};

inline int column(const db::LoadedTable& table, const std::string& gbkName) {
    for (size_t i = 0; i < table.names.size(); ++i)
        if (table.names[i] == gbkName) return static_cast<int>(i);
    ADD_FAILURE() << "no field " << codepage::gbkToUtf8(gbkName);
    return 0;
}

// The value of `field` (GBK) in data row `row`.
inline const db::Value& cell(const db::LoadedTable& table, size_t row, const std::string& field) {
    static const db::Value missing;
    if (row >= table.rows.size()) {
        ADD_FAILURE() << "no row " << row;
        return missing;
    }
    return table.rows[row][column(table, field)];
}

inline bool isNull(const db::Value& v) { return std::holds_alternative<db::Null>(v); }
inline std::string text(const db::Value& v) {
    const auto* s = std::get_if<std::string>(&v);
    return s != nullptr ? *s : "<not text>";
}
inline double number(const db::Value& v) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    return -999999;
}
inline gbk::DateTime date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return gbk::DateTime{y, m, d, hh, mm, ss};
}
inline bool isDate(const db::Value& v, const gbk::DateTime& expected) {
    const auto* d = std::get_if<gbk::DateTime>(&v);
    return d != nullptr && *d == expected;
}

// Every row has one value per field.
inline void expectRectangular(const db::LoadedTable& table) {
    ASSERT_EQ(table.names.size(), table.types.size());
    for (const auto& row : table.rows) ASSERT_EQ(row.size(), table.names.size());
}

// One sheet through a workbook reader (readXlsSheet, readXlsxSheet), expected to load whole.
template <typename ReadSheet>
db::LoadedTable readSheetWith(ReadSheet read, const std::string& path, const std::string& sheet) {
    db::LoadedTable table;
    std::string error;
    EXPECT_TRUE(read(path, sheet, table, error)) << codepage::gbkToUtf8(error);
    expectRectangular(table);
    return table;
}

// The sheet names through a workbook listing (listXlsSheets, listXlsxSheets), expected to succeed.
template <typename ListSheets>
std::vector<std::string> sheetsWith(ListSheets list, const std::string& path) {
    std::vector<std::string> names;
    std::string error;
    EXPECT_TRUE(list(path, names, error)) << codepage::gbkToUtf8(error);
    return names;
}

// Reads one file the way a reader is used: (path, out table, error) -> ok.
using ReadFunction = std::function<bool(const std::string&, db::LoadedTable&, std::string&)>;

// Damaged copies of `good`: cut at several lengths, random bytes, and byte mutations.
// Each is read; a failure must come with a message, a success with a sane table.
inline void readDamagedCopies(const std::string& good, const std::string& utf8Name,
                              const ReadFunction& read, int mutations = 200) {
    Scratch scratch;
    std::vector<std::string> copies;
    for (size_t cut :
         {size_t{0}, size_t{1}, size_t{8}, size_t{31}, size_t{32}, size_t{64}, good.size() / 4,
          good.size() / 2, good.size() - good.size() / 8, good.size() - 2})
        if (cut < good.size()) copies.push_back(good.substr(0, cut));
    std::mt19937 random(20240229);
    std::string noise(good.size(), '\0');
    for (char& c : noise) c = static_cast<char>(random());
    copies.push_back(noise);
    for (int i = 0; i < mutations; ++i) {
        std::string copy = good;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < changes; ++k)
            copy[random() % copy.size()] = static_cast<char>(random());
        copies.push_back(std::move(copy));
    }
    for (size_t i = 0; i < copies.size(); ++i) {
        const std::string path = scratch.write(utf8Name, copies[i]);
        db::LoadedTable table;
        std::string error;
        if (read(path, table, error)) {
            expectRectangular(table);
        } else {
            EXPECT_FALSE(error.empty()) << "copy " << i << " failed without a message";
        }
    }
}

}  // namespace readers_test
