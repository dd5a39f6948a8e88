// The one place where GBK (code page 936) meets Unicode.
//
// Qt's ICU-backed "GBK" codec follows Windows' own code page 936 table, the 2,149
// user-defined (private-use) codes included, which glibc iconv rejects. A character that
// code page 936 cannot hold becomes "?" (visibly, never dropped); a GBK byte sequence
// that is not valid, a lead byte cut off at the end included, becomes U+FFFD on the way in.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace codepage {

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
QString toQString(std::string_view gbk);
std::string fromQString(const QString& text);
// UTF-16 code units (as in .xlsx shared strings or Access Jet 4 text) to GBK.
std::string utf16ToGbk(std::u16string_view utf16);

// A file name in GBK as the operating system wants it (UTF-8 bytes on Linux), and back.
// A path in the folder given to holdFolderName() goes to and comes from that folder's own
// bytes.
std::string toLocalPath(std::string_view gbkPath);
std::string fromLocalPath(std::string_view localPath);
// A file name in GBK as Qt's file classes and dialogs take it: its local form, decoded
// as Qt decodes file names. Unlike toQString() (for showing), it names the held folder.
QString toQtPath(std::string_view gbkPath);

// The folder `localFolder` (the program's, as the system names it) is held in GBK as
// `gbkFolder`, which may not lead back to it: an emoji or a Korean letter in its name
// becomes "?", and "app?" names another folder. From now on a GBK path that is
// `gbkFolder` or lies in it turns into a local path in `localFolder`, and fromLocalPath()
// turns the local form back, so that every file operation reaches the folder itself. One
// folder at a time; an empty `localFolder` forgets it.
void holdFolderName(std::string_view gbkFolder, std::string_view localFolder);

}  // namespace codepage
