// The settings window's handlers (see settings_window.h).
#include "settings/settings_window.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>

#include "common/config_file.h"
#include "common/config_keys.h"
#include "common/config_messages.h"
#include "common/data_source.h"
#include "common/field_listing.h"
#include "common/paths.h"
#include "common/repair_window.h"
#include "common/source_tables.h"
#include "text/gbk_text.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "settings/field_choice.h"
#include "settings/globals.h"
#include "settings/saved_path.h"
#include "settings/window_tables.h"

namespace settings {
namespace {

std::string readSetting(const char* keyUtf8) {
    return config::readOwnKey(config::Program::Settings, gbkText(keyUtf8));
}

std::string fieldBoxName(int box) { return "组合框" + std::to_string(box); }

std::string fieldListHeading() { return gbkText("当前选中的表单有如下字段："); }

// A table as the statement names it: in brackets, as lookup names it too. Unbracketed, a
// name with a space, a hyphen or a leading digit ("Order Details", "my list-1.csv") is
// cut short and taken for a table the file does not have.
std::string bracketed(const std::string& table) { return "[" + table + "]"; }

// The path names an entry as written, without any pattern matching.
bool pathExistsExactly(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(codepage::toLocalPath(path), ec);
}

// A path as a Windows program writes it ("D:\名单.xls"): a drive letter and a colon. No
// such path exists here, and the user is better told so than only that it is missing.
bool isWindowsDrivePath(const std::string& text) {
    return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

void warn(const std::string& text) { ui::dialogs::messageBox(text, ui::dialogs::Buttons::Ok, gbkText("警告！")); }

}  // namespace

设置程序窗口::设置程序窗口() {
    form_.on(ui::WindowEvent::Created, [this] { 设置程序窗口_创建完毕(); });
    form_.on("按钮_确定", ui::Event::Clicked, [this] { 按钮_确定_被单击(); });
    form_.on("按钮1", ui::Event::Clicked, [this] { 按钮1_被单击_设置(); });
    form_.on("文件名编辑框_数据库位置", ui::Event::ContentChanged,
             [this] { 文件名编辑框_数据库位置_内容被改变(); });
    form_.on("按钮_打开", ui::Event::Clicked, [this] { 按钮_打开_被单击(); });
    form_.on("按钮_下一步", ui::Event::Clicked, [this] { 按钮_下一步_被单击(); });
    form_.on("选择夹1", ui::Event::PageChanged, [this] { 选择夹1_子夹被改变(); });
    form_.on("单选框1", ui::Event::Clicked, [this] { 单选框1_被单击(); });
    photoPage_.bind();
}

bool 设置程序窗口::load() { return form_.load(":/settings/forms/设置程序窗口.ui"); }

void 设置程序窗口::设置程序窗口_创建完毕() {
    form_.setFixedSize();
    form_.centreOnScreen();
    form_.picture("图片框1").setPictureFile(":/settings/pictures/banner.jpg");
    form_.picture("图片框3").setPictureFile(":/settings/pictures/fields.jpg");
    form_.board("画板_结果照片").setPictureFile(":/settings/pictures/portrait.jpg");
    ui::ComboBox methods = form_.combo("组合框_算法");
    methods.clear();
    for (const std::string& method : resamplingMethods()) methods.addItem(method);
    photoPage_.prepare();
    // The template radio carries its design caption until the page is filled with tables;
    // until then it names no table and stays hidden (an empty path never fills the page).
    form_.radio("单选框1").setVisible(false);

    // Told before anything opens it: opening a FIFO would wait for a writer for good. The
    // window goes on with the defaults; 确定 refuses to write there, saying so again.
    if (config::isUnusableFile(paths::configPath()))
        ui::dialogs::messageBox(config::notRegularFileMessage(paths::configPath()), ui::dialogs::Buttons::Ok,
                                gbkText("警告！"));
    读取配置();
    // Until a field list is read the boxes hold the saved names: "确定" then writes back
    // what was saved, also when the data file cannot be read at all.
    showSavedFieldNames();

    // Each assignment runs the edit's content-changed handler before the next one.
    form_.edit("文件名编辑框_数据库位置").setText(dbname);
    form_.edit("编辑框_视频预览区宽度").setText(video_width);
    form_.edit("编辑框_视频预览区高度").setText(video_height);
    form_.edit("编辑框_生成照片的宽度").setText(photo_width);
    form_.edit("编辑框_生成照片的高度").setText(photo_height);
    form_.edit("编辑框_照片标记_距左边").setText(照片标记距左边距离);
    form_.edit("编辑框_照片标记_距底端").setText(照片标记距底端距离);
    form_.edit("编辑框_logo").setText(logo);

    form_.combo("组合框_照片尺寸").setCurrentIndex(0);
    // Clamped: above 16 the last, 0 or below none. Taken one lower in 64 bits, since the
    // lowest 32-bit value less one would wrap round to the highest and select the last.
    methods.setCurrentIndex(static_cast<int>(std::max<int64_t>(int64_t{插值算法} - 1, -1)));

    预设宽度数组 = {photo_width};
    预设高度数组 = {photo_height};
    for (const char* width : kPresetWidths) 预设宽度数组.push_back(width);
    for (const char* height : kPresetHeights) 预设高度数组.push_back(height);
}

void 设置程序窗口::读取配置() {
    dbname = readSetting("dbname");
    searchname1 = readSetting("searchname1");
    searchname2 = readSetting("searchname2");
    searchname3 = readSetting("searchname3");
    for (int k = 1; k <= 10; ++k) savedFieldChoice(3 + k) = readSetting(("display" + std::to_string(k)).c_str());
    photo_width = readSetting("photo_width");
    photo_height = readSetting("photo_height");
    video_width = readSetting("video_width");
    video_height = readSetting("video_height");
    标记字段 = readSetting("标记字段");
    照片标记距底端距离 = readSetting("照片标记距底端距离");
    照片标记距左边距离 = readSetting("照片标记距左边距离");
    照片字体大小 = gbk::integerPart(gbk::toNumber(readSetting("照片字体大小")));
    照片字体名称 = readSetting("照片字体名称");
    照片字体颜色 = readSetting("照片字体颜色");
    照片文本背景颜色 = readSetting("照片文本背景颜色");
    logo = readSetting("logo");
    插值算法 = gbk::integerPart(gbk::toNumber(readSetting("插值算法")));
    photoPage_.layOutFromConfiguration();
}

void 设置程序窗口::按钮_确定_被单击() {
    const std::string P = paths::configPath();
    const std::string path =
        savedDataPath(form_.edit("文件名编辑框_数据库位置").text(), paths::programDirectory());
    const ui::ComboBox methods = form_.combo("组合框_算法");
    const std::string method = methods.currentIndex() < 0 ? "0" : gbk::toText(methods.currentValue() + 1);

    std::vector<config::KeyValue> keys;
    auto put = [&keys](const char* section, const char* keyUtf8, std::string value) {
        keys.push_back({section, gbkText(keyUtf8), std::move(value)});
    };
    put("reg", "logo", gbk::trim(form_.edit("编辑框_logo").text()));
    put("database", "dbname", path);
    put("photo", "photo_width", form_.edit("编辑框_生成照片的宽度").text());
    put("photo", "photo_height", form_.edit("编辑框_生成照片的高度").text());
    put("photo", "video_width", form_.edit("编辑框_视频预览区宽度").text());
    put("photo", "video_height", form_.edit("编辑框_视频预览区高度").text());
    for (int k = 1; k <= 3; ++k)
        put("search", ("searchname" + std::to_string(k)).c_str(), form_.combo(fieldBoxName(k)).text());
    for (int k = 1; k <= 10; ++k)
        put("display", ("display" + std::to_string(k)).c_str(), form_.combo(fieldBoxName(3 + k)).text());
    put("photo", "标记字段", form_.combo("组合框14").text());
    put("photo", "照片标记距底端距离", form_.edit("编辑框_照片标记_距底端").text());
    put("photo", "照片标记距左边距离", form_.edit("编辑框_照片标记_距左边").text());
    put("photo", "照片字体大小", gbk::toText(照片字体大小));
    put("photo", "照片字体颜色", 照片字体颜色);
    put("photo", "照片字体名称", 照片字体名称);
    put("photo", "照片文本背景颜色", 照片文本背景颜色);
    put("photo", "插值算法", method);

    // All 27 keys reach the file in one replacement or none does: closing the window
    // after a failed write would tell the user the settings were kept when they were not.
    config::WriteProblem problem;
    if (!config::writeKeys(P, keys, &problem)) {
        ui::dialogs::messageBox(config::notSavedMessage(P, problem), ui::dialogs::Buttons::Ok, gbkText("警告！"));
        return;
    }
    form_.destroy();
}

void 设置程序窗口::按钮1_被单击_设置() { form_.destroy(); }

void 设置程序窗口::文件名编辑框_数据库位置_内容被改变() {
    const std::string text = form_.edit("文件名编辑框_数据库位置").text();
    // An empty text names the program directory itself.
    dbname = text.empty() ? paths::programDirectory() + "/" : paths::resolveDataPath(text);
    数据库扩展名 = datasource::kindOf(dbname);
    ui::CheckBox repair = form_.checkBox("选择框_文本文件自动校正");
    if (数据库扩展名 == "txt") repair.setChecked(true);
    字段名数组.clear();

    const datasource::Kind kind = datasource::kindFromText(数据库扩展名);
    if (kind == datasource::Kind::TextTable && repair.isChecked()) {
        // No pending events are run while the file is rewritten (unlike lookup's repair
        // button): they may hold the user's next keystroke in this very edit, whose handler
        // would then run inside this one and change the path under it.
        校正文本文件(dbname, repairWindowOf(form_, RepairProgress::CaptionOnly));
    }
    SourceTables source = listSourceTables(dbname, kind, WorkbookListingVariant::SettingsProgram);
    dbname = source.dbname;
    数据库密码 = source.password;
    表名数组 = std::move(source.tables);
    listingError_ = std::move(source.error);
}

void 设置程序窗口::按钮_打开_被单击() {
    const auto chosen = ui::dialogs::openFile(paths::programDirectory(), lastChosenFile_);
    if (!chosen) return;
    // The dialog only confirms a file that exists. When its path does not lead back to it,
    // the path holds characters that GBK cannot write and that came back as "?": put in
    // the edit, it would be a pattern that matches other files, and would be saved so.
    if (!pathExistsExactly(*chosen)) {
        ui::dialogs::messageBox(gbkText("所选文件的路径含有GBK编码以外的字符，本程序无法使用。\n"
                                        "请把文件或文件夹改名后再选择。"),
                                ui::dialogs::Buttons::Ok, gbkText("警告！"));
        return;
    }
    lastChosenFile_ = *chosen;
    form_.edit("文件名编辑框_数据库位置").setText(*chosen);
}

void 设置程序窗口::按钮_下一步_被单击() {
    form_.tabs("选择夹1").setCurrentPage(1);
    选择夹1_子夹被改变();
}

void 设置程序窗口::选择夹1_子夹被改变() {
    const std::string text = form_.edit("文件名编辑框_数据库位置").text();
    if (text.empty()) return;
    // The text as typed; a relative one is looked for in the program directory.
    if (!paths::fileExists(paths::resolveDataPath(text))) {
        std::string message = gbkText("文件不存在，请仔细检查！");
        if (isWindowsDrivePath(text))
            message += gbkText("\n“") + text + gbkText("”是Windows的路径（带盘符），这里没有这样的位置。"
                                                      "请用“打开”按钮重新选择数据库文件。");
        warn(message);
        return;
    }
    if (form_.tabs("选择夹1").currentPage() != 1) return;

    layOutTableRadios();
    if (表名数组.empty()) {
        // The file could not be read (a wrong password, damage): the page would stay
        // empty without a word, and the user would take it for a file without tables.
        if (!listingError_.empty()) warn(listingError_);
        // No table: nothing to choose from and no fields to offer.
        字段名数组.clear();
        填充字段组合框();
        form_.label("标签_隐藏_字段内容").setCaption(std::string());
        return;
    }
    form_.radio("单选框1").setChecked(true);
    form_.label("标签_隐藏_字段内容").setCaption(fieldListHeading());
    listFields(1);
    填充字段组合框();
}

void 设置程序窗口::layOutTableRadios() {
    ui::RadioButton first = form_.radio("单选框1");
    const int n = static_cast<int>(表名数组.size());
    for (ui::RadioButton& copy : tableRadios_) copy.setVisible(false);
    first.setVisible(n > 0);
    if (n == 0) return;
    first.setCaption(表名数组[0]);
    first.setTag("1");
    int previousTop = first.top(), previousLeft = first.left();
    for (int i = 2; i <= n; ++i) {
        if (static_cast<int>(tableRadios_.size()) < i - 1) tableRadios_.push_back(form_.copy(first));
        ui::RadioButton copy = tableRadios_[i - 2];
        copy.setCaption(表名数组[i - 1]);
        copy.setTag(gbk::toText(i));
        copy.setVisible(true);
        if ((i - 1) % 5 == 0) {
            copy.setLeft(first.left());
            copy.setTop(previousTop + 25);
        } else {
            copy.setLeft(previousLeft + copy.width());
            copy.setTop(previousTop);
        }
        previousTop = copy.top();
        previousLeft = copy.left();
    }
}

void 设置程序窗口::单选框1_被单击() {
    if (dbname.empty()) return;
    const int k = gbk::integerPart(gbk::toNumber(form_.eventSource().tag()));
    if (k < 1 || k > static_cast<int>(表名数组.size())) return;
    form_.label("标签_隐藏_字段内容").setCaption(fieldListHeading());
    listFields(k);
    填充字段组合框();
}

void 设置程序窗口::listFields(int k) {
    std::string providerError;
    switch (datasource::kindFromText(数据库扩展名)) {
    case datasource::Kind::Access:
        列出MDB字段(dbname, 数据库密码, bracketed(表名数组[k - 1]), 字段名数组, providerError);
        break;
    case datasource::Kind::TextTable:  // a text or dBASE file is its one table
        列出文本文件字段(dbname, bracketed(表名数组[0]), 字段名数组, providerError);
        break;
    case datasource::Kind::DBaseTable:
        列出DBF字段(dbname, bracketed(表名数组[0]), 字段名数组, providerError);
        break;
    case datasource::Kind::Workbook:
        列出Excel字段(dbname, k, 字段名数组);
        break;
    }
    if (!providerError.empty())
        ui::dialogs::messageBox(providerError, ui::dialogs::Buttons::Ok, gbkText("错误"));
}

void 设置程序窗口::填充字段组合框() {
    for (int box = 1; box <= 14; ++box) {
        ui::ComboBox combo = form_.combo(fieldBoxName(box));
        combo.clear();
        combo.setText(std::string());
    }
    ui::Label list = form_.label("标签_隐藏_字段内容");
    std::string listText = list.caption();
    const int n = static_cast<int>(字段名数组.size());
    for (int i = 1; i <= n; ++i) {
        listText += "  " + gbk::toText(i) + "." + 字段名数组[i - 1];
        for (int box = 1; box <= 14; ++box) form_.combo(fieldBoxName(box)).addItem(字段名数组[i - 1], i);
    }
    list.setCaption(listText);
    // No field list to choose from (the file or table could not be read, or offers no
    // field): the boxes keep the saved names, so that a typo in the path or the password
    // does not erase the user's choices when "确定" saves.
    if (字段名数组.empty())
        showSavedFieldNames();
    else
        选中已存字段();
}

void 设置程序窗口::showSavedFieldNames() {
    for (int box = 1; box <= 14; ++box) form_.combo(fieldBoxName(box)).setText(savedFieldChoice(box));
}

void 设置程序窗口::选中已存字段() {
    for (int box = 1; box <= 14; ++box) {
        ui::ComboBox combo = form_.combo(fieldBoxName(box));
        std::vector<std::string> items;
        for (int i = 0; i < combo.count(); ++i) items.push_back(combo.itemText(i));
        const int at = firstItemBeginningWith(items, savedFieldChoice(box));
        if (at < 0) continue;
        combo.setCurrentIndex(at);
        combo.setText(combo.itemText(at));
    }
}

}  // namespace settings
