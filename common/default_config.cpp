// The default configuration text and the defaults tables, written here in UTF-8 and
// converted to GBK once, on first use.
#include "common/default_config.h"

#include "text/codepage.h"

namespace config {

namespace {

// One line each; the text must stay exactly as Windows peers ship it (the spaces in the
// [database] comment and the full-width quotation marks in the [display] comment
// included), because peers compare and hand-edit this file.
const char* const kDefaultLines[] = {
    "[photo]",
    ";下面这些是照片设置，",
    "photo_width=300",
    "photo_height=400",
    ";下面是视频设备的宽高大小，一般长宽比为4:3，最大不超过560X420",
    "video_width=320",
    "video_height=240",
    ";下面是显示是否让照片上打上标记，以及打在哪儿。",
    "标记字段=姓名",
    "照片标记距底端距离=30",
    "照片标记距左边距离=20",
    "照片字体大小=22",
    "照片字体颜色=255",
    "照片字体名称=黑体",
    "照片文本背景颜色=16777215",
    "",
    "[database]",
    ";dbname为数据库名，支持txt/csv/xls/dbf及mdb类型文件。excel文件如有密码,尽量不要设置成一打开就要密码,"
    "而设置为修改时才要密码. 除txt/csv/dbf/mdb外，其它扩展名均被认为是excel文件类型的.",
    "dbname=例子.xls",
    "",
    "[search]",
    ";以下是在查询窗口中的查询项目，它们都是上面所定数据库中的字段",
    "searchname1=姓名",
    "searchname2=",
    "searchname3=",
    "",
    "[display]",
    ";以下是显示在采集窗口中的项目,它们都是数据库中的字段。",
    ";但是前两个字段中某一字段要为关键字段，display1与display2及display3在开始采集后，确保不再改动，"
    "否则找不到图片,如果“display=”,没有内容，则以display1为图片名称，否则图片名称为display1_display2.jpg形式",
    "display1=序号",
    "display2=",
    "display3=班级",
    "",
    ";display3的字段内容可以作分类文件夹，此处若为空，则照片就全部采集在photo文件夹下。",
    "",
    "",
    "display4=姓名",
    "display5=",
    "display6=",
    "display7=",
    "display8=",
    "display9=",
    "display10=姓名",
    ";display1/display2/display10的内容显示在照片旁边,便于查看.",
};

// section, key, query default (nullptr: no effect on the query program), settings default;
// UTF-8, in the settings program's write order.
struct RawKey {
    const char* section;
    const char* key;
    const char* queryDefault;
    const char* settingsDefault;
};

const RawKey kKeys[] = {
    {"reg", "logo", "", ""},
    {"database", "dbname", "", ""},
    {"photo", "photo_width", nullptr, "300"},
    {"photo", "photo_height", nullptr, "400"},
    {"photo", "video_width", nullptr, "320"},
    {"photo", "video_height", nullptr, "240"},
    {"search", "searchname1", "未设置", ""},
    {"search", "searchname2", "未设置", ""},
    {"search", "searchname3", "未设置", ""},
    {"display", "display1", "", ""},
    {"display", "display2", "", ""},
    {"display", "display3", "", ""},
    {"display", "display4", "", ""},
    {"display", "display5", "", ""},
    {"display", "display6", "", ""},
    {"display", "display7", "", ""},
    {"display", "display8", "", ""},
    {"display", "display9", "", ""},
    {"display", "display10", "", ""},
    {"photo", "标记字段", "", ""},
    {"photo", "照片标记距底端距离", nullptr, "20"},
    {"photo", "照片标记距左边距离", nullptr, "20"},
    {"photo", "照片字体大小", nullptr, "20"},
    {"photo", "照片字体颜色", nullptr, "0"},
    {"photo", "照片字体名称", nullptr, "宋体"},
    {"photo", "照片文本背景颜色", nullptr, "-16777216"},
    {"photo", "插值算法", nullptr, "14"},
};

}  // namespace

const std::string& defaultConfigText() {
    static const std::string text = [] {
        std::string utf8;
        for (const char* line : kDefaultLines) {
            utf8 += line;
            utf8 += "\r\n";
        }
        return codepage::utf8ToGbk(utf8);
    }();
    return text;
}

const std::vector<KeyInfo>& settingsKeysInWriteOrder() {
    static const std::vector<KeyInfo> keys = [] {
        std::vector<KeyInfo> out;
        for (const RawKey& raw : kKeys) {
            KeyInfo info;
            info.section = codepage::utf8ToGbk(raw.section);
            info.key = codepage::utf8ToGbk(raw.key);
            if (raw.queryDefault) info.queryDefault = codepage::utf8ToGbk(raw.queryDefault);
            info.settingsDefault = codepage::utf8ToGbk(raw.settingsDefault);
            out.push_back(std::move(info));
        }
        return out;
    }();
    return keys;
}

const KeyInfo* findKey(std::string_view key) {
    for (const KeyInfo& info : settingsKeysInWriteOrder())
        if (info.key == key) return &info;
    return nullptr;
}

std::string queryDefault(std::string_view key) {
    const KeyInfo* info = findKey(key);
    return info && info->queryDefault ? *info->queryDefault : std::string();
}

std::string settingsDefault(std::string_view key) {
    const KeyInfo* info = findKey(key);
    return info ? info->settingsDefault : std::string();
}

}  // namespace config
