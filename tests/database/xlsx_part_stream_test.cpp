// Archive members unpacked by PartStream: deflated ones through ISA-L, stored ones
// through libzip, in pieces of any size, with the directory's CRC-32 held to.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>
#include <string>

#include "platform/database/readers/xlsx_part_stream.h"
#include "reader_test_support.h"

namespace {

using namespace readers_test;

// An archive of the given members; `stored` ones are written without compression.
std::string makeArchive(const Scratch& scratch, const std::vector<std::pair<std::string, std::string>>& members,
                        const std::string& stored = "") {
    const std::string path = scratch.write("a.zip", "");
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(archive, nullptr);
    for (const auto& [name, bytes] : members) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
        if (name == stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

// The member unpacked in pieces of `piece` bytes; "<damaged>" when a read fails.
std::string unpack(const std::string& path, const std::string& name, size_t piece) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) return "<no archive>";
    std::string out;
    {
        db::xlsx::PartStream stream;
        const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
        const bool opened = index >= 0 && stream.open(archive, static_cast<zip_uint64_t>(index));
        std::string buffer(piece, '\0');
        for (int64_t got = opened ? 1 : 0; got > 0;) {
            got = stream.read(buffer.data(), buffer.size());
            if (got > 0) out.append(buffer.data(), static_cast<size_t>(got));
            if (got < 0) out = "<damaged>";
        }
        if (!opened) out = "<no member>";
    }
    zip_discard(archive);
    return out;
}

// A worksheet-like text of about `rows` x 60 bytes that compresses well but not trivially.
std::string sheetText(int rows) {
    std::string text = "<sheetData>";
    for (int r = 1; r <= rows; ++r)
        text += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r * 7919 % 100003) + "</v></c></row>";
    return text + "</sheetData>";
}

TEST(XlsxPartStream, DeflatedAndStoredMembersReadWholeInAnyPieces) {
    Scratch scratch;
    const std::string big = sheetText(20000), small = "<a/>";
    const std::string path = makeArchive(scratch, {{"big.xml", big}, {"small.xml", small}, {"empty.xml", ""},
                                                   {"stored.xml", big}}, "stored.xml");
    for (size_t piece : {size_t{1} << 16, size_t{1000}, size_t{7}}) {
        EXPECT_TRUE(unpack(path, "big.xml", piece) == big) << piece;
        EXPECT_TRUE(unpack(path, "stored.xml", piece) == big) << piece;
        EXPECT_EQ(unpack(path, "small.xml", piece), small) << piece;
        EXPECT_EQ(unpack(path, "empty.xml", piece), "") << piece;
    }
}

// A member of several megabytes is unpacked ahead on a thread: the same bytes, its damage
// still reported, and a reader that leaves early is not kept waiting.
TEST(XlsxPartStream, ALargeMemberReadAheadGivesTheSameBytes) {
    Scratch scratch;
    const std::string big = sheetText(150000);
    ASSERT_GT(big.size(), size_t{5} << 20);
    const std::string path = makeArchive(scratch, {{"big.xml", big}});
    for (size_t piece : {size_t{1} << 16, size_t{100000}, size_t{1} << 20})
        EXPECT_TRUE(unpack(path, "big.xml", piece) == big) << piece;

    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(archive, nullptr);
    {
        db::xlsx::PartStream stream;
        ASSERT_TRUE(stream.open(archive, 0));
        char first[16];
        EXPECT_EQ(stream.read(first, sizeof first), 16);
        EXPECT_EQ(std::string(first, 16), big.substr(0, 16));
    }  // left after 16 bytes
    zip_discard(archive);
}

// Inflating the raw deflate data skips libzip's own check: the directory's CRC-32 and
// size must still be compared, or a changed member would read as good data.
TEST(XlsxPartStream, AWrongCrcOrSizeIsDamage) {
    Scratch scratch;
    for (int rows : {5000, 150000}) {  // read as it comes, and read ahead
        const std::string big = sheetText(rows);
        const std::string path = makeArchive(scratch, {{"big.xml", big}});
        std::string bytes = readAll(path);
        int code = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
        ASSERT_NE(archive, nullptr);
        zip_stat_t stat;
        ASSERT_EQ(zip_stat(archive, "big.xml", 0, &stat), 0);
        zip_discard(archive);
        auto patched = [&](uint32_t from, uint32_t to) {
            std::string copy = bytes;
            char old[4], now[4];
            for (int i = 0; i < 4; ++i) old[i] = static_cast<char>(from >> (8 * i)), now[i] = static_cast<char>(to >> (8 * i));
            int replaced = 0;
            for (size_t at = copy.find(std::string(old, 4)); at != std::string::npos; at = copy.find(std::string(old, 4), at + 4))
                copy.replace(at, 4, now, 4), ++replaced;
            EXPECT_GE(replaced, 2);  // the local header and the central directory
            return scratch.write("p.zip", copy);
        };
        EXPECT_EQ(unpack(patched(stat.crc, stat.crc ^ 1), "big.xml", 1 << 16), "<damaged>");
        const uint32_t size = static_cast<uint32_t>(stat.size);
        EXPECT_EQ(unpack(patched(size, size + 1), "big.xml", 1 << 16), "<damaged>");
    }
}

}  // namespace
