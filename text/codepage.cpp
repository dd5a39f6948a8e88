// GBK <-> Unicode through Qt's ICU codec (see codepage.h for why not iconv).
#include "text/codepage.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <mutex>
#include <unordered_map>

namespace codepage {
namespace {

// True when the codec would hold the last byte back as the first half of a character
// still to come. Lead bytes are 0x81-0xFE; a lead byte followed by a byte that is no
// trail byte (0x40-0x7E, 0x80-0xFE) is invalid on its own and the next byte is read anew.
bool endsInCutCharacter(std::string_view gbk) {
    size_t i = 0;
    while (i < gbk.size()) {
        auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x81 || b == 0xFF) { ++i; continue; }
        if (i + 1 == gbk.size()) return true;
        auto t = static_cast<unsigned char>(gbk[i + 1]);
        i += (t >= 0x40 && t != 0x7F && t != 0xFF) ? 2 : 1;
    }
    return false;
}

QString decode(std::string_view gbk) {
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
    // The codec silently swallows a lead byte at the very end (a text cut in the middle
    // of a character); show it like any other invalid byte.
    if (endsInCutCharacter(gbk)) text += QChar(QChar::ReplacementCharacter);
    return text;
}

// Encodes the whole text at once; only when that reports an error is it encoded again
// character by character, so that each character code page 936 cannot hold (a lone
// surrogate included, which the codec would drop) becomes exactly one "?".
std::string encode(const QString& text) {
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError()) return std::string(whole.constData(), whole.size());

    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    // The codec's error flag cannot be reset, so each character needs a fresh encoder;
    // the cache keeps that to one per distinct character.
    std::unordered_map<char32_t, std::string> cache;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate();
        const qsizetype len = pair ? 2 : 1;
        const char32_t code = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        auto found = cache.find(code);
        if (found == cache.end()) {
            QStringEncoder one("GBK", QStringEncoder::Flag::Stateless);
            QByteArray bytes = one.encode(QStringView(text).mid(i, len));
            std::string mapped = (one.hasError() || bytes.isEmpty())
                                     ? std::string("?")
                                     : std::string(bytes.constData(), bytes.size());
            found = cache.emplace(code, std::move(mapped)).first;
        }
        out += found->second;
        i += len;
    }
    return out;
}

struct HeldFolder {
    std::mutex mutex;
    std::string gbk;
    std::string local;
};

HeldFolder& heldFolder() {
    static HeldFolder* held = new HeldFolder;
    return *held;
}

// True when `path` is `folder` or lies in it: the folder ends at a component boundary,
// so that "/x/app2" is not taken for a path in "/x/app".
bool isInFolder(std::string_view path, std::string_view folder) {
    if (folder.empty() || path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

}  // namespace

void holdFolderName(std::string_view gbkFolder, std::string_view localFolder) {
    HeldFolder& held = heldFolder();
    std::lock_guard<std::mutex> lock(held.mutex);
    held.local = std::string(localFolder);
    held.gbk = localFolder.empty() ? std::string() : std::string(gbkFolder);
}

std::string toLocalPath(std::string_view gbkPath) {
    {
        HeldFolder& held = heldFolder();
        std::lock_guard<std::mutex> lock(held.mutex);
        if (isInFolder(gbkPath, held.gbk)) return held.local + gbkToUtf8(gbkPath.substr(held.gbk.size()));
    }
    return gbkToUtf8(gbkPath);
}

std::string fromLocalPath(std::string_view localPath) {
    {
        HeldFolder& held = heldFolder();
        std::lock_guard<std::mutex> lock(held.mutex);
        if (isInFolder(localPath, held.local)) return held.gbk + utf8ToGbk(localPath.substr(held.local.size()));
    }
    return utf8ToGbk(localPath);
}

QString toQtPath(std::string_view gbkPath) {
    const std::string local = toLocalPath(gbkPath);
    return QFile::decodeName(QByteArray(local.data(), static_cast<qsizetype>(local.size())));
}

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
