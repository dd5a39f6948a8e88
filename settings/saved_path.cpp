// The saved form of the data-file path (see saved_path.h).
#include "settings/saved_path.h"

#include "text/gbk_text.h"

namespace settings {

std::string withoutEmptySteps(std::string_view path) {
    // "/" and "." are never the second byte of a GBK character, so bytes will do.
    std::string out;
    out.reserve(path.size());
    size_t i = 0;
    while (i < path.size()) {
        if (path[i] != '/') {
            out += path[i++];
            continue;
        }
        out += '/';
        ++i;
        for (;;) {
            if (i < path.size() && path[i] == '/') {
                ++i;
            } else if (i + 1 < path.size() && path[i] == '.' && path[i + 1] == '/') {
                i += 2;
            } else {
                break;
            }
        }
    }
    return out;
}

std::string savedDataPath(std::string_view editText, std::string_view programDir) {
    // A typed "<folder>//list.csv" would otherwise lose the folder and keep "/list.csv",
    // a file in the root.
    const std::string path = withoutEmptySteps(gbk::trim(editText));
    std::string prefix(programDir);
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    // On Windows the directory (it holds the drive's ":") could only stand at the start of
    // a path; here "/opt/app/" may stand inside another one, "/srv/x/opt/app/a.xls", which
    // must not lose its middle, so only a leading occurrence counts.
    if (!gbk::beginsWith(path, prefix)) return path;
    return path.substr(prefix.size());
}

}  // namespace settings
