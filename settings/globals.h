// The settings program's program-wide variables: one per key of quillmar.ini that it owns
// (read when its window opens), the data file's kind, password and tables, the field
// names of the table shown last, the photo-size preset arrays and the preview scale.
//
// They exist from the start to the end of the program, start empty (texts "", integers
// 0, arrays without elements) and are shared by the window's handlers. Every text is GBK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/gbk_literal.h"

namespace settings {

// The data file: the resolved path; for "txt", "csv" and "dbf" cut down to its directory
// with the trailing "/". The path saved is taken from the edit box, never from here.
extern std::string dbname;
extern std::string searchname1, searchname2, searchname3;
extern std::string display1, display2, display3, display4, display5;
extern std::string display6, display7, display8, display9, display10;
extern std::string photo_width, photo_height, video_width, video_height;
extern std::string 标记字段;
extern std::string 照片标记距底端距离, 照片标记距左边距离;
extern std::string 照片字体名称, 照片字体颜色, 照片文本背景颜色;
extern std::string logo;
extern int32_t 照片字体大小;
extern int32_t 插值算法;

// The data-source kind: the lower-cased text after the last "." of the resolved path.
extern std::string 数据库扩展名;
// The answer of the password prompt for an Access database, else "".
extern std::string 数据库密码;
// The data file's tables, as the listing gave them (no brackets); one for a text or
// dBASE table: the file name.
extern std::vector<std::string> 表名数组;
// The field names of the table listed last.
extern std::vector<std::string> 字段名数组;
// The photo-size presets: element 0 the photo width (height) read at start-up, then the
// five fixed sizes.
extern std::vector<std::string> 预设宽度数组;
extern std::vector<std::string> 预设高度数组;
// Board pixels per photo pixel of the caption-mark preview.
extern double 预览比例;

// The saved choices of the 14 field boxes by number: 1-3 searchname1-3, 4-13 display1-10,
// 14 标记字段. The caller keeps within 1 to 14.
std::string& savedFieldChoice(int box);

using codepage::gbkText;

}  // namespace settings
