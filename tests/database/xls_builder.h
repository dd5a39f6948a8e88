// Small Excel 97-2003 workbooks made byte by byte for the damage tests: BIFF8 records,
// a workbook stream of globals and worksheets, and the compound file around it. Each
// test states exactly the records it needs, damaged ones included.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace xls_builder {

inline std::string le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
inline std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A record: type, length, data (the length given when it must lie).
inline std::string record(uint16_t type, const std::string& data) { return le16(type) + le16(data.size()) + data; }
inline std::string recordWithLength(uint16_t type, uint16_t length, const std::string& data) {
    return le16(type) + le16(length) + data;
}

// A BIFF8 string of Latin-1 characters with a two-byte count.
inline std::string unicode(const std::string& latin1) { return le16(latin1.size()) + '\0' + latin1; }

inline std::string cellHead(uint16_t row, uint16_t column) { return le16(row) + le16(column) + le16(0); }
inline std::string number(uint16_t row, uint16_t column, double value) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8);
    return record(0x0203, cellHead(row, column) + bytes);
}
inline std::string label(uint16_t row, uint16_t column, const std::string& latin1) {
    return record(0x0204, cellHead(row, column) + unicode(latin1));
}
inline std::string shared(uint16_t row, uint16_t column, uint32_t index) {
    return record(0x00FD, cellHead(row, column) + le32(index));
}

// Worksheet substreams (records between their BOF and EOF, which are added) and more
// records of the globals (the shared strings, say) as a workbook stream; sheets are
// named S1, S2...
inline std::string workbookStream(const std::vector<std::string>& sheets, const std::string& globals = "") {
    const std::string globalsBof = record(0x0809, le16(0x0600) + le16(0x0005) + std::string(12, '\0'));
    const std::string sheetBof = record(0x0809, le16(0x0600) + le16(0x0010) + std::string(12, '\0'));
    const std::string eof = record(0x000A, "");
    auto boundSheets = [&](const std::vector<uint32_t>& offsets) {
        std::string out;
        for (size_t i = 0; i < sheets.size(); ++i)
            out += record(0x0085, le32(offsets[i]) + std::string(2, '\0') + '\x02' + '\0' + "S" +
                                      std::to_string(i + 1));
        return out;
    };
    std::vector<uint32_t> offsets(sheets.size(), 0);
    const size_t start = globalsBof.size() + boundSheets(offsets).size() + globals.size() + eof.size();
    std::string body;
    for (size_t i = 0; i < sheets.size(); ++i) {
        offsets[i] = static_cast<uint32_t>(start + body.size());
        body += sheetBof + sheets[i] + eof;
    }
    return globalsBof + boundSheets(offsets) + globals + eof + body;
}

// The shared-string table: `count` as stated, then the strings as given (CONTINUE
// records, when wanted, are the caller's).
inline std::string sst(uint32_t count, const std::string& strings) {
    return record(0x00FC, le32(count) + le32(count) + strings);
}

// The stream as the "Workbook" stream of a compound file (512-byte sectors): the stream
// from sector 0, padded to 4096 bytes so that it lies outside the mini stream, then the
// directory, then the one FAT sector.
inline std::string compoundFile(std::string stream) {
    stream.resize(std::max<size_t>(4096, (stream.size() + 511) / 512 * 512), '\0');
    const auto size = static_cast<uint32_t>(stream.size());
    const uint32_t streamSectors = static_cast<uint32_t>(stream.size() / 512);
    const uint32_t directory = streamSectors, fat = streamSectors + 1;
    std::string header = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(16, '\0') + le16(0x3E) + le16(3) +
                         le16(0xFFFE) + le16(9) + le16(6) + std::string(10, '\0') + le32(1) + le32(directory) +
                         le32(0) + le32(4096) + le32(0xFFFFFFFE) + le32(0) + le32(0xFFFFFFFE) + le32(0) + le32(fat);
    while (header.size() < 512) header += le32(0xFFFFFFFF);
    auto entry = [](const std::u16string& name, char type, uint32_t child, uint32_t start, uint32_t bytes) {
        std::string e;
        for (char16_t c : name) e += le16(c);
        e.resize(64, '\0');
        e += le16((name.size() + 1) * 2) + type + '\x01' + le32(0xFFFFFFFF) + le32(0xFFFFFFFF) + le32(child);
        e.resize(0x74, '\0');
        return e + le32(start) + le32(bytes) + le32(0);
    };
    std::string dir = entry(u"Root Entry", 5, 1, 0xFFFFFFFE, 0) + entry(u"Workbook", 2, 0xFFFFFFFF, 0, size);
    dir.resize(512, '\0');
    std::string table;
    for (uint32_t i = 0; i + 1 < streamSectors; ++i) table += le32(i + 1);
    table += le32(0xFFFFFFFE) + le32(0xFFFFFFFE) + le32(0xFFFFFFFD);
    while (table.size() < 512) table += le32(0xFFFFFFFF);
    return header + stream + dir + table;
}

}  // namespace xls_builder
