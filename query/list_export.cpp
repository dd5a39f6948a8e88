// The export of the result list and the record window's export button (see list_export.h).
#include "query/list_export.h"

#include <dirent.h>

#include <cerrno>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include "common/file_replace.h"
#include "common/paths.h"
#include "text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/globals.h"
#include "query/photo_path.h"
#include "query/record_window.h"

namespace query {
namespace {

constexpr int kExportedColumns = 10;

// Whether photos exist, as paths::fileExists answers it, with each photo folder listed
// once: an existence test per row costs several microseconds in the kernel, a lookup in
// the folder's listing a fraction of one. Names holding wildcards, and folders that can be
// searched but not listed, still go to paths::fileExists.
class PhotoFinder {
  public:
    bool exists(const std::string& gbkPath) {
        const size_t slash = gbkPath.rfind('/');  // never a trail byte, so a true separator
        if (slash == std::string::npos) return paths::fileExists(gbkPath);
        const std::string name = gbkPath.substr(slash + 1);
        if (name.find_first_of("*?") != std::string::npos) return paths::fileExists(gbkPath);
        const Listing& listing = listingOf(gbkPath.substr(0, slash));
        return listing.listed ? listing.names.count(name) > 0 : paths::fileExists(gbkPath);
    }

  private:
    struct Listing {
        bool listed = false;
        std::unordered_set<std::string> names;  // GBK
    };

    const Listing& listingOf(const std::string& gbkFolder) {
        auto found = folders_.find(gbkFolder);
        if (found != folders_.end()) return found->second;
        Listing& listing = folders_[gbkFolder];
        if (DIR* dir =
                ::opendir(codepage::toLocalPath(gbkFolder.empty() ? "/" : gbkFolder).c_str())) {
            listing.listed = true;
            while (const dirent* entry = ::readdir(dir))
                listing.names.insert(codepage::fromLocalPath(entry->d_name));
            ::closedir(dir);
        } else {
            // A missing folder holds no photo; any other failure is left to the full test.
            listing.listed = errno == ENOENT || errno == ENOTDIR;
        }
        return listing;
    }

    std::unordered_map<std::string, Listing> folders_;
};

}  // namespace

std::string exportFileName(std::string_view table, const gbk::DateTime& when) {
    return std::string(table) + "_" + gbk::toText(when) + ".txt";
}

std::string exportText(const ExportSource& source, bool withoutPhotosOnly) {
    std::string out;
    for (int k = 0; k < kExportedColumns; ++k) {
        if (k < static_cast<int>(source.captions.size())) out += source.captions[k];
        out += '\t';
    }
    out += gbkText("有无图片") + "\r\n";

    PhotoFinder photos;
    std::string line;
    for (int row = 0; row < source.rowCount; ++row) {
        line.clear();
        std::string cells[3];
        for (int column = 0; column < kExportedColumns; ++column) {
            std::string text = source.cell(row, column);
            line += text;
            line += '\t';
            if (column < 3) cells[column] = std::move(text);
        }
        // An unsafe path (one that would leave the photo folder) names no photo.
        const std::string photo = photoPath(source.photoFolder, cells[0], cells[1], cells[2]);
        if (!photo.empty() && photos.exists(photo)) {
            if (withoutPhotosOnly) continue;
            line += photo;
        }
        line += "\r\n";
        out += line;
    }
    return out;
}

bool writeExportFile(const std::string& folder, const std::string& name, std::string_view bytes) {
    // The table's text is part of the name: one holding "/" would reach into another
    // folder and a NUL would cut the name short, so such a name is refused.
    if (name.empty() || name.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        return false;
    return fileio::replaceFile(codepage::toLocalPath(folder + "/" + name), bytes);
}

gbk::DateTime currentDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void 采像窗口::按钮_导出列表_被单击() {
    const ui::dialogs::Answer answer = ui::dialogs::messageBox(
        gbkText(
            "本操作将会把列表框的内容导出成文本文件（如果想导出所有的，请用*号搜索，显示所有内容，"
            "再导出），仅导出不含照片的吗？"),
        ui::dialogs::Buttons::YesNo, gbkText("友情提醒！"));
    const bool withoutPhotosOnly = answer == ui::dialogs::Answer::Yes;

    ui::showBusyCursor();
    const std::string folder = paths::programDirectory();
    const std::string name = exportFileName(当前表名, currentDateTime());
    ui::ReportList list = form_.reportList("list");
    ExportSource source;
    for (int k = 1; k <= 10; ++k)
        source.captions.push_back(form_.label("标签" + std::to_string(k)).caption());
    source.rowCount = list.rowCount();
    source.cell = [&list](int row, int column) { return list.cellText(row, column); };
    source.photoFolder = 照片目录;
    const bool written = writeExportFile(folder, name, exportText(source, withoutPhotosOnly));
    ui::restoreCursor();

    const std::string file = folder + "/" + name;
    if (written)
        ui::dialogs::messageBox(gbkText("文件已经写出，保存在 ") + file, ui::dialogs::Buttons::Ok,
                                gbkText("友情提示:"));
    else
        ui::dialogs::messageBox(gbkText("文件没有写出：无法创建或写入 ") + file,
                                ui::dialogs::Buttons::Ok, gbkText("友情提示:"));
}

}  // namespace query
