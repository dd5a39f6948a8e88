// Texts written in the source as the programs hold them: source files are UTF-8, every
// text inside the programs is GBK, so a literal such as gbkText("确定") is converted once
// where it is used.
#pragma once

#include <string>
#include <string_view>

#include "text/codepage.h"

namespace codepage {

inline std::string gbkText(std::string_view utf8) { return utf8ToGbk(utf8); }

}  // namespace codepage
