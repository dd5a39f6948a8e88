// GBK <-> Unicode through Qt's ICU codec (see codepage.h for why not iconv).
#include "common/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace codepage {
namespace {

QString decode(std::string_view gbk) {
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

// Encodes character by character so that one unmappable character becomes one "?"
// instead of whatever the codec does with it.
std::string encode(const QString& text) {
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    const qsizetype n = text.size();
    // Fast path: encode the whole string, accept it when no error occurred.
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError()) return std::string(whole.constData(), whole.size());
    for (qsizetype i = 0; i < n;) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < n) ? 2 : 1;
        QStringEncoder one("GBK", QStringEncoder::Flag::Stateless);
        QByteArray bytes = one.encode(QStringView(text).mid(i, len));
        if (one.hasError() || bytes.isEmpty() || (bytes == "?" && text.at(i) != u'?'))
            out += '?';
        else
            out.append(bytes.constData(), bytes.size());
        i += len;
    }
    return out;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    bool ascii = true;
    for (unsigned char c : gbk) if (c >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(gbk);
    QByteArray utf8 = decode(gbk).toUtf8();
    return std::string(utf8.constData(), utf8.size());
}

std::string utf8ToGbk(std::string_view utf8) {
    bool ascii = true;
    for (unsigned char c : utf8) if (c >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(utf8);
    return encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QString toQString(std::string_view gbk) { return decode(gbk); }

std::string fromQString(const QString& text) { return encode(text); }

std::string utf16ToGbk(std::u16string_view utf16) {
    return encode(QString(reinterpret_cast<const QChar*>(utf16.data()),
                          static_cast<qsizetype>(utf16.size())));
}

}  // namespace codepage
