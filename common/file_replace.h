// Whole-file reading and crash-safe rewriting of files named by local (UTF-8) paths.
//
// quillmar.ini and the text repair both rewrite a file that users cannot afford to lose,
// so a rewrite never truncates the file in place: the new bytes go to a temporary file in
// the same directory, which then replaces the old one by rename(). A crash or a full disk
// leaves either the old file or the new one, never an empty or half-written file.
// GBK-to-local conversion of path names is the caller's (codepage::toLocalPath).
#pragma once

#include <string>
#include <string_view>

namespace fileio {

// The name of the temporary file that stands beside `name` while it is replaced or
// created (with "XXXXXX" where mkstemp puts its letters): a folder must have room in the
// system's path limit for this name too.
std::string temporaryNameFor(std::string_view name);

// Reads the whole of a regular file into `bytes`. False (bytes emptied) when the path
// names nothing, names something that is not a regular file, or cannot be read.
bool readWholeFile(const std::string& localPath, std::string& bytes);

// Replaces the file's bytes with `bytes` through a temporary file and rename(). An
// existing file keeps its permission bits, its extended attributes and ACL (which are
// extended attributes: a failure to copy one the user made fails the replacement), and,
// where the process may, its owner; a new
// file gets 0666 less the umask. A symbolic link is followed, so the link stays and its
// target is replaced. A file without write permission for this process, or without any
// write bit (root included), is not replaced. False, with the old file untouched, when any step fails (directory
// missing or not writable, disk full); a stray temporary file is removed.
bool replaceFile(const std::string& localPath, std::string_view bytes);

// Writes `bytes` over the start of an existing regular file of exactly that length,
// without truncating it first. For changes that keep the length, where an interrupted
// write leaves a mix of old and new bytes but never loses any. False when the file is
// missing, of another length, or not writable.
bool overwriteSameLength(const std::string& localPath, std::string_view bytes);

// Rewrites an existing regular file in place (write from the start, then cut to the new
// length): for a file that may be written in a folder that may not, where no temporary
// file can stand beside it. `oldBytes` is what the file holds now; when a write fails
// part-way they are written back, so the file ends as old or new, not as a mix, unless
// the disk fails twice. False when the file is missing or not writable, or a write failed.
bool rewriteInPlace(const std::string& localPath, std::string_view bytes, std::string_view oldBytes);

// Creates a file that does not exist yet with exactly `bytes`: written to a temporary file
// first and then linked into place, so the file appears whole or not at all, and an entry
// that appeared meanwhile is never overwritten. False when the path exists or on failure.
bool createNewFile(const std::string& localPath, std::string_view bytes);

}  // namespace fileio
