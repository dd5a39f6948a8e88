// Program directory, configuration path, data-path resolution and the wildcard file test.
#include "common/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>

#include "common/file_replace.h"
#include "text/codepage.h"
#include "text/gbk_literal.h"
#include "text/gbk_text.h"

namespace paths {

using codepage::gbkText;

namespace {

constexpr const char* kConfigName = "quillmar.ini";

// The program's folder: as the system names it, and as the programs hold it (GBK).
struct ProgramFolder {
    std::string local;  // "" when the system would not say
    std::string gbk;
    int error = 0;      // why the system would not say
};

ProgramFolder folderNamed(std::string local) {
    ProgramFolder folder;
    folder.gbk = codepage::utf8ToGbk(local);
    folder.local = std::move(local);
    return folder;
}

ProgramFolder executableFolder() {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    ProgramFolder unknown;
    if (n < 0) {
        unknown.error = errno;
        return unknown;
    }
    // A link that fills the whole buffer may have been cut short.
    if (static_cast<size_t>(n) >= buffer.size()) {
        unknown.error = ENAMETOOLONG;
        return unknown;
    }
    buffer.resize(static_cast<size_t>(n));
    const size_t slash = buffer.rfind('/');
    if (slash == std::string::npos) return unknown;
    return folderNamed(slash == 0 ? "/" : buffer.substr(0, slash));
}

std::mutex folderMutex;
std::optional<ProgramFolder> overriddenFolder;

const ProgramFolder& realFolder() {
    static const ProgramFolder real = executableFolder();
    return real;
}

// Paths built on the folder's GBK name lead back to the folder itself, also when that
// name had to take "?" for characters GBK cannot hold.
void holdFolder(const ProgramFolder& folder) {
    const bool leadsBack = codepage::gbkToUtf8(folder.gbk) == folder.local;
    codepage::holdFolderName(folder.gbk, leadsBack ? std::string() : folder.local);
}

ProgramFolder currentFolder() {
    std::lock_guard<std::mutex> lock(folderMutex);
    if (overriddenFolder) return *overriddenFolder;
    static const bool held = (holdFolder(realFolder()), true);
    (void)held;
    return realFolder();
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

std::string programDirectory() { return currentFolder().gbk; }

std::string programFolderProblem() {
    const ProgramFolder folder = currentFolder();
    const std::string moveIt = gbkText("\n请把程序放到路径较短的文件夹中再运行。");
    if (folder.local.empty()) {
        return gbkText("无法得知本程序所在的文件夹：") +
               (folder.error == ENAMETOOLONG ? gbkText("它的路径比系统允许的更长。") + moveIt
                                             : gbkText("它可能已被删除或改名。"));
    }
    // quillmar.ini is replaced through a temporary file beside it, whose name is longer:
    // a folder with room for the one only would leave the default file uncreated and
    // every setting unsaved, without a word from the system that refuses the name.
    const size_t longest = folder.local.size() + 1 + fileio::temporaryNameFor(kConfigName).size();
    if (longest >= PATH_MAX) {
        return gbkText("本程序所在文件夹的路径太长（") + gbk::toText(static_cast<int64_t>(folder.local.size())) +
               gbkText("字节），系统无法在其中保存配置文件quillmar.ini。") + moveIt;
    }
    return {};
}

void overrideProgramDirectory(std::string_view folder) {
    std::lock_guard<std::mutex> lock(folderMutex);
    if (folder.empty()) {
        overriddenFolder.reset();
        holdFolder(realFolder());
    } else {
        overriddenFolder = folderNamed(std::string(folder));
        holdFolder(*overriddenFolder);
    }
}

std::string configPath() {
    const std::string folder = programDirectory();
    // Without a folder there is no file: never one in the root or the working directory.
    return folder.empty() ? std::string() : folder + "/" + kConfigName;
}

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
