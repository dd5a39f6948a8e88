// How the settings program stores the data-file path it saves: trimmed, and relative to
// the program directory when the file lies inside it, so that the program folder can be
// moved (or copied to another machine) with its data.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// `editText` trimmed; then, when it begins with `programDir` + "/" (ASCII letters compared
// without regard to case), that beginning is removed. "/opt/App/data/a.xls" with the
// program directory "/opt/app" gives "data/a.xls"; a path elsewhere, also one that holds
// the directory further on, comes back trimmed only.
std::string savedDataPath(std::string_view editText, std::string_view programDir);

}  // namespace settings
