// The profile-file reader and writer behind config_file.h. The file is cut into lines that
// keep their own line ends, so a write can put back every line it does not change byte for
// byte.
#include "common/config_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "text/codepage.h"
#include "common/config_encoding.h"
#include "common/default_config.h"
#include "common/file_replace.h"
#include "text/gbk_text.h"

namespace config {

namespace {

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n" or "" (last line without a line end)
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, blanks dropped
    std::string_view value;  // the raw text after the first "=" (keys only)
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    while (!bytes.empty()) {
        size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back({bytes, {}});
            break;
        }
        size_t textEnd = (lf > 0 && bytes[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({bytes.substr(0, textEnd), bytes.substr(textEnd, lf + 1 - textEnd)});
        bytes.remove_prefix(lf + 1);
    }
    return lines;
}

ParsedLine parseLine(std::string_view text) {
    ParsedLine out;
    std::string_view s = trimBlanks(text);
    if (s.empty() || s.front() == ';') return out;
    if (s.front() == '[') {
        // A "[" line without "]" opens no section: its keys stay in the section before it.
        size_t close = s.rfind(']');
        if (close == std::string_view::npos) return out;
        out.kind = LineKind::Section;
        out.name = trimBlanks(s.substr(1, close - 1));
        return out;
    }
    size_t eq = s.find('=');
    if (eq == std::string_view::npos) return out;  // a line without "=" holds no value
    out.kind = LineKind::Key;
    out.name = trimBlanks(s.substr(0, eq));
    out.value = s.substr(eq + 1);
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && gbk::lower(a) == gbk::lower(b);
}

// Where a section and a key sit among the lines; -1 for "not there".
struct Location {
    int section = -1;      // the section line
    int key = -1;          // the key's line inside that section
    int lastKeyLine = -1;  // the section's last key line
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location loc;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        ParsedLine p = parseLine(lines[i].text);
        if (p.kind == LineKind::Section) {
            if (loc.section >= 0) break;  // only the first section of the name counts
            if (sameName(p.name, section)) loc.section = i;
        } else if (p.kind == LineKind::Key && loc.section >= 0) {
            loc.lastKeyLine = i;
            if (loc.key < 0 && sameName(p.name, key)) loc.key = i;
        }
    }
    return loc;
}

std::string cleanValue(std::string_view raw) {
    std::string_view v = trimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxValueBytes) v = v.substr(0, kMaxValueBytes);
    return std::string(v);
}

// Appends a line to `out`, first ending the previous line when it had no line end.
void appendLine(std::string& out, std::string_view text) {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out.append(text);
    out += "\r\n";
}

}  // namespace

std::string readKey(std::string_view path, std::string_view section, std::string_view key,
                    std::string_view defaultValue) {
    std::string bytes;
    if (!fileio::readWholeFile(codepage::toLocalPath(path), bytes)) return std::string(defaultValue);
    bytes = gbkForm(bytes).text;
    std::vector<Line> lines = splitLines(bytes);
    Location loc = locate(lines, section, key);
    if (loc.key < 0) return std::string(defaultValue);
    return cleanValue(parseLine(lines[loc.key].text).value);
}

namespace {

// The file's bytes with `key` in `section` set to `value` (see writeKey).
std::string withKey(const std::string& old, std::string_view section, std::string_view key, std::string_view value) {
    // Only LF ends a line when the file is read, so a lone CR inside a value is kept; a CR
    // left before the cut would merge with the line end.
    value = value.substr(0, value.find('\n'));
    while (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    std::string keyLine = std::string(key) + "=" + std::string(value);

    std::vector<Line> lines = splitLines(old);
    Location loc = locate(lines, section, key);
    std::string out;
    out.reserve(old.size() + keyLine.size() + section.size() + 8);
    if (loc.section < 0) {
        out = old;
        appendLine(out, "[" + std::string(section) + "]");
        appendLine(out, keyLine);
    } else {
        int insertAfter = loc.key >= 0 ? -1 : (loc.lastKeyLine >= 0 ? loc.lastKeyLine : loc.section);
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (i == loc.key) {
                appendLine(out, keyLine);
                continue;
            }
            out.append(lines[i].text);
            out.append(lines[i].end);
            if (i == insertAfter) appendLine(out, keyLine);
        }
    }
    return out;
}

}  // namespace

bool writeKey(std::string_view path, std::string_view section, std::string_view key, std::string_view value) {
    return writeKeys(path, {KeyValue{std::string(section), std::string(key), std::string(value)}});
}

bool writeKeys(std::string_view path, const std::vector<KeyValue>& keys) { return writeKeys(path, keys, nullptr); }

bool writeKeys(std::string_view path, const std::vector<KeyValue>& keys, WriteProblem* problem) {
    WriteProblem ignored;
    WriteProblem& why = problem ? *problem : ignored;
    why = WriteProblem{};
    why.cause = WriteProblem::Cause::CannotWrite;
    const std::string local = codepage::toLocalPath(path);
    std::string old;
    struct stat st{};
    const bool exists = ::stat(local.c_str(), &st) == 0;
    if (exists) {
        // Checked before anything opens it: opening a FIFO waits for a writer for good.
        if (!S_ISREG(st.st_mode)) {
            why.cause = WriteProblem::Cause::NotRegularFile;
            return false;
        }
        // A read-only file stays as it is: a write is refused, never forced. Root would
        // otherwise write through the missing permission bits.
        if ((st.st_mode & 0222) == 0 || ::access(local.c_str(), W_OK) != 0) return false;
        // Never rewrite a file whose old lines could not be read: they would be lost.
        if (!fileio::readWholeFile(local, old)) return false;
    }
    // A file saved in another encoding is written back whole in GBK, or not at all: GBK
    // lines among UTF-8 or UTF-16 ones would leave a file that is neither.
    const GbkForm form = gbkForm(old);
    if (!form.fits) {
        why.cause = WriteProblem::Cause::NotGbk;
        why.encoding = form.encoding;
        why.character = form.misfit;
        why.line = form.misfitLine;
        return false;
    }
    std::string out = form.text;
    for (const KeyValue& k : keys) out = withKey(out, k.section, k.key, k.value);
    why.cause = WriteProblem::Cause::None;
    if (out == old && !old.empty()) return true;
    if (fileio::replaceFile(local, out)) return true;
    why.cause = WriteProblem::Cause::CannotWrite;
    // A writable file in a folder that is not writable (a shared program folder) has no
    // room for a temporary file beside it: rewrite the file itself.
    const std::string folder = local.substr(0, local.find_last_of('/') + 1);
    if (exists && ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0 &&
        fileio::rewriteInPlace(local, out, old)) {
        why.cause = WriteProblem::Cause::None;
        return true;
    }
    return false;
}

bool isUnusableFile(std::string_view path) {
    struct stat st{};
    return ::stat(codepage::toLocalPath(path).c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool createDefaultFile(std::string_view path) {
    return fileio::createNewFile(codepage::toLocalPath(path), defaultConfigText());
}

}  // namespace config
