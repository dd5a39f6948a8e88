// The database password of an Access (Jet 3 / Jet 4) file, read from its first page.
//
// libmdb opens a protected file without asking for the password, so the reader checks it
// here, the way Jet does before it opens anything: the password lies at 0x42 of page 0,
// whose bytes from 0x18 on are RC4-encrypted with a fixed key. Nothing here reads past
// the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace db {

// Bytes of page 0 that hold the header this file reads (0x18 + 128).
inline constexpr size_t kJetHeaderSize = 0x98;

struct JetHeader {
    bool jet4 = false;              // false: Jet 3 (Access 97 and earlier)
    bool hasPassword = false;       // false: the database has no password
    std::u16string jet4Password;    // Jet 4: up to 20 UTF-16 units
    std::string jet3Password;       // Jet 3: up to 20 bytes in the file's code page (GBK here)
};

// RC4 over `data` in place (also the decryption, RC4 being symmetric).
void rc4(std::string_view key, unsigned char* data, size_t size);

// Decodes the header of a Jet 3 or Jet 4 file from the first `size` bytes of page 0.
// Returns false when there are fewer than kJetHeaderSize bytes, the magic "Standard Jet DB"
// is missing at 0x04 or the version byte at 0x14 is neither 0 (Jet 3) nor 1 (Jet 4).
bool decodeJetHeader(const unsigned char* page0, size_t size, JetHeader& out);

// Whether `password` (GBK, as typed) opens a database with this header. Jet compares the
// password exactly (case and spaces count). A database without a password opens with any
// password, as the Jet OLE DB provider and the Access ODBC driver ignore one given for a
// database that has none; a protected database refuses the empty password.
bool passwordOpens(const JetHeader& header, const std::string& password);

}  // namespace db
