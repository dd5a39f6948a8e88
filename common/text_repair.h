// The text-file repair: turns a TAB-separated text data file into a comma-separated one
// in place, so the text driver reads its columns. Shared by both programs; each plugs in
// its own main window through RepairWindow.
//
// "Read-only" on Linux means a file without any write permission bit (mode & 0222 == 0).
// A read-only file is made writable and the repair goes on: the owner's write
// bit is added (chmod u+w), and only when that fails is the repair refused with
// "文件只读,请修改文本文件的属性后再处理". The bits are tested by this code itself, not left
// to open(): root may write any file, and would otherwise rewrite a read-only file
// without clearing the bit.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

// The calling program's main window, as the repair needs it (texts are GBK).
struct RepairWindow {
    std::function<std::string()> caption;                  // current window caption
    std::function<void(const std::string&)> setCaption;    // change the caption
    // A modal message box with an OK button: (text, caption).
    std::function<void(const std::string& text, const std::string& caption)> showMessage;
};

// The file operations the repair uses; tests replace them to make one fail.
struct RepairFileOps {
    // chmod(2) on a local path; 0 on success.
    std::function<int(const std::string& localPath, mode_t mode)> changeMode;
    // The whole file's bytes; false when the file cannot be read.
    std::function<bool(const std::string& localPath, std::string& bytes)> readAll;
    // Replace the file's bytes (atomically); false on failure.
    std::function<bool(const std::string& localPath, const std::string& bytes)> replaceAll;
};
// The real ones.
RepairFileOps defaultRepairFileOps();

// Replaces every TAB of the file at `path` (GBK, full path) with ",", in the encoding the
// text reader reads the file in: in a GBK or UTF-8 file the byte 0x09 becomes 0x2C; in a
// UTF-16 file (with a byte-order mark, or without one, told by its zero bytes) the code
// unit U+0009 becomes U+002C, mark and byte order kept, since there a 0x09 byte is also
// half of many characters (三 is U+4E09). Every other byte stays and the length is kept. While it works the window caption reads
// "正在处理文件文件,请稍候....." and is put back afterwards. The file is replaced through a
// temporary file and rename() with its permission bits kept, so a crash never empties it.
// Returns true when the file was repaired (or had no TAB, or does not exist); false after
// telling the user through window.showMessage (caption "信息："), with the file unchanged:
//  - read-only and the write bit could not be added: "文件只读,请修改文本文件的属性后再处理";
//  - the file (or a directory of that name) exists but cannot be read: "无法读取文件：" + path;
//  - the rewrite failed: "无法写入文件：" + path.
// A path that names nothing is left alone: no file is created (the settings program runs
// the repair on paths as the user types them, and an empty file would be litter).
bool 校正文本文件(const std::string& path, const RepairWindow& window);
bool 校正文本文件(const std::string& path, const RepairWindow& window, const RepairFileOps& ops);
