#!/usr/bin/python3
"""Writes the benchmark table in the other file kinds, from the GBK CSV bench_database made.

usage: make_bench_files.py CSV OUT-DIR KIND...   (KIND: dbf, xls, xlsx, xlsx_shared)

Each file is named after the CSV: pupils_65535.csv gives pupils_65535.dbf, .xls,
.xlsx and pupils_65535_shared.xlsx. The two .xlsx forms are the two ways workbooks
come: xlsx with inline strings, as openpyxl's write-only mode writes it, and
xlsx_shared with a shared-string table, as office suites write it (written here
directly, since openpyxl keeps a whole workbook in memory to make one).

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


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def column_letters(index):
    letters = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return letters


SHARED_PARTS = {
    "[Content_Types].xml": '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>''',
    "_rels/.rels": '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>''',
    "xl/workbook.xml": '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>''',
    "xl/_rels/workbook.xml.rels": '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>''',
    "xl/styles.xml": '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts><fills count="1"><fill><patternFill patternType="none"/></fill></fills><borders count="1"><border/></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs></styleSheet>''',
}


def write_xlsx_shared(header, rows, path):
    """Excel's way: every text once in xl/sharedStrings.xml, cells by index, dates as
    day numbers with a date style, rows and cells with their references."""
    import zipfile
    strings, order = {}, []

    def shared(text):
        if text not in strings:
            strings[text] = len(order)
            order.append(text)
        return strings[text]

    epoch = datetime.date(1899, 12, 30)
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
             '<dimension ref="A1:K%d"/><sheetData>' % (len(rows) + 1)]
    for r, values in enumerate([header] + [typed(row) for row in rows], start=1):
        cells = []
        for c, value in enumerate(values):
            ref = "%s%d" % (column_letters(c), r)
            if value is None:
                continue
            if isinstance(value, str):
                cells.append('<c r="%s" t="s"><v>%d</v></c>' % (ref, shared(value)))
            elif isinstance(value, datetime.date):
                cells.append('<c r="%s" s="1"><v>%d</v></c>' % (ref, (value - epoch).days))
            else:
                cells.append('<c r="%s"><v>%s</v></c>' % (ref, repr(value)))
        lines.append('<row r="%d" spans="1:11">%s</row>' % (r, "".join(cells)))
    lines.append("</sheetData></worksheet>")
    sst = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
           '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" uniqueCount="%d">'
           % (len(order), len(order))]
    sst.extend("<si><t>%s</t></si>" % xml_text(text) for text in order)
    sst.append("</sst>")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as book:
        for name, text in SHARED_PARTS.items():
            book.writestr(name, text)
        book.writestr("xl/sharedStrings.xml", "".join(sst))
        book.writestr("xl/worksheets/sheet1.xml", "".join(lines))


def main():
    csv_path, out_dir, kinds = sys.argv[1], sys.argv[2], sys.argv[3:]
    header, rows = read_rows(csv_path)
    writers = {"dbf": write_dbf, "xls": write_xls, "xlsx": write_xlsx, "xlsx_shared": write_xlsx_shared}
    stem = os.path.splitext(os.path.basename(csv_path))[0]
    for kind in kinds:
        # Written under another name first (the dbf module insists on the .dbf ending),
        # so that an interrupted run leaves no half file for the benchmark to trust.
        name = stem + ("_shared.xlsx" if kind == "xlsx_shared" else "." + kind)
        target = os.path.join(out_dir, name)
        partial = os.path.join(out_dir, "partial-" + name)
        writers[kind](header, rows, partial)
        os.replace(partial, target)


if __name__ == "__main__":
    main()
