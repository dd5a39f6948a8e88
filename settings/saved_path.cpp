// The saved form of the data-file path (see saved_path.h).
#include "settings/saved_path.h"

#include "common/text/gbk_text.h"

namespace settings {

std::string savedDataPath(std::string_view editText, std::string_view programDir) {
    const std::string path = gbk::trim(editText);
    const std::string prefix = std::string(programDir) + "/";
    // lower() changes ASCII letters only, so bytes keep their places. On Windows the
    // directory (it holds the drive's ":") could only stand at the start of a path; here
    // "/opt/app/" may stand inside another one, "/srv/x/opt/app/a.xls", which must not
    // lose its middle, so only a leading occurrence counts.
    if (!gbk::beginsWith(gbk::lower(path), gbk::lower(prefix))) return path;
    return path.substr(prefix.size());
}

}  // namespace settings
