// The settings program's entry and exit (see program.h).
#include "settings/program.h"

#include <memory>

#include "common/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/program_runner.h"
#include "settings/globals.h"
#include "settings/settings_window.h"

namespace settings {
namespace {

std::unique_ptr<设置程序窗口>& window() { return ui::programWindows<std::unique_ptr<设置程序窗口>>(); }

}  // namespace

int 程序入口(int argc, char** argv) { return ui::runProgram(argc, argv, startProgram, releaseWindows); }

void startProgram() {
    ui::beginProgram(paths::programFolderProblem(), 建立全局数组, 释放全局变量);
    window() = std::make_unique<设置程序窗口>();
    if (!window()->load()) {
        const std::string why = window()->form().loadError();
        ui::fatalError(gbkText("载入设置程序窗口失败") + (why.empty() ? "" : gbkText("：") + codepage::utf8ToGbk(why)));
    }
}

void 建立全局数组() {
    表名数组.clear();
    字段名数组.clear();
    预设宽度数组.clear();
    预设高度数组.clear();
}

void 释放全局变量() {
    for (std::string* text :
         {&dbname, &searchname1, &searchname2, &searchname3, &photo_width, &photo_height, &video_width,
          &video_height, &标记字段, &照片标记距底端距离, &照片标记距左边距离, &照片字体名称, &照片字体颜色,
          &照片文本背景颜色, &logo, &数据库扩展名, &数据库密码})
        text->clear();
    for (int k = 1; k <= 10; ++k) savedFieldChoice(3 + k).clear();
    照片字体大小 = 0;
    插值算法 = 0;
    预览比例 = 0;
    建立全局数组();
}

设置程序窗口* settingsWindow() { return window().get(); }

void releaseWindows() { window().reset(); }

}  // namespace settings
