// The photo path rule (see photo_path.h).
#include "query/photo_path.h"

#include "text/gbk_text.h"

namespace query {
namespace {

// A record value as a relative path: "\" becomes "/" on character boundaries only, so
// the trail byte 5C of a character such as 昞 (95 5C) is left alone.
std::string asRelativePath(std::string_view value) {
    return gbk::replaceAll(value, "\\", "/");
}

// A relative path stays below its folder unless one of its components is ".."; a leading
// "/" only doubles the separator, since the folder always comes first. A NUL byte would
// cut the path short when it reaches the operating system, so it is refused as well.
bool staysInside(std::string_view relative) {
    if (relative.find('\0') != std::string_view::npos) return false;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string_view::npos) end = relative.size();
        if (relative.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string photoFolderOf(std::string_view programDir) {
    return std::string(programDir) + "/photo";
}

std::string photoPath(std::string_view photoFolder, std::string_view display1Value,
                      std::string_view display2Value, std::string_view display3Value) {
    std::string relative;
    if (!display3Value.empty()) relative = asRelativePath(display3Value) + "/";
    relative += asRelativePath(display1Value);
    if (!display2Value.empty()) relative += "_" + asRelativePath(display2Value);
    relative += ".jpg";
    if (!staysInside(relative)) return {};
    return std::string(photoFolder) + "/" + relative;
}

std::string photoSubfolder(std::string_view photoFolder, std::string_view display3Value) {
    if (display3Value.empty()) return {};
    const std::string relative = asRelativePath(display3Value);
    if (!staysInside(relative)) return {};
    return std::string(photoFolder) + "/" + relative;
}

}  // namespace query
