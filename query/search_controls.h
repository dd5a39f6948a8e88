// Reading a search window's field radios and match options into a SearchRequest.
//
// The query window and the record window name these controls alike (单选框4 to 单选框6,
// 精确查找选择框, 数值处理选择框), so both searches read them through this one place.
#pragma once

#include <string>

#include "platform/ui/form.h"
#include "query/search_condition.h"

namespace query {

// The request for search text T (already trimmed) with the configured search fields and
// the window's checked radio and options.
SearchRequest searchRequestFrom(ui::Form& window, const std::string& T);

}  // namespace query
