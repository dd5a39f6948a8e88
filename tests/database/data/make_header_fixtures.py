#!/usr/bin/python3
# Writes data/xls/headers.xls for the sheet-listing and header-row tests, and
# data/xls/raw_header.xls with data/xlsx/raw_header.xlsx, one workbook in both formats for
# the header row read as stored (Debian's /usr/bin/python3 with python3-xlwt and
# python3-openpyxl). headers.xls has these sheets, in this order:
#   名单      header 序号, " 姓名 " (spaces around it), an empty cell, 班级: two fields
#   空格      header 甲, a full-width space, 乙: one field
#   A1空      A1 empty, B1 姓名: no field
#   宽表      30 header cells H1..H30 (past column Z)
#   my sheet  a space in the name (the driver quotes it)
#   2024      a name of digits (quoted too)
#   O'Neil    an apostrophe in the name (doubled inside the quotes)
import datetime
import os

import openpyxl
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "xls")

# raw_header's first sheet 原样: a repeated name, a cell that holds "F3" in column C
# (where the database component names an empty cell F3), spaces around a name, numbers,
# a date-time, a boolean, then a gap before one more name. Rows below it hold data.
RAW_HEADER = ["名称", "名称", "F3", " 班级 ", 2024, 1 / 3, -7.25,
              datetime.datetime(2024, 3, 1, 8, 30), True, None, "后面"]
RAW_ROWS = [["甲", "乙", "丙", "丁", 1, 2, 3, datetime.datetime(2024, 1, 1), False, None, "x"]] * 3
# Its second sheet 第二: one name. The .xlsx has a third, 很宽: 710 header cells, past ZZ.


def header(sheet, cells):
    for col, text in enumerate(cells):
        if text is not None:
            sheet.write(0, col, text)
    for col in range(len(cells)):
        sheet.write(1, col, "x")


def main():
    book = xlwt.Workbook(encoding="utf-8")
    header(book.add_sheet("名单"), ["序号", " 姓名 ", None, "班级"])
    header(book.add_sheet("空格"), ["甲", "\u3000", "乙"])
    header(book.add_sheet("A1空"), [None, "姓名"])
    header(book.add_sheet("宽表"), ["H%d" % (i + 1) for i in range(30)])
    header(book.add_sheet("my sheet"), ["a"])
    header(book.add_sheet("2024"), ["a"])
    header(book.add_sheet("O'Neil"), ["a"])
    os.makedirs(OUT, exist_ok=True)
    book.save(os.path.join(OUT, "headers.xls"))
    raw_header_xls()
    raw_header_xlsx()


def raw_header_xls():
    book = xlwt.Workbook(encoding="utf-8")
    dates = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm")
    sheet = book.add_sheet("原样")
    for r, row in enumerate([RAW_HEADER] + RAW_ROWS):
        for col, value in enumerate(row):
            if value is None:
                continue
            if isinstance(value, datetime.datetime):
                sheet.write(r, col, value, dates)
            else:
                sheet.write(r, col, value)
    book.add_sheet("第二").write(0, 0, "学号")
    book.save(os.path.join(OUT, "raw_header.xls"))


def raw_header_xlsx():
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "原样"
    for r, row in enumerate([RAW_HEADER] + RAW_ROWS, start=1):
        for col, value in enumerate(row, start=1):
            if value is None:
                continue
            cell = sheet.cell(row=r, column=col, value=value)
            if isinstance(value, datetime.datetime):
                cell.number_format = "yyyy-mm-dd hh:mm"
    book.create_sheet("第二").cell(row=1, column=1, value="学号")
    wide = book.create_sheet("很宽")
    for col in range(1, 711):
        wide.cell(row=1, column=col, value="H%d" % col)
        wide.cell(row=2, column=col, value=col)
    book.save(os.path.join(HERE, "xlsx", "raw_header.xlsx"))


if __name__ == "__main__":
    main()
