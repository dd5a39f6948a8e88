#!/usr/bin/python3
"""Writes the benchmark table in the other file kinds, from the GBK CSV bench_database made.

usage: make_bench_files.py CSV OUT-DIR KIND...   (KIND: dbf, xls, xlsx)

The rows and columns are the CSV's: 序号, 姓名, 班级, 性别, 出生日期 (a date), 成绩 (a
number, empty in some rows), 学号, 地址, 电话, 备注, 邮箱. A .xls sheet holds at most
65,536 rows, so the .xls file gets the header and the first 65,535 rows only.
Needs Debian's python3-dbf, python3-xlwt and python3-openpyxl (run with /usr/bin/python3).
"""
import csv
import datetime
import os
import sys


def read_rows(path):
    with open(path, encoding="gbk", newline="") as f:
        rows = list(csv.reader(f))
    return rows[0], rows[1:]


def typed(row):
    """The CSV texts as the values a spreadsheet or dBASE file would hold."""
    out = list(row)
    out[0] = int(row[0])
    out[4] = datetime.date.fromisoformat(row[4])
    out[5] = float(row[5]) if row[5] else None
    out[6] = int(row[6])
    out[8] = int(row[8])
    out[9] = row[9] or None
    return out


def write_dbf(header, rows, path):
    import dbf
    # dBASE field names are ASCII and at most 10 bytes.
    fields = ("xh N(7,0); xm C(20); bj C(10); xb C(4); csrq D; cj N(6,1); xuehao N(9,0); "
            "dz C(40); dh N(12,0); bz C(30); yx C(40)")
    table = dbf.Table(path, fields, codepage="cp936")
    table.open(dbf.READ_WRITE)
    for row in rows:
        v = typed(row)
        table.append(tuple(x if x is not None else (0 if i in (0, 5, 6, 8) else "") for i, x in enumerate(v)))
    table.close()


def write_xls(header, rows, path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for c, name in enumerate(header):
        sheet.write(0, c, name)
    for r, row in enumerate(rows[:65535], start=1):
        for c, value in enumerate(typed(row)):
            if value is None:
                continue
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, date_style)
            else:
                sheet.write(r, c, value)
    book.save(path)


def write_xlsx(header, rows, path):
    import openpyxl
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    sheet.append(header)
    for row in rows:
        sheet.append(typed(row))
    book.save(path)


def main():
    csv_path, out_dir, kinds = sys.argv[1], sys.argv[2], sys.argv[3:]
    header, rows = read_rows(csv_path)
    writers = {"dbf": write_dbf, "xls": write_xls, "xlsx": write_xlsx}
    for kind in kinds:
        # Written under another name first (the dbf module insists on the .dbf ending),
        # so that an interrupted run leaves no half file for the benchmark to trust.
        target = os.path.join(out_dir, "pupils." + kind)
        partial = os.path.join(out_dir, "partial-pupils." + kind)
        writers[kind](header, rows, partial)
        os.replace(partial, target)


if __name__ == "__main__":
    main()
