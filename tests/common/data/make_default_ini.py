#!/usr/bin/env python3
"""Writes default_quillmar.ini, the golden copy of the default configuration text.

Kept apart from the C++ source on purpose: the lines below were typed from the
configuration file's description, so the test compares two independent copies.
Run:  python3 make_default_ini.py   (writes beside this script)
"""
import os

LINES = [
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
    ";dbname为数据库名，支持txt/csv/xls/dbf及mdb类型文件。excel文件如有密码,尽量不要设置成一打开就要密码,而设置为修改时才要密码. 除txt/csv/dbf/mdb外，其它扩展名均被认为是excel文件类型的.",
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
    ";但是前两个字段中某一字段要为关键字段，display1与display2及display3在开始采集后，确保不再改动，否则找不到图片,如果\u201cdisplay=\u201d,没有内容，则以display1为图片名称，否则图片名称为display1_display2.jpg形式",
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
]

assert len(LINES) == 44
assert [i + 1 for i, line in enumerate(LINES) if line == ""] == [16, 20, 26, 33, 35, 36]
assert LINES[17].count(" ") == 1 and "修改时才要密码. 除" in LINES[17]
assert "\u201cdisplay=\u201d" in LINES[28]

data = "".join(line + "\r\n" for line in LINES).encode("gbk")
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "default_quillmar.ini")
with open(out, "wb") as f:
    f.write(data)
print(out, len(data), "bytes")
