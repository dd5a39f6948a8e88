// The text-file repair (see text_repair.h).
#include "common/text_repair.h"

#include <sys/stat.h>

#include <algorithm>

#include "text/codepage.h"
#include "text/text_encoding.h"
#include "common/file_replace.h"

namespace {

void tell(const RepairWindow& window, const std::string& text) {
    if (window.showMessage) window.showMessage(text, codepage::utf8ToGbk("信息："));
}

// Turns every TAB character of the file's text into a comma, in the file's own encoding;
// false when it had none. In GBK and UTF-8 a 0x09 byte is always a TAB (trail bytes are
// 0x40 and above, 0x80 and above). In UTF-16 it is half of many characters (三 is U+4E09),
// so only whole code units U+0009 change, and the mark and byte order stay.
bool tabsToCommas(std::string& data) {
    const textenc::Detected detected = textenc::detectWithUnmarkedUtf16(data);
    const textenc::Encoding encoding = detected.encoding;
    if (encoding != textenc::Encoding::Utf16LittleEndian && encoding != textenc::Encoding::Utf16BigEndian) {
        if (std::find(data.begin(), data.end(), '\t') == data.end()) return false;
        std::replace(data.begin(), data.end(), '\t', ',');
        return true;
    }
    const size_t low = encoding == textenc::Encoding::Utf16BigEndian ? 1 : 0;  // where the 0x09 sits
    bool changed = false;
    for (size_t i = detected.markBytes; i + 1 < data.size(); i += 2) {
        if (textenc::unitAt(data, i, encoding) != u'\t') continue;
        data[i + low] = ',';
        changed = true;
    }
    return changed;
}

}  // namespace

RepairFileOps defaultRepairFileOps() {
    RepairFileOps ops;
    ops.changeMode = [](const std::string& localPath, mode_t mode) { return ::chmod(localPath.c_str(), mode); };
    ops.readAll = [](const std::string& localPath, std::string& bytes) {
        return fileio::readWholeFile(localPath, bytes);
    };
    ops.replaceAll = [](const std::string& localPath, const std::string& bytes) {
        // A file in a directory we may not write to cannot be swapped by rename(); the
        // repair keeps the length, so writing over the old bytes in place loses nothing
        // even when interrupted (each byte is either the old one or its replacement).
        return fileio::replaceFile(localPath, bytes) || fileio::overwriteSameLength(localPath, bytes);
    };
    return ops;
}

bool 校正文本文件(const std::string& path, const RepairWindow& window) {
    return 校正文本文件(path, window, defaultRepairFileOps());
}

bool 校正文本文件(const std::string& path, const RepairWindow& window, const RepairFileOps& ops) {
    const std::string local = codepage::toLocalPath(path);
    struct stat st{};
    if (::stat(local.c_str(), &st) != 0) return true;  // nothing there: nothing to repair

    if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
        if (ops.changeMode(local, (st.st_mode & 07777) | S_IWUSR) != 0) {
            tell(window, codepage::utf8ToGbk("文件只读,请修改文本文件的属性后再处理"));
            return false;
        }
    }

    std::string oldCaption = window.caption ? window.caption() : std::string();
    if (window.setCaption) window.setCaption(codepage::utf8ToGbk("正在处理文件文件,请稍候....."));
    auto restoreCaption = [&] {
        if (window.setCaption) window.setCaption(oldCaption);
    };

    std::string data;
    if (!S_ISREG(st.st_mode) || !ops.readAll(local, data)) {
        // Rewriting what could not be read would replace the file by an empty one.
        restoreCaption();
        tell(window, codepage::utf8ToGbk("无法读取文件：") + path);
        return false;
    }
    if (!tabsToCommas(data)) {
        restoreCaption();  // the rewrite would put back the same bytes
        return true;
    }
    bool written = ops.replaceAll(local, data);
    restoreCaption();
    if (!written) {
        tell(window, codepage::utf8ToGbk("无法写入文件：") + path);
        return false;
    }
    return true;
}
