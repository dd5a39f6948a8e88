#!/usr/bin/python3
# Writes tables11.xls for the settings window's table-radio tests (Debian's
# /usr/bin/python3 with python3-xlwt): eleven sheets 表1 .. 表11; sheet k has the header
# row 表k甲, 表k乙 and one row of data, so a test can tell which sheet a radio read.
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    book = xlwt.Workbook(encoding="utf-8")
    for k in range(1, 12):
        sheet = book.add_sheet("表%d" % k)
        sheet.write(0, 0, "表%d甲" % k)
        sheet.write(0, 1, "表%d乙" % k)
        sheet.write(1, 0, "x")
        sheet.write(1, 1, "y")
    book.save(os.path.join(HERE, "tables11.xls"))


if __name__ == "__main__":
    main()
