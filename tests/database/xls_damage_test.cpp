// Damaged .xls workbooks that once read as success with cells lost or changed: cell
// records of a wrong length, over-long records, a shared-string table that disagrees
// with its count, and a sheet whose records run on into the next sheet. Each must fail
// its load with a message naming the file and the damage.
#include <gtest/gtest.h>

#include "reader_test_support.h"
#include "xls_builder.h"

namespace {

using namespace readers_test;
using namespace xls_builder;

const std::string kHeader = label(0, 0, "name") + label(0, 1, "score");

// A record whose stated length takes in `next`, which the reader then never sees.
std::string swallowing(uint16_t type, const std::string& data, const std::string& next) {
    return recordWithLength(type, static_cast<uint16_t>(data.size() + next.size()), data) + next;
}

// Reads sheet S1 of `file`, which must fail naming the file and saying `says`.
void expectDamage(const std::string& what, const std::string& file, const char* says) {
    Scratch scratch;
    const std::string path = scratch.write("damaged.xls", file);
    db::LoadedTable table;
    std::string error;
    EXPECT_FALSE(db::readXlsSheet(path, "S1", table, error)) << what << ": read " << table.rows.size() << " rows";
    for (const std::string& part : {path, gbkOf("无法读取"), gbkOf(says)})
        EXPECT_NE(error.find(part), std::string::npos) << what << ": " << codepage::gbkToUtf8(error);
}

// The made workbooks read whole when undamaged, so that each damage below is all that fails.
TEST(XlsDamage, TheUndamagedWorkbooksRead) {
    Scratch scratch;
    const std::string plain = scratch.write(
        "plain.xls", compoundFile(workbookStream({kHeader + label(1, 0, "a") + number(1, 1, 1), kHeader},
                                                 sst(1, unicode("x")))));
    db::LoadedTable table;
    std::string error;
    ASSERT_TRUE(db::readXlsSheet(plain, "S1", table, error)) << codepage::gbkToUtf8(error);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(text(table.rows[0][0]), "a");
    EXPECT_DOUBLE_EQ(number(table.rows[0][1]), 1);
}

// A cell record's length is fixed by its type (or by its text, or its column count);
// a longer one took in the next cell, which was lost without a word.
TEST(XlsDamage, CellRecordsOfAWrongLengthFailTheSheet) {
    const std::string next = number(2, 1, 2);
    const std::string head = cellHead(1, 1);
    const std::string strings = sst(1, unicode("x"));
    const std::vector<std::pair<std::string, std::string>> sheets = {
        {"RK", swallowing(0x027E, head + le32(0x00000006), next)},
        {"NUMBER", swallowing(0x0203, head + std::string(8, '\0'), next)},
        {"LABELSST", swallowing(0x00FD, head + le32(0), next)},
        {"BOOLERR", swallowing(0x0205, head + std::string("\x01\x00", 2), next)},
        {"BLANK", swallowing(0x0201, head, next)},
        {"LABEL", swallowing(0x0204, head + unicode("a"), next)},
        {"MULBLANK", swallowing(0x00BE, head + le16(0) + le16(2), next)},
        // A formula of 5 token bytes of which 2 are there.
        {"FORMULA", record(0x0006, head + std::string(8, '\0') + le16(0) + le32(0) + le16(5) + "\x1E\x01")},
        // A text result, then its STRING record with 4 bytes more than its text.
        {"STRING", record(0x0006, head + std::string("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) + le16(0) + le32(0) +
                                      le16(3) + std::string("\x1E\x01\x00", 3)) +
                       swallowing(0x0207, unicode("t"), record(0x00E2, ""))},
    };
    for (const auto& [what, cells] : sheets)
        expectDamage(what, compoundFile(workbookStream({kHeader + cells, kHeader}, strings)), "长度");
}

// BIFF8 records hold at most 8,224 bytes; a longer length is damage, not a record to skip.
TEST(XlsDamage, ARecordLongerThanBiff8AllowsFailsTheSheet) {
    const std::string drawing = record(0x00EC, std::string(9000, 'd'));
    expectDamage("sheet", compoundFile(workbookStream({kHeader + drawing + number(1, 1, 2), kHeader})), "8224");
    // In the globals too, where it would hide records of the workbook.
    expectDamage("globals", compoundFile(workbookStream({kHeader + number(1, 1, 2)}, drawing)), "8224");
}

// The table holds exactly the strings it counts: fewer or more, and the cells' texts
// could be any of them.
TEST(XlsDamage, SharedStringsThatDisagreeWithTheirCountFail) {
    const std::string cells = kHeader + shared(1, 0, 0) + shared(2, 0, 1);
    const std::string two = unicode("first") + unicode("second");
    expectDamage("more counted than held", compoundFile(workbookStream({cells}, sst(3, two))), "SST");
    expectDamage("more held than counted", compoundFile(workbookStream({kHeader + shared(1, 0, 0)}, sst(1, two))),
                 "SST");
    // A string whose stated length is one short: the last character is left over.
    expectDamage("string one short", compoundFile(workbookStream({cells}, sst(2, unicode("first") + le16(5) + '\0' +
                                                                                    "second"))),
                 "SST");
}

// A sheet's cells lie between its own BOF and EOF. With its EOF and the next sheet's
// BOF zeroed, or changed into other records, the next sheet's cells were read as its own.
TEST(XlsDamage, ASheetThatRunsIntoTheNextSheetFails) {
    const std::string first = kHeader + number(1, 1, 1), second = kHeader + number(5, 1, 5);
    const std::string stream = workbookStream({first, second});
    const size_t eof = stream.size() - second.size() - 20 - 4 - 4;  // S1's EOF, then S2's BOF
    std::string zeroed = stream;
    zeroed.replace(eof, 24, std::string(24, '\0'));
    expectDamage("zeroed", compoundFile(zeroed), "不是记录");
    std::string overwritten = stream;
    overwritten.replace(eof, 24, record(0x00E2, "") + record(0x00E2, std::string(16, '\0')));
    expectDamage("overwritten", compoundFile(overwritten), "结束记录");
}

// The same on a workbook Excel's own kind of writer made: the first sheet's EOF and the
// second sheet's BOF zeroed.
TEST(XlsDamage, AZeroedBlockBetweenRealSheetsFails) {
    std::string file = readAll(fixture("xls", "students.xls"));
    // The workbook stream starts at sector 0 (offset 512) in xlwt's files; the second
    // BOUNDSHEET record gives the second sheet's place.
    const size_t first = file.find(std::string("\x85\x00", 2), 512);
    const size_t second = file.find(std::string("\x85\x00", 2), first + 4);
    ASSERT_NE(second, std::string::npos);
    const size_t bof = 512 + (static_cast<unsigned char>(file[second + 4]) |
                              static_cast<unsigned char>(file[second + 5]) << 8);
    ASSERT_EQ(file.substr(bof - 4, 6), std::string("\x0A\x00\x00\x00\x09\x08", 6));
    file.replace(bof - 4, 24, std::string(24, '\0'));
    Scratch scratch;
    const std::string path = scratch.write("zeroed.xls", file);
    db::LoadedTable table;
    std::string error;
    EXPECT_FALSE(db::readXlsSheet(path, gbkOf("学生名单"), table, error)) << table.rows.size() << " rows";
    EXPECT_NE(error.find(path), std::string::npos) << codepage::gbkToUtf8(error);
}

}  // namespace
