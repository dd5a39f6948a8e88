// quillmar.ini in another encoding made GBK (see config_encoding.h).
#include "common/config_encoding.h"

#include <vector>

#include "text/text_encoding.h"
#include "platform/database/fast_codec.h"

namespace config {
namespace {

// The file's characters; a lone surrogate of UTF-16 and an ill-formed UTF-8 byte (taken
// as U+FFFD) stay in as characters GBK cannot hold.
std::vector<char32_t> characters(std::string_view bytes, const textenc::Detected& detected) {
    std::vector<char32_t> out;
    if (detected.encoding == textenc::Encoding::Utf8) {
        for (size_t i = detected.markBytes; i < bytes.size();) {
            char32_t cp = static_cast<unsigned char>(bytes[i]);
            const unsigned length = cp < 0x80 ? 1 : db::codec::decodeUtf8(bytes, i, cp);
            out.push_back(length == 0 ? char32_t{0xFFFD} : cp);
            i += length == 0 ? 1 : length;
        }
        return out;
    }
    const std::u16string units = textenc::utf16Units(bytes, detected);
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(u);
        }
    }
    return out;
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

GbkForm gbkForm(std::string_view bytes) {
    GbkForm form;
    const textenc::Detected detected = textenc::detectWithUnmarkedUtf16(bytes);
    if (detected.encoding == textenc::Encoding::Gbk) {
        form.text = std::string(bytes);
        return form;
    }
    form.converted = true;
    form.encoding = detected.encoding == textenc::Encoding::Utf8 ? "UTF-8" : "UTF-16";
    size_t line = 1;
    std::string utf8;
    for (char32_t c : characters(bytes, detected)) {
        if (c == '\n') ++line;
        if (c < 0x80) {
            form.text += static_cast<char>(c);
            continue;
        }
        utf8.clear();
        if (!isSurrogate(c)) db::codec::appendUtf8(c, utf8);
        const std::string gbk = utf8.empty() ? std::string("?") : db::codec::utf8ToGbk(utf8);
        // A character fits when its GBK form reads back as itself ("?" does not).
        if (form.fits && (utf8.empty() || db::codec::gbkToUtf8(gbk) != utf8)) {
            form.fits = false;
            form.misfit = c;
            form.misfitLine = line;
        }
        form.text += gbk;
    }
    return form;
}

}  // namespace config
