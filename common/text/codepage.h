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

// A file name in GBK as the operating system wants it (UTF-8 bytes on Linux).
inline std::string toLocalPath(std::string_view gbkPath) { return gbkToUtf8(gbkPath); }
inline std::string fromLocalPath(std::string_view localPath) { return utf8ToGbk(localPath); }

}  // namespace codepage
