// The text/CSV reader on explicit bytes, and on the third-party files of the corpus.
#include <gtest/gtest.h>

#include <filesystem>

#include "text/codepage.h"
#include "platform/database/readers/readers.h"
#include "temp_folder.h"

using db::ColumnType;
using db::LoadedTable;
using db::Null;
using db::Value;

namespace {

// GBK bytes of the Chinese texts used below.
const std::string kXingMing = "\xD0\xD5\xC3\xFB";  // 姓名
const std::string kZhangSan = "\xD5\xC5\xC8\xFD";  // 张三
const std::string kNianJi = "\xC4\xEA\xBC\xCD";    // 年纪

LoadedTable read(const std::string& bytes) {
    TempFolder folder;
    LoadedTable table;
    std::string error;
    EXPECT_TRUE(db::readTextTable(folder.write("t.csv", bytes), table, error)) << error;
    return table;
}

Value text(const std::string& s) { return Value(s); }

TEST(TextReader, QuotesDoubledQuotesAndLineBreaksInsideQuotes) {
    auto t = read("a,b,c\r\n\"x,y\",\"say \"\"hi\"\"\",\"one\r\ntwo\"\r\n\"ab\"c,,\"\"\r\n");
    ASSERT_EQ(t.names, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0], (std::vector<Value>{text("x,y"), text("say \"hi\""), text("one\r\ntwo")}));
    // Bytes after a closing quote stay; empty cells of text columns are NULL.
    EXPECT_EQ(t.rows[1], (std::vector<Value>{text("abc"), Null{}, Null{}}));
}

TEST(TextReader, LineEndsLfCrLfAndLoneCrAndBlankLinesAndNoFinalNewline) {
    auto t = read("a,b\n1x,2\r\n\r\n3x,4\r5x,6\n\n7x,8");
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0][0], text("1x"));
    EXPECT_EQ(t.rows[2][0], text("5x"));
    EXPECT_EQ(t.rows[3][1], Value(int64_t{8}));
}

TEST(TextReader, GbkAndUtf8WithAndWithoutBom) {
    const std::string utf8Name = "\xE5\xA7\x93\xE5\x90\x8D";  // 姓名 in UTF-8
    const std::string utf8Zhang = "\xE5\xBC\xA0\xE4\xB8\x89";  // 张三 in UTF-8
    auto gbk = read(kXingMing + ",n\n" + kZhangSan + ",1\n");
    auto noBom = read(utf8Name + ",n\n" + utf8Zhang + ",1\n");
    auto bom = read("\xEF\xBB\xBF" + utf8Name + ",n\n" + utf8Zhang + ",1\n");
    for (const auto* t : {&gbk, &noBom, &bom}) {
        ASSERT_EQ(t->names.size(), 2u);
        EXPECT_EQ(t->names[0], kXingMing);  // never a BOM in front
        EXPECT_EQ(t->rows.at(0)[0], text(kZhangSan));
    }
    // A BOM on an ASCII file is dropped as well.
    EXPECT_EQ(read("\xEF\xBB\xBF" "id\n1\n").names[0], "id");

    // What a Windows editor saves as "Unicode": UTF-16 with its mark, little- or
    // big-endian; a character beyond the BMP (U+20000) is one "?" in GBK.
    const std::u16string units = u"\u59D3\u540D,n\r\n\u5F20\u4E09\U00020000,1\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t u : units) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            bytes += bigEndian ? hi : lo;
            bytes += bigEndian ? lo : hi;
        }
        const auto t = read(bytes);
        ASSERT_EQ(t.names, (std::vector<std::string>{kXingMing, "n"})) << bigEndian;
        ASSERT_EQ(t.rows.size(), 1u);
        EXPECT_EQ(t.rows[0], (std::vector<Value>{text(kZhangSan + "?"), Value(int64_t{1})})) << bigEndian;
    }
}

TEST(TextReader, RaggedRowsAndEmptyHeaderCells) {
    auto t = read("a,,c\n1x\n1x,2x,3x,4x\n");
    EXPECT_EQ(t.names, (std::vector<std::string>{"a", "F2", "c"}));
    EXPECT_EQ(t.rows[0], (std::vector<Value>{text("1x"), Null{}, Null{}}));
    EXPECT_EQ(t.rows[1], (std::vector<Value>{text("1x"), text("2x"), text("3x")}));
}

TEST(TextReader, NumericColumnsGuessedFromTheFirst25Rows) {
    std::string csv = "int,float,text,late,empty\n";
    csv += "0123,1.5,7,1,\n";
    csv += " 5 ,2,'8,2,\n";
    csv += "-3,,9x,3,\n";
    for (int i = 0; i < 22; ++i) csv += "1,1e3,1,4,\n";  // 25 data rows so far
    csv += "x,y,z,not a number,\n";                      // row 26: after the scan
    auto t = read(csv);
    EXPECT_EQ(t.types, (std::vector<ColumnType>{ColumnType::Integer, ColumnType::Float, ColumnType::Text,
                                                ColumnType::Integer, ColumnType::Text}));
    EXPECT_EQ(t.rows[0][0], Value(int64_t{123}));
    EXPECT_EQ(t.rows[1][0], Value(int64_t{5}));
    EXPECT_EQ(t.rows[0][1], Value(1.5));
    EXPECT_EQ(t.rows[2][1], Value(Null{}));
    EXPECT_EQ(t.rows[1][2], text("'8"));
    // Non-numbers in a numeric column read as NULL, as the driver gives them.
    EXPECT_EQ(t.rows[25][0], Value(Null{}));
    EXPECT_EQ(t.rows[25][3], Value(Null{}));
    EXPECT_EQ(t.rows[25][2], text("z"));
}

TEST(TextReader, AFractionInAnIntegerColumnIsKept) {
    std::string csv = "n\n";
    for (int i = 0; i < 25; ++i) csv += "1\n";
    csv += "2.5\n";
    auto t = read(csv);
    EXPECT_EQ(t.types[0], ColumnType::Integer);
    EXPECT_EQ(t.rows.back()[0], Value(2.5));
}

TEST(TextReader, AnUnclosedQuoteIsReadAsAPlainCharacterAndTheRestOfTheFileSurvives) {
    auto t = read("a,b\n\"x,1y\n2x,2y\n3x,3y\n");
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], (std::vector<Value>{text("\"x"), text("1y")}));
    EXPECT_EQ(t.rows[2], (std::vector<Value>{text("3x"), text("3y")}));
}

TEST(TextReader, FailsOnMissingOrEmptyFiles) {
    TempFolder folder;
    LoadedTable table;
    std::string error;
    EXPECT_FALSE(db::readTextTable(folder.file("none.csv"), table, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(db::readTextTable(folder.write("e.csv", ""), table, error));
    EXPECT_FALSE(db::readTextTable(folder.write("b.csv", "\r\n\n"), table, error));
    EXPECT_FALSE(error.empty());
    // A NUL byte in a field name is refused in our own words, naming the file.
    error.clear();
    const std::string nul = folder.write("nul.csv", std::string("id,na\0me\r\n1,2\r\n", 16));
    EXPECT_FALSE(db::readTextTable(nul, table, error));
    EXPECT_NE(error.find(nul), std::string::npos);
    EXPECT_NE(error.find(codepage::utf8ToGbk("空字符")), std::string::npos) << codepage::gbkToUtf8(error);
    // Header only: a table without rows.
    ASSERT_TRUE(db::readTextTable(folder.write("h.csv", "a,b\r\n"), table, error));
    EXPECT_EQ(table.names.size(), 2u);
    EXPECT_TRUE(table.rows.empty());
}

// Reads a corpus file (skips when ../shared is absent).
bool readCorpus(const std::string& name, LoadedTable& table) {
    const std::string path = std::string(LOOKUP_SHARED_DIR) + "/corpus/csv/" + name;
    if (!std::filesystem::exists(path)) return false;
    std::string error;
    EXPECT_TRUE(db::readTextTable(path, table, error)) << error;
    return true;
}

TEST(TextReaderCorpus, RealFilesInGbkAndUtf8) {
    LoadedTable gb2312, bom, noBom, bean, demo, torture;
    if (!readCorpus("genropy__test_Enc_GB2312.csv", gb2312)) GTEST_SKIP() << "corpus absent: " LOOKUP_SHARED_DIR;
    // GB2312 without a final newline.
    ASSERT_EQ(gb2312.rows.size(), 4u);
    EXPECT_EQ(gb2312.names[2], "citt\xA8\xA4");
    EXPECT_EQ(gb2312.rows[0][1], Value(std::string("\xCD\xF5\xCE\xB0")));  // 王伟
    EXPECT_EQ(gb2312.types[0], ColumnType::Integer);

    ASSERT_TRUE(readCorpus("easyexcel__office_bom.csv", bom));
    ASSERT_TRUE(readCorpus("easyexcel__no_bom.csv", noBom));
    for (const auto* t : {&bom, &noBom}) {
        EXPECT_EQ(t->names, (std::vector<std::string>{kXingMing, kNianJi}));
        ASSERT_EQ(t->rows.size(), 10u);
        EXPECT_EQ(t->rows[0][0], Value(kXingMing + "0"));
        EXPECT_EQ(t->rows[9][1], Value(int64_t{20}));
    }

    ASSERT_TRUE(readCorpus("hutool__test_bean.csv", bean));
    EXPECT_EQ(bean.names[0], kXingMing);
    EXPECT_EQ(bean.rows.size(), 3u);
    EXPECT_EQ(bean.types[3], ColumnType::Integer);

    ASSERT_TRUE(readCorpus("easyexcel__demo.csv", demo));
    EXPECT_EQ(demo.rows.size(), 10u);
    EXPECT_EQ(demo.types[1], ColumnType::Text);  // dates stay as written
    EXPECT_EQ(demo.rows[0][1], Value(std::string("2020-01-01 01:01:00")));

    // A comment line as header and a last field whose quote never closes.
    ASSERT_TRUE(readCorpus("hutool__test.csv", torture));
    ASSERT_EQ(torture.rows.size(), 1u);
    EXPECT_EQ(torture.rows[0][0], Value(std::string("sss,sss")));
}

}  // namespace
