// The settings program's program-wide variables (see globals.h).
#include "settings/globals.h"

namespace settings {

std::string dbname;
std::string searchname1, searchname2, searchname3;
std::string display1, display2, display3, display4, display5;
std::string display6, display7, display8, display9, display10;
std::string photo_width, photo_height, video_width, video_height;
std::string 标记字段;
std::string 照片标记距底端距离, 照片标记距左边距离;
std::string 照片字体名称, 照片字体颜色, 照片文本背景颜色;
std::string logo;
int32_t 照片字体大小 = 0;
int32_t 插值算法 = 0;
std::string 数据库扩展名;
std::string 数据库密码;
std::vector<std::string> 表名数组;
std::vector<std::string> 字段名数组;
std::vector<std::string> 预设宽度数组;
std::vector<std::string> 预设高度数组;
double 预览比例 = 0;

std::string& savedFieldChoice(int box) {
    static std::string* const choices[] = {&searchname1, &searchname2, &searchname3, &display1, &display2,
                                           &display3,    &display4,    &display5,    &display6, &display7,
                                           &display8,    &display9,    &display10,   &标记字段};
    return *choices[box - 1];
}

}  // namespace settings
