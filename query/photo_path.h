// Where a record's photo lies: the photo path rule and the sub-folder it needs.
//
// A photo is  photo folder + "/" + (class + "/" when the class is not empty)
//             + number + ("_" + second key when that is not empty) + ".jpg"
// where number, second key and class are the record's values in the fields named by
// `display1`, `display2` and `display3` (the texts of list columns 0, 1 and 2). The
// capture program outside this system stores photos by the same rule, so it must not
// change. All texts are GBK bytes with "/" as the separator; converting a path for the
// file system is the caller's (codepage::toLocalPath).
#pragma once

#include <string>
#include <string_view>

namespace query {

// The photo folder of a program directory (no trailing "/").
std::string photoFolderOf(std::string_view programDir);

// The photo file of a record, or "" when the record's values would lead out of the photo
// folder (a path component ".." or a NUL byte): such a record shows an empty picture.
// A "\" in a value (a real one, not the second byte of a two-byte character) separates
// folders as "/" does, so photo folders filled on Windows ("2023\一班") keep working.
std::string photoPath(std::string_view photoFolder, std::string_view display1Value,
                      std::string_view display2Value, std::string_view display3Value);

// The folder to create (one level, like mkdir, not mkdir -p) before the photo of a record
// is read: photo folder + "/" + class. "" when the class is empty (the photo then lies in
// the photo folder itself) or would lead out of the photo folder.
std::string photoSubfolder(std::string_view photoFolder, std::string_view display3Value);

}  // namespace query
