// Telling the encoding of a text file that users may have saved in any editor: GBK (what
// the programs write), UTF-8 (with or without its byte-order mark, as Linux editors save
// it) or UTF-16 (Windows' "Unicode", with its mark). The text reader, the text repair and
// quillmar.ini all decide by these rules, so a file reads and is rewritten as one and the
// same encoding everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textenc {

enum class Encoding { Gbk, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct Detected {
    Encoding encoding = Encoding::Gbk;
    size_t markBytes = 0;  // length of the byte-order mark the file starts with (0, 2 or 3)
};

// The encoding that the byte-order mark at the start of `head` names; markBytes 0 when
// there is none (the encoding is then Gbk, meaning "not told by a mark").
Detected fromMark(std::string_view head);

// Fed a file's bytes in order, tells whether they are well-formed UTF-8 holding at least
// one multi-byte character: such a file is UTF-8, since GBK text with its usual lead
// bytes (0xB0 to 0xF7) is very seldom well-formed UTF-8.
class Utf8Check {
public:
    void feed(unsigned char b);
    void feed(std::string_view bytes) {
        for (char c : bytes) feed(static_cast<unsigned char>(c));
    }
    bool isUtf8() const { return valid_ && need_ == 0 && multiByte_; }
    // A byte seen so far is not well-formed UTF-8: the rest need not be fed.
    bool ruledOut() const { return !valid_; }

private:
    bool valid_ = true, multiByte_ = false;
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
};

// The encoding of a whole file's bytes: a byte-order mark decides; then well-formed UTF-8
// with a multi-byte character is UTF-8; anything else is GBK.
Detected detect(std::string_view bytes);

// As detect(), but also recognises UTF-16 saved without a mark: text in GBK or UTF-8 never
// holds a NUL byte, UTF-16 text holds one in nearly every ASCII character, all on the
// same side of the code unit. For files that are rewritten, where taking UTF-16 for bytes
// would corrupt it.
Detected detectWithUnmarkedUtf16(std::string_view bytes);

// The code unit at byte offset `at` of UTF-16 bytes.
char16_t unitAt(std::string_view bytes, size_t at, Encoding encoding);

// The text after the mark as UTF-16 code units (an odd last byte is dropped).
std::u16string utf16Units(std::string_view bytes, const Detected& detected);

}  // namespace textenc
