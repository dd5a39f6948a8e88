// quillmar.ini access: reading and writing one key, creating the file from the default text.
//
// The file is a Windows profile (INI) file in GBK with CR LF lines, shared with Windows
// peers, so both sides must read it alike: "[section]" lines open
// sections; "key=value" lines hold keys; ";" lines are comments. Section and key names
// match without regard to ASCII letter case (bytes of GBK characters compare exactly);
// blanks around the key and around "=" do not count. Both LF and CR LF are read.
//
// Every path here is GBK, as the programs hold it; it is converted to the local form at
// the system call. Nothing here reports to the user: a failed write returns false, and
// each caller decides what the user is told.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace config {

// Longest value a read returns: both programs read into a 10240-byte buffer, so a longer
// value written by a peer reads the same everywhere.
constexpr size_t kMaxValueBytes = 10239;

// The value of `key` in `section` of the file at `path`: the rest of the key's line after
// the first "=", blanks at both ends dropped, one pair of enclosing matching quotation
// marks (' or ") removed, cut to kMaxValueBytes. A present key with an empty value gives
// "". A file saved as UTF-8 or UTF-16 reads as its GBK form (config_encoding.h). A
// missing or unreadable file, or one that is not a regular file (never opened), a missing
// section or key gives `defaultValue`. Only the first section of that name is searched,
// and in it the first line of that key.
std::string readKey(std::string_view path, std::string_view section, std::string_view key,
                    std::string_view defaultValue);

// Sets `key` in `section` to `value`, writing the line key + "=" + value + CR LF with the
// key spelled as given here. An existing key keeps its place; a missing key is added after
// the last key line of its section (right after the section line when it has none); a
// missing section is added at the end of the file as "[section]" and the key; a missing
// file is created. Every other line stays byte for byte. A value cannot span lines, so it
// is cut at its first LF (what a reader would see of it anyway); a lone CR inside it stays.
// A file saved as UTF-8 or UTF-16 is written back whole in GBK (config_encoding.h).
// The file is replaced atomically (temporary file, rename) keeping its permission bits.
// Returns false, leaving the file as it was, when the file cannot be read, is read-only
// (no write bit, checked here because root ignores the bits), or cannot be replaced.
bool writeKey(std::string_view path, std::string_view section, std::string_view key, std::string_view value);

struct KeyValue {
    std::string section;
    std::string key;
    std::string value;
};
// The keys written one after another, as by writeKey in this order, but the file is
// replaced once: either every key reaches it or, on any failure, none does and the file
// keeps its old bytes. A save of several keys thus never leaves half of them behind.
bool writeKeys(std::string_view path, const std::vector<KeyValue>& keys);

// Why a write was refused, for the message the user gets.
struct WriteProblem {
    enum class Cause {
        None,
        CannotWrite,     // read-only, unreadable, or the replacement failed (disk full)
        NotRegularFile,  // a FIFO, a device or a folder: never opened
        NotGbk,          // saved in another encoding, with a character GBK cannot hold
    } cause = Cause::None;
    std::string encoding;     // NotGbk: "UTF-8" or "UTF-16"
    char32_t character = 0;   // NotGbk: the first character GBK cannot hold
    size_t line = 0;          // NotGbk: its line, counted from 1
};
bool writeKeys(std::string_view path, const std::vector<KeyValue>& keys, WriteProblem* problem);

// True when something that is not a regular file (nor a link to one) stands at `path`: a
// FIFO, a device, a folder. Told without opening it, since opening a FIFO blocks until
// someone writes into it; the programs refuse such a quillmar.ini, saying so.
bool isUnusableFile(std::string_view path);

// Creates the file at `path` holding exactly the default configuration text, but only
// when nothing exists there: an existing file, even an empty one, is left untouched.
// Returns true when it created the file.
bool createDefaultFile(std::string_view path);

}  // namespace config
