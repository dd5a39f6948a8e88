// The saved form of the data-file path (see saved_path.h).
#include "settings/saved_path.h"

#include "common/text/gbk_text.h"

namespace settings {

std::string savedDataPath(std::string_view editText, std::string_view programDir) {
    const std::string path = gbk::trim(editText);
    const std::string prefix = std::string(programDir) + "/";
    // lower() changes ASCII letters only, so byte positions stay where they were.
    const int at = gbk::find(gbk::lower(path), gbk::lower(prefix));
    if (at < 1) return path;
    return path.substr(0, at - 1) + path.substr(at - 1 + prefix.size());
}

}  // namespace settings
