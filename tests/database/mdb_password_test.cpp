// The database password in an Access header: RC4, the Jet 4 date mask, the Jet 3 bytes,
// and which passwords open a file. Headers are built here byte by byte and also read from
// the shared files whose passwords are known.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/database/readers/mdb_password.h"
#include "platform/database/readers/readers.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

std::string rc4Of(const std::string& key, std::string data) {
    db::rc4(key, reinterpret_cast<unsigned char*>(data.data()), data.size());
    return data;
}

const std::string kHeaderKey = "\xC7\xDA\x39\x6B";

// Writes a password into page 0 as Access does: decrypt from 0x18, put the bytes at 0x42
// (Jet 4: masked with the creation date's day number), encrypt again.
void setPassword(std::string& page, bool jet4, const std::string& passwordBytes) {
    const size_t encrypted = jet4 ? 128 : 126;
    std::string plain = rc4Of(kHeaderKey, page.substr(0x18, encrypted));
    double created = 0;
    std::memcpy(&created, plain.data() + 0x72 - 0x18, sizeof created);
    const auto day = static_cast<uint32_t>(static_cast<int32_t>(created));
    for (size_t i = 0; i < (jet4 ? 40u : 20u); ++i) {
        const unsigned char byte = i < passwordBytes.size() ? static_cast<unsigned char>(passwordBytes[i]) : 0;
        const unsigned char mask = jet4 ? static_cast<unsigned char>(day >> (8 * (i % 4))) : 0;
        plain[0x42 - 0x18 + i] = static_cast<char>(byte ^ mask);
    }
    page.replace(0x18, encrypted, rc4Of(kHeaderKey, plain));
}

// A page-0 header: magic, version, creation date, password.
std::string makeHeader(bool jet4, const std::string& passwordBytes, double created = 38143.5465) {
    std::string h(db::kJetHeaderSize, '\0');
    h.replace(4, 15, "Standard Jet DB");
    h[0x14] = jet4 ? 1 : 0;
    std::memcpy(h.data() + 0x72, &created, sizeof created);
    const size_t encrypted = jet4 ? 128 : 126;
    h.replace(0x18, encrypted, rc4Of(kHeaderKey, h.substr(0x18, encrypted)));
    setPassword(h, jet4, passwordBytes);
    return h;
}

db::JetHeader decode(const std::string& header) {
    db::JetHeader out;
    EXPECT_TRUE(db::decodeJetHeader(reinterpret_cast<const unsigned char*>(header.data()), header.size(), out));
    return out;
}

TEST(MdbPassword, Rc4KnownVectors) {
    EXPECT_EQ(rc4Of("Key", "Plaintext"), "\xBB\xF3\x16\xE8\xD9\x40\xAF\x0A\xD3");
    EXPECT_EQ(rc4Of("Wiki", "pedia"), "\x10\x21\xBF\x04\x20");
    EXPECT_EQ(rc4Of("Key", rc4Of("Key", "round trip")), "round trip");
}

TEST(MdbPassword, Jet4PasswordUnderTheDateMask) {
    // "abc123" as UTF-16LE; the creation date's day number masks every byte.
    const db::JetHeader h = decode(makeHeader(true, std::string("a\0b\0c\0" "1\0" "2\0" "3\0", 12)));
    EXPECT_TRUE(h.jet4);
    EXPECT_TRUE(h.hasPassword);
    EXPECT_EQ(h.jet4Password, u"abc123");
    EXPECT_TRUE(db::passwordOpens(h, "abc123"));
    for (const std::string wrong : {"", "ABC123", "abc1234", "abc12", "abc123 "})
        EXPECT_FALSE(db::passwordOpens(h, wrong)) << wrong;

    // A Chinese password (密码, U+5BC6 U+7801) is typed in GBK and compared as Unicode.
    const db::JetHeader chinese = decode(makeHeader(true, std::string("\xC6\x5B\x01\x78", 4)));
    EXPECT_TRUE(db::passwordOpens(chinese, "\xC3\xDC\xC2\xEB"));
    EXPECT_FALSE(db::passwordOpens(chinese, "\xC3\xDC"));

    // No password: anything opens, as Jet ignores a password the database does not have.
    const db::JetHeader none = decode(makeHeader(true, ""));
    EXPECT_FALSE(none.hasPassword);
    EXPECT_TRUE(db::passwordOpens(none, ""));
    EXPECT_TRUE(db::passwordOpens(none, "whatever"));
}

TEST(MdbPassword, Jet3PasswordBytes) {
    const db::JetHeader h = decode(makeHeader(false, "\xC3\xDC\xC2\xEB" "97"));
    EXPECT_FALSE(h.jet4);
    EXPECT_EQ(h.jet3Password, "\xC3\xDC\xC2\xEB" "97");
    EXPECT_TRUE(db::passwordOpens(h, "\xC3\xDC\xC2\xEB" "97"));
    EXPECT_FALSE(db::passwordOpens(h, "\xC3\xDC\xC2\xEB"));
    EXPECT_FALSE(decode(makeHeader(false, "")).hasPassword);
}

TEST(MdbPassword, RefusesWhatIsNoJetHeader) {
    db::JetHeader out;
    const std::string good = makeHeader(true, "");
    EXPECT_FALSE(db::decodeJetHeader(reinterpret_cast<const unsigned char*>(good.data()), good.size() - 1, out));
    EXPECT_FALSE(db::decodeJetHeader(nullptr, 0, out));
    std::string ace = good;
    ace.replace(4, 15, "Standard ACE DB");
    EXPECT_FALSE(db::decodeJetHeader(reinterpret_cast<const unsigned char*>(ace.data()), ace.size(), out));
    std::string version2 = good;
    version2[0x14] = 2;
    EXPECT_FALSE(db::decodeJetHeader(reinterpret_cast<const unsigned char*>(version2.data()), version2.size(), out));
}

TEST(MdbPassword, SharedFilesWithKnownPasswords) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils_password.mdb");
    const std::pair<const char*, std::u16string> files[] = {
        {"fixtures/mdb/pupils_password.mdb", u"abc123"},
        {"fixtures/mdb/pupils.mdb", u""},
        {"corpus/mdb/mdbreader__V2000_with-password.mdb", u"password"},
        {"corpus/mdb/ucanaccess__password.mdb", u"ucanaccess"},
    };
    for (const auto& [file, password] : files) {
        std::ifstream in(sharedFile(file), std::ios::binary);
        std::string page(db::kJetHeaderSize, '\0');
        in.read(page.data(), static_cast<std::streamsize>(page.size()));
        const db::JetHeader h = decode(page);
        EXPECT_EQ(h.jet4Password, password) << file;
        EXPECT_EQ(h.hasPassword, !password.empty()) << file;
    }
}

// Real files of both versions given a password here: the reader refuses them without it.
TEST(MdbPassword, PasswordWrittenIntoRealFiles) {
    REQUIRE_SHARED_FILE("corpus/mdb/jackcess__testV1997.mdb");
    TempFolder folder;
    const std::string gbkPassword = "\xC3\xDC\xC2\xEB";  // 密码
    const struct {
        const char* file;
        bool jet4;
        std::string stored;
        const char* table;
    } cases[] = {
        {"corpus/mdb/jackcess__testV1997.mdb", false, gbkPassword, "Table1"},
        {"fixtures/mdb/pupils.mdb", true, std::string("\xC6\x5B\x01\x78", 4), "apw"},  // UTF-16LE
    };
    for (const auto& c : cases) {
        std::ifstream in(sharedFile(c.file), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        setPassword(bytes, c.jet4, c.stored);
        const std::string copy = folder.write("protected.mdb", bytes);
        db::LoadedTable out;
        std::string error;
        EXPECT_TRUE(db::readMdbTable(copy, gbkPassword, c.table, out, error)) << c.file << error;
        EXPECT_FALSE(out.rows.empty());
        for (const std::string wrong : {"", "\xC3\xDC", "x"})
            EXPECT_FALSE(db::readMdbTable(copy, wrong, c.table, out, error)) << c.file;
    }
}

}  // namespace
