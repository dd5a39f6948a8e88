// How the settings program stores the data-file path it saves: trimmed, and relative to
// the program directory when the file lies inside it, so that the program folder can be
// moved (or copied to another machine) with its data.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// `path` with every run of "/" made one and every "." component between separators
// dropped ("/x//a/./b.xls" gives "/x/a/b.xls"). Lexical only: ".." and links stay, since
// a folder reached through a link has another parent.
std::string withoutEmptySteps(std::string_view path);

// `editText` trimmed and passed through withoutEmptySteps(); then, when it begins with
// `programDir` + "/", that beginning is removed. Letter case counts, as it does in Linux
// file names: "/opt/App/a.xls" is another file than "/opt/app/a.xls". Only the directory
// at the start and up to a separator goes: "/opt/app2/a.xls" and "/srv/x/opt/app/a.xls"
// come back whole.
std::string savedDataPath(std::string_view editText, std::string_view programDir);

}  // namespace settings
