// 取拼音: the pinyin of a text through the pinyin library ("pinyin.dll", found beside the
// program), bound by name on its first call and kept.
#pragma once

#include <string>

namespace query {

// The trimmed initials (initials true) or full pinyin of a GBK text; "" for "". Calls both
// library functions for every non-empty text. A missing library or function ends the
// program with the runtime's error box and exit code -1 (ui::bindLibraryFunction).
std::string 取拼音(const std::string& text, bool initials = true);

}  // namespace query
