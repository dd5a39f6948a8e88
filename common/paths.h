// Where things are: the program directory, the configuration file, configured data paths,
// and the wildcard existence test the programs use before opening a file.
//
// Paths are GBK like every other text of the programs. The separator is "/"; a "\" in a
// configured value (a quillmar.ini written on Windows, "data\list.xls") reads as "/".
#pragma once

#include <string>
#include <string_view>

namespace paths {

// The directory of the running executable (from /proc/self/exe), GBK, without a trailing
// "/" (except for the root directory itself, "/"); "" when the system would not say (see
// programFolderProblem). Cached after the first call.
//
// The folder is used as the system names it: when its name holds characters GBK cannot
// (shown as "?"), every file operation on a path in it still reaches it, not a sibling
// whose name has a real "?" there (see codepage::holdFolderName).
std::string programDirectory();

// Why the programs cannot work in their folder, as the message that ends them (GBK), or
// "" when they can: the system would not say where the running program lies (its path
// is longer than the system allows, or the folder is gone), or the path is too long
// for the files the programs keep there. Never the working directory instead.
std::string programFolderProblem();

// Makes programDirectory() answer `folder` instead, given as the system names it (tests,
// which need a fresh configuration per case). An empty text restores the real directory.
void overrideProgramDirectory(std::string_view folder);

// programDirectory() + "/quillmar.ini"; "" without a program directory.
std::string configPath();

// Every "\" that is a character of its own turned into "/"; a 0x5C byte that is the
// second byte of a GBK character (as in "表" = B1 ED, or "\x81\x5C") stays.
std::string toSlashSeparators(std::string_view value);

// A `dbname` value made a path: separators converted as above; a value that begins with
// "/" or holds ":" is used as it stands, anything else is taken relative to
// `programDir` (programDir + "/" + value); an empty value stays empty.
std::string resolveDataPath(std::string_view value, std::string_view programDir);
inline std::string resolveDataPath(std::string_view value) { return resolveDataPath(value, programDirectory()); }

// True when a directory search for `path` finds any entry, file or directory (a dangling
// symbolic link counts too). "*" and "?" in the last path component are wildcards ("?" is
// one character, a two-byte GBK character included); every other character, "[" included,
// is literal, and names compare case-sensitively. A relative path is searched from the
// working directory.
bool fileExists(std::string_view path);

}  // namespace paths
