// Which code page a dBASE table's text is in, and its conversion to GBK.
//
// Text is GBK as stored. Only a table that says it holds another code page, by a .cpg
// file beside it or by a language-driver byte naming a non-Chinese, non-Western code
// page (Cyrillic, Greek, Japanese, ...), is converted. The "ANSI" and Western marks
// (0x01, 0x02, 0x03, 0x57...) stay raw: tools on Chinese Windows write them for GBK
// data, and the dBASE driver itself read every table in the system code page.
#pragma once

#include <QStringDecoder>
#include <string>
#include <string_view>

namespace db {

// The codec of the table at `localTablePath` with language-driver byte `languageDriver`
// (header byte 29): empty for GBK (kept as stored), "UTF-8", or another codec name. A
// .cpg file beside the table wins over the byte.
std::string dbfCodecName(const std::string& localTablePath, unsigned char languageDriver);

// Converts a table's bytes to GBK; with an empty or unknown codec it passes them on.
class DbfTextDecoder {
  public:
    explicit DbfTextDecoder(const std::string& codec);
    std::string operator()(std::string_view bytes);

  private:
    QStringDecoder decoder_;
    bool convert_ = false;
};

}  // namespace db
