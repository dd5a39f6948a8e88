// Which offered field a saved field name selects in a field combo box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The position of the first item that begins with `saved`, ASCII letters compared
// without regard to case ("id" selects "IDCard" before "ID"); -1 when `saved` is empty or
// begins no item.
int firstItemBeginningWith(const std::vector<std::string>& items, std::string_view saved);

}  // namespace settings
