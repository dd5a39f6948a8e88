// The saved field's item (see field_choice.h).
#include "settings/field_choice.h"

#include "text/gbk_text.h"

namespace settings {

int firstItemBeginningWith(const std::vector<std::string>& items, std::string_view saved) {
    if (saved.empty()) return -1;
    const std::string wanted = gbk::lower(saved);
    for (size_t i = 0; i < items.size(); ++i)
        if (gbk::beginsWith(gbk::lower(items[i]), wanted)) return static_cast<int>(i);
    return -1;
}

}  // namespace settings
