// quillmar.ini as GBK text, whatever encoding an editor saved it in.
//
// The programs read and write the file as GBK, as the Windows peers do. A user may have
// saved it as UTF-8 (with or without a byte-order mark, as Linux editors do) or as UTF-16
// (with or without a mark); its keys then read as those of the same file in GBK, and a
// write puts the whole file back in GBK, every line kept, so that it never holds two
// encodings. A character GBK cannot hold makes such a file unfit to be rewritten.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace config {

struct GbkForm {
    std::string text;            // the file's text in GBK ("?" for what GBK cannot hold)
    bool converted = false;      // it was saved in another encoding
    const char* encoding = "GBK";  // "GBK", "UTF-8" or "UTF-16"
    bool fits = true;            // every character has a GBK form
    char32_t misfit = 0;         // otherwise the first that has none (a lone surrogate included)
    size_t misfitLine = 0;       // and its line, counted from 1
};

GbkForm gbkForm(std::string_view bytes);

}  // namespace config
