// Reading and atomic rewriting of whole files (see file_replace.h).
#include "common/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fileio {

namespace {

// The process umask, read without changing it (umask(2) can only set it).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Attributes that the system sets by itself on a new file (an SELinux label) or that
// only an administrator may set: not setting one loses nothing the user made.
bool systemOwned(std::string_view name) { return name.rfind("security.", 0) == 0 || name.rfind("trusted.", 0) == 0; }

// Copies every extended attribute of the file `from` to the open file `to`: the ACL
// (system.posix_acl_access) and the user's own (user.*). False when one the user made
// cannot be copied, so a rewrite never drops who else may read or write the file.
bool copyAttributes(const std::string& from, int to) {
    ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // a file system without attributes has none to lose
    std::string names(static_cast<size_t>(size), '\0');
    size = ::listxattr(from.c_str(), names.data(), names.size());
    if (size < 0) return false;
    names.resize(static_cast<size_t>(size));
    for (size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
        std::string value(static_cast<size_t>(std::max<ssize_t>(length, 0)), '\0');
        const ssize_t got = length < 0 ? -1 : ::getxattr(from.c_str(), name, value.data(), value.size());
        const bool copied = got >= 0 && ::fsetxattr(to, name, value.data(), static_cast<size_t>(got), 0) == 0;
        if (!copied && !systemOwned(name)) return false;
    }
    return true;
}

// Writes `bytes` to a new temporary file beside `target`, with the extended attributes of
// `attributesOf` when given; returns its name, or "" on failure.
std::string writeTemporary(const std::string& target, std::string_view bytes, mode_t mode,
                           const std::string* attributesOf = nullptr) {
    std::string dir = directoryOf(target);
    std::string name = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    std::string temp = dir + "/" + temporaryNameFor(name);
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return {};
    // The ACL goes after the mode: setting it sets the group bits to the ACL's mask.
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && (!attributesOf || copyAttributes(*attributesOf, fd)) &&
              ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return {};
    }
    return temp;
}

void syncDirectory(const std::string& path) {
    int fd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool readWholeFile(const std::string& localPath, std::string& bytes) {
    bytes.clear();
    // Told before the open: opening a device may act on it. O_NONBLOCK and the fstat below
    // cover a FIFO put in its place meanwhile, whose open would wait for a writer.
    struct stat before{};
    if (::stat(localPath.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return false;
    int fd = ::open(localPath.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool replaceFile(const std::string& localPath, std::string_view bytes) {
    std::string target = localPath;
    struct stat st{};
    if (::lstat(localPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(localPath.c_str(), resolved)) target = resolved;
    }
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return false;
    // rename() needs only the directory's permission; the file's own must be asked here.
    if (exists && ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) return false;
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~currentUmask());

    std::string temp = writeTemporary(target, bytes, mode, exists ? &target : nullptr);
    if (temp.empty()) return false;
    if (exists && ::geteuid() == 0) {
        // Root rewriting a user's file must not hand it over to root.
        if (::chown(temp.c_str(), st.st_uid, st.st_gid) != 0) { /* keep going: contents matter more */ }
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncDirectory(target);
    return true;
}

bool overwriteSameLength(const std::string& localPath, std::string_view bytes) {
    struct stat st{};
    if (::stat(localPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
    int fd = ::open(localPath.c_str(), O_WRONLY);
    if (fd < 0) return false;
    bool ok = ::fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) == bytes.size() && writeAll(fd, bytes) &&
              ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    return ok;
}

bool rewriteInPlace(const std::string& localPath, std::string_view bytes, std::string_view oldBytes) {
    struct stat st{};
    if (::stat(localPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
    int fd = ::open(localPath.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const auto put = [fd](std::string_view what) {
        return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, what) &&
               ::ftruncate(fd, static_cast<off_t>(what.size())) == 0 && ::fsync(fd) == 0;
    };
    bool ok = put(bytes);
    if (!ok) put(oldBytes);
    if (::close(fd) != 0) ok = false;
    return ok;
}

bool createNewFile(const std::string& localPath, std::string_view bytes) {
    struct stat st{};
    if (::lstat(localPath.c_str(), &st) == 0) return false;
    std::string temp = writeTemporary(localPath, bytes, 0666 & ~currentUmask());
    if (temp.empty()) return false;
    // link() fails with EEXIST instead of replacing what another process created meanwhile.
    bool ok = ::link(temp.c_str(), localPath.c_str()) == 0;
    int linkError = errno;
    ::unlink(temp.c_str());
    if (!ok && linkError != EEXIST) {
        // File systems without hard links (FAT on a USB stick): exclusive create and write,
        // removing the file again when the write fails.
        int fd = ::open(localPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0) return false;
        ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
        if (::close(fd) != 0) ok = false;
        if (!ok) ::unlink(localPath.c_str());
    }
    if (ok) syncDirectory(localPath);
    return ok;
}

std::string temporaryNameFor(std::string_view name) { return "." + std::string(name) + ".XXXXXX"; }

}  // namespace fileio
