// Reading one key of quillmar.ini the way each program does: the section and the
// program's own default come from the table of keys (default_config.h), the file from the
// program directory (paths.h).
#pragma once

#include <string>
#include <string_view>

namespace config {

enum class Program { Query, Settings };

// The value of `key` (GBK, as spelled in the table of keys) in the program's
// quillmar.ini, or that program's default when the file, the section or the key is
// missing. A key outside the table reads as "" (a programming error, never a user's).
std::string readOwnKey(Program program, std::string_view key);

}  // namespace config
