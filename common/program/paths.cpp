// Program directory, configuration path, data-path resolution and the wildcard file test.
#include "common/program/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "common/text/codepage.h"
#include "common/text/gbk_text.h"

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

// Length of the GBK character at byte i (a lead byte cut off at the end counts as one).
size_t characterLength(std::string_view text, size_t i) {
    return gbk::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// A directory search's name match, on GBK texts: "*" is any run of characters, "?" exactly
// one character, a two-byte character counting as one (glob(3) on the UTF-8 name would
// take "?" for one byte, or for one character only in a UTF-8 locale); everything else,
// "[" included, compares byte for byte. "*" and "?" are never trail bytes.
bool matchesWildcards(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        if (p < pattern.size()) {
            size_t nameLength = characterLength(name, n);
            if (pattern[p] == '?') {
                ++p;
                n += nameLength;
                continue;
            }
            size_t patternLength = characterLength(pattern, p);
            if (patternLength == nameLength && pattern.compare(p, patternLength, name.substr(n, nameLength)) == 0) {
                p += patternLength;
                n += nameLength;
                continue;
            }
        }
        if (starPattern == std::string_view::npos) return false;
        // Let the last "*" take one more character and try the rest again.
        starName += characterLength(name, starName);
        n = starName;
        p = starPattern;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
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
    if (path.empty()) return false;
    // "/" is never a trail byte, so the last one splits directory and name on the GBK text.
    size_t slash = path.rfind('/');
    std::string_view namePart = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (namePart.find_first_of("*?") == std::string_view::npos) {
        struct stat st{};
        return ::lstat(codepage::toLocalPath(path).c_str(), &st) == 0;
    }
    std::string dirPart = slash == std::string_view::npos ? "." : codepage::toLocalPath(path.substr(0, slash + 1));
    DIR* dir = ::opendir(dirPart.c_str());
    if (!dir) return false;
    bool any = false;
    // Every entry counts, "." and ".." and names beginning with "." included, as in a
    // Windows directory search.
    while (const dirent* entry = ::readdir(dir)) {
        if (matchesWildcards(namePart, codepage::fromLocalPath(entry->d_name))) {
            any = true;
            break;
        }
    }
    ::closedir(dir);
    return any;
}

}  // namespace paths
