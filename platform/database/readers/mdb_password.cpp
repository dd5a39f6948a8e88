// Reading and checking the database password in the header of an Access file.
#include "platform/database/readers/mdb_password.h"

#include <array>
#include <cmath>
#include <cstring>

#include "text/codepage.h"

namespace db {
namespace {

constexpr size_t kEncryptedStart = 0x18;
constexpr size_t kPasswordAt = 0x42;
constexpr size_t kCreationDateAt = 0x72;
constexpr char kHeaderKey[] = {'\xC7', '\xDA', '\x39', '\x6B'};

}  // namespace

void rc4(std::string_view key, unsigned char* data, size_t size) {
    if (key.empty()) return;
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
    unsigned j = 0;
    for (unsigned i = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    unsigned a = 0, b = 0;
    for (size_t n = 0; n < size; ++n) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        std::swap(s[a], s[b]);
        data[n] ^= s[(s[a] + s[b]) & 0xFF];
    }
}

bool decodeJetHeader(const unsigned char* page0, size_t size, JetHeader& out) {
    out = JetHeader{};
    if (page0 == nullptr || size < kJetHeaderSize) return false;
    if (std::memcmp(page0 + 4, "Standard Jet DB", 15) != 0) return false;
    const unsigned char version = page0[0x14];
    if (version > 1) return false;  // 2 and up are Access 2007+ (ACE) files
    out.jet4 = version == 1;

    std::array<unsigned char, kJetHeaderSize> header{};
    std::memcpy(header.data(), page0, kJetHeaderSize);
    // Jet 3 encrypts two bytes fewer; decrypting them too would garble what follows.
    const size_t encrypted = out.jet4 ? 128 : 126;
    rc4(std::string_view(kHeaderKey, sizeof kHeaderKey), header.data() + kEncryptedStart, encrypted);

    if (out.jet4) {
        double created = 0;
        std::memcpy(&created, header.data() + kCreationDateAt, sizeof created);
        // The mask is the creation date's day number; a damaged header gives a mask of 0
        // rather than an undefined conversion.
        int32_t day = 0;
        if (std::isfinite(created) && std::fabs(created) < 2147483647.0)
            day = static_cast<int32_t>(std::trunc(created));
        unsigned char mask[4];
        const auto bits = static_cast<uint32_t>(day);
        for (int i = 0; i < 4; ++i) mask[i] = static_cast<unsigned char>(bits >> (8 * i));
        for (size_t i = 0; i < 40; i += 2) {
            const unsigned lo = header[kPasswordAt + i] ^ mask[i % 4];
            const unsigned hi = header[kPasswordAt + i + 1] ^ mask[(i + 1) % 4];
            const auto unit = static_cast<char16_t>(lo | (hi << 8));
            if (unit == 0) break;
            out.jet4Password += unit;
        }
        out.hasPassword = !out.jet4Password.empty();
    } else {
        for (size_t i = 0; i < 20 && header[kPasswordAt + i] != 0; ++i)
            out.jet3Password += static_cast<char>(header[kPasswordAt + i]);
        out.hasPassword = !out.jet3Password.empty();
    }
    return true;
}

bool passwordOpens(const JetHeader& header, const std::string& password) {
    if (!header.hasPassword) return true;
    if (!header.jet4) return password == header.jet3Password;
    const QString typed = codepage::toQString(password);
    return std::u16string_view(reinterpret_cast<const char16_t*>(typed.utf16()),
                               static_cast<size_t>(typed.size())) == header.jet4Password;
}

}  // namespace db
