#!/usr/bin/python3
# Writes data/xls/students.xls for the .xls reader tests (Debian's /usr/bin/python3 with
# python3-xlwt). Sheets, in this order: 学生名单 (typed columns, NULLs, GBK text beyond
# GB2312, an empty header cell, dates on both sides of 1900-03-01 and after
# 2100-02-28, an empty row inside and formatted empty rows at the end), "my sheet"
# (a space in the name, duplicated header names) and 空表 (empty).
#
# Also data/xls/formats.xls: sheet 日期 holds 2023-04-05 06:07:08 in every built-in date
# and time format (the CJK ones, 27-36 and 50-58, as Chinese Excel writes them: an XF
# pointing at the format number with no FORMAT record) and in custom date formats;
# sheet 数字 numbers in formats that only look like dates; sheet 名单 a table at B3:C6
# with a workbook-wide name 班级表 over it and the sheet's own Print_Area; sheet 公式 a
# formula cell; sheet 隐藏 very hidden.
import datetime
import os
import struct

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
    write_formats()


STAMP_VALUE = datetime.datetime(2023, 4, 5, 6, 7, 8)
BUILT_IN_DATE_FORMATS = list(range(14, 23)) + list(range(27, 37)) + list(range(45, 48)) + list(range(50, 59))
CUSTOM_DATE_FORMATS = ['yyyy"年"m"月"d"日"', "[h]:mm:ss", "[$-804]aaaa", "d-mmm", 'hh"时"mm"分"']
NOT_DATE_FORMATS = ['0.00"d"', "#,##0", "@", '[Red]0.0_);\\(0.0\\)', "0.00E+00", '"ymd"0']


def name_record(name, sheet_tab, ixti, first_row, last_row, first_col, last_col, built_in=None):
    """A NAME record over one rectangle (tArea3d through EXTERNSHEET entry `ixti`)."""
    formula = struct.pack("<BHHHHH", 0x3B, ixti, first_row, last_row, first_col, last_col)
    if built_in is not None:
        options, length, chars = 0x20, 1, bytes([0, built_in])
    else:
        options, length, chars = 0, len(name), bytes([1]) + name.encode("utf-16-le")
    data = struct.pack("<HBBHHHBBBB", options, 0, length, len(formula), 0, sheet_tab, 0, 0, 0, 0)
    data += chars + formula
    return struct.pack("<HH", 0x0018, len(data)) + data


def write_formats():
    book = xlwt.Workbook(encoding="utf-8")
    styles = book._Workbook__styles
    dates = book.add_sheet("日期")
    dates.write(0, 0, "格式")
    dates.write(0, 1, "值")
    row = 1
    for number in BUILT_IN_DATE_FORMATS:
        # xlwt knows 14-22 and 45-47 by their codes; the others are entered by number.
        key = "built-in %d" % number
        styles._num_formats[key] = number
        dates.write(row, 0, number)
        dates.write(row, 1, STAMP_VALUE, xlwt.easyxf(num_format_str=key))
        row += 1
    for code in CUSTOM_DATE_FORMATS:
        dates.write(row, 0, code)
        dates.write(row, 1, STAMP_VALUE, xlwt.easyxf(num_format_str=code))
        row += 1

    numbers = book.add_sheet("数字")
    numbers.write(0, 0, "格式")
    numbers.write(0, 1, "值")
    for r, code in enumerate(NOT_DATE_FORMATS, start=1):
        numbers.write(r, 0, code)
        numbers.write(r, 1, 45021.25, xlwt.easyxf(num_format_str=code))

    names = book.add_sheet("名单")
    names.write(0, 0, "这一行不在区域内")
    for r, values in enumerate([("姓名", "班级"), ("张三", "一班"), ("李四", "二班"), ("王五", None)], start=2):
        for c, value in enumerate(values, start=1):
            if value is not None:
                names.write(r, c, value)

    formulas = book.add_sheet("公式")
    formulas.write(0, 0, "引用")
    # A reference to 名单 makes xlwt write the SUPBOOK and EXTERNSHEET that names need.
    formulas.write(1, 0, xlwt.Formula("'名单'!B4"))

    hidden = book.add_sheet("隐藏")
    hidden.visibility = 2
    hidden.write(0, 0, "秘密")

    # Defined names go after the EXTERNSHEET record; entry 1 refers to 名单 (sheet 3).
    records = name_record("班级表", 0, 1, 2, 5, 1, 2) + name_record(None, 3, 1, 0, 5, 0, 2, built_in=0x06)
    links = xlwt.Workbook._Workbook__all_links_rec
    xlwt.Workbook._Workbook__all_links_rec = lambda self: links(self) + records
    try:
        book.save(os.path.join(OUT, "formats.xls"))
    finally:
        xlwt.Workbook._Workbook__all_links_rec = links


if __name__ == "__main__":
    main()
