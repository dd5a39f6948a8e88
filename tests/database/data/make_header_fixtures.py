#!/usr/bin/python3
# Writes data/xls/headers.xls for the sheet-listing and header-row tests (Debian's
# /usr/bin/python3 with python3-xlwt). Sheets, in this order:
#   名单      header 序号, " 姓名 " (spaces around it), an empty cell, 班级: two fields
#   空格      header 甲, a full-width space, 乙: one field
#   A1空      A1 empty, B1 姓名: no field
#   宽表      30 header cells H1..H30 (past column Z)
#   my sheet  a space in the name (the driver quotes it)
#   2024      a name of digits (quoted too)
#   O'Neil    an apostrophe in the name (doubled inside the quotes)
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "xls")


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


if __name__ == "__main__":
    main()
