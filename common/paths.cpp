// Program directory, configuration path, data-path resolution and the wildcard file test.
#include "common/paths.h"

#include <glob.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "common/codepage.h"
#include "common/gbk_text.h"

namespace paths {

namespace {

std::mutex directoryMutex;
std::string overriddenDirectory;

std::string executableDirectory() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string exe(buffer, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return codepage::fromLocalPath(exe.substr(0, slash));
}

// Escapes what glob(3) would treat as special although a Windows directory search takes
// it literally; `wildcards` keeps "*" and "?" active.
std::string escapeForGlob(std::string_view text, bool wildcards) {
    std::string out;
    for (char c : text) {
        bool special = c == '[' || c == ']' || c == '\\' || (!wildcards && (c == '*' || c == '?'));
        if (special) out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::string programDirectory() {
    static const std::string real = executableDirectory();
    std::lock_guard<std::mutex> lock(directoryMutex);
    return overriddenDirectory.empty() ? real : overriddenDirectory;
}

void overrideProgramDirectory(std::string_view directory) {
    std::lock_guard<std::mutex> lock(directoryMutex);
    overriddenDirectory = std::string(directory);
}

std::string configPath() { return programDirectory() + "/quillmar.ini"; }

std::string toSlashSeparators(std::string_view value) {
    std::string out(value);
    for (size_t i = 0; i < out.size(); ++i) {
        if (gbk::isLeadByte(static_cast<unsigned char>(out[i]))) {
            ++i;  // the trail byte may be 0x5C and is no separator
        } else if (out[i] == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

std::string resolveDataPath(std::string_view value, std::string_view programDir) {
    std::string path = toSlashSeparators(value);
    if (path.empty() || path.front() == '/' || path.find(':') != std::string::npos) return path;
    return std::string(programDir) + "/" + path;
}

bool fileExists(std::string_view path) {
    std::string local = codepage::toLocalPath(path);
    if (local.empty()) return false;
    size_t slash = local.rfind('/');
    std::string dirPart = slash == std::string::npos ? std::string() : local.substr(0, slash + 1);
    std::string namePart = slash == std::string::npos ? local : local.substr(slash + 1);

    if (namePart.find_first_of("*?") == std::string::npos) {
        struct stat st{};
        return ::lstat(local.c_str(), &st) == 0;
    }
    std::string pattern = escapeForGlob(dirPart, false) + escapeForGlob(namePart, true);
    glob_t found{};
    // GLOB_PERIOD: "*" also matches names that begin with ".", as a Windows search does.
    int rc = ::glob(pattern.c_str(), GLOB_NOSORT | GLOB_PERIOD, nullptr, &found);
    bool any = rc == 0 && found.gl_pathc > 0;
    ::globfree(&found);
    return any;
}

}  // namespace paths
