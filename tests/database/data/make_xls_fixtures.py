#!/usr/bin/python3
# Writes data/xls/students.xls for the .xls reader tests (Debian's /usr/bin/python3 with
# python3-xlwt). Sheets, in this order: 学生名单 (typed columns, NULLs, GBK text beyond
# GB2312, an empty header cell, dates on both sides of 1900-03-01 and after
# 2100-02-28, an empty row inside and formatted empty rows at the end), "my sheet"
# (a space in the name, duplicated header names) and 空表 (empty).
import datetime
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "xls")

DATE = xlwt.easyxf(num_format_str="yyyy-mm-dd")
STAMP = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
TIME = xlwt.easyxf(num_format_str="hh:mm:ss")
BORDER = xlwt.easyxf("borders: left thin")

HEADER = ["姓名", "学号", None, "生日", "分数", "备注", "在校"]
ROWS = [
    ["朱镕基", 1001, "甲", datetime.date(1928, 10, 1), 95.5, None, True],
    ["王堃", 1002, None, datetime.date(2100, 3, 1), 88, "张喆的同学", False],
    [None, 1003, "乙", datetime.datetime(2150, 6, 15, 12, 30, 45), None, "尾部空格  ", None],
    ["李四", 1004, "丙", datetime.date(1900, 1, 5), 60, 123, True],
    None,  # an empty row inside the table
    ["赵六", 1006, "丁", datetime.date(1900, 3, 1), 0.25, datetime.date(2001, 2, 3), False],
    ["钱七", 1007, "戊", datetime.date(9999, 12, 31), -1, "x", True],
]


def style_for(value):
    if isinstance(value, datetime.datetime):
        return STAMP
    if isinstance(value, datetime.date):
        return DATE
    return None


def main():
    os.makedirs(OUT, exist_ok=True)
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("学生名单")
    for col, name in enumerate(HEADER):
        if name is not None:
            sheet.write(0, col, name)
    for r, row in enumerate(ROWS, start=1):
        if row is None:
            continue
        for col, value in enumerate(row):
            if value is None:
                continue
            style = style_for(value)
            if style is None:
                sheet.write(r, col, value)
            else:
                sheet.write(r, col, value, style)
    # Formatted but empty cells after the last row: not rows of the table.
    for r in range(len(ROWS) + 1, len(ROWS) + 4):
        sheet.write(r, 0, None, BORDER)
    # A time of day only.
    sheet.write(0, 7, "时刻")
    sheet.write(1, 7, datetime.time(8, 30, 0), TIME)

    spaced = book.add_sheet("my sheet")
    for col, name in enumerate(["名称", "名称", "NAME", "name"]):
        spaced.write(0, col, name)
    for col, value in enumerate(["a", "b", "c", "d"]):
        spaced.write(1, col, value)

    book.add_sheet("空表")
    book.save(os.path.join(OUT, "students.xls"))


if __name__ == "__main__":
    main()
