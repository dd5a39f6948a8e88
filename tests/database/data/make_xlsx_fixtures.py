#!/usr/bin/python3
# Writes the .xlsx fixtures of the reader tests into data/xlsx/ (Debian's
# /usr/bin/python3 with python3-openpyxl):
#   students.xlsx  the .xls fixture's sheets again, with real TRUE/FALSE cells;
#   mac1904.xlsx   a workbook on the 1904 date system;
#   handmade.xlsx  written part by part, for what openpyxl never writes: prefixed
#                  element names, a workbook not at xl/workbook.xml, inline and rich
#                  strings with phonetic runs, _xHHHH_ escapes, cells without
#                  references, error/boolean/formula-string/ISO-date cells, custom date
#                  formats, and a chart sheet that is not a table.
import datetime
import os
import zipfile

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "xlsx")

HEADER = ["姓名", "学号", None, "生日", "分数", "备注", "在校"]
ROWS = [
    ["朱镕基", 1001, "甲", datetime.date(1928, 10, 1), 95.5, None, True],
    ["王堃", 1002, None, datetime.date(2100, 3, 1), 88, "张喆的同学", False],
    [None, 1003, "乙", datetime.datetime(2150, 6, 15, 12, 30, 45), None, "尾部空格  ", None],
    ["李四", 1004, "丙", datetime.date(1900, 1, 5), 60, 123, True],
    None,
    ["赵六", 1006, "丁", datetime.date(1900, 3, 1), 0.25, datetime.date(2001, 2, 3), False],
    ["钱七", 1007, "戊", datetime.date(9999, 12, 31), -1, "x", True],
]


def fill(sheet, header, rows):
    for col, name in enumerate(header, start=1):
        if name is not None:
            sheet.cell(row=1, column=col, value=name)
    for r, row in enumerate(rows, start=2):
        if row is None:
            continue
        for col, value in enumerate(row, start=1):
            if value is None:
                continue
            cell = sheet.cell(row=r, column=col, value=value)
            if isinstance(value, datetime.datetime):
                cell.number_format = "yyyy-mm-dd hh:mm:ss"
            elif isinstance(value, datetime.date):
                cell.number_format = "yyyy-mm-dd"


def students():
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "学生名单"
    fill(sheet, HEADER, ROWS)
    sheet.cell(row=1, column=8, value="时刻")
    sheet.cell(row=2, column=8, value=datetime.time(8, 30)).number_format = "hh:mm:ss"
    # Formatted empty cells after the table.
    for r in range(9, 12):
        sheet.cell(row=r, column=1).number_format = "0.00"
    spaced = book.create_sheet("my sheet")
    fill(spaced, ["名称", "名称", "NAME", "name"], [["a", "b", "c", "d"]])
    book.create_sheet("空表")
    book.save(os.path.join(OUT, "students.xlsx"))


def mac1904():
    book = openpyxl.Workbook()
    book.epoch = CALENDAR_MAC_1904
    sheet = book.active
    sheet.title = "Sheet1"
    fill(sheet, ["日期"], [[datetime.date(2000, 1, 1)], [datetime.datetime(1904, 1, 2, 6, 0)]])
    book.save(os.path.join(OUT, "mac1904.xlsx"))


NS_MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
NS_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS_PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
T_DOC = NS_REL + "/officeDocument"
T_SHEET = NS_REL + "/worksheet"
T_CHART = NS_REL + "/chartsheet"
T_SST = NS_REL + "/sharedStrings"
T_STYLES = NS_REL + "/styles"

HANDMADE = {
    "[Content_Types].xml": """<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
</Types>""",
    "_rels/.rels": f"""<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="{NS_PKG}">
<Relationship Id="rId1" Type="{T_DOC}" Target="book/wb.xml"/>
</Relationships>""",
    "book/wb.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<x:workbook xmlns:x="{NS_MAIN}" xmlns:rel="{NS_REL}">
<x:sheets>
<x:sheet name="图表" sheetId="3" rel:id="rId3"/>
<x:sheet name="数据 表" sheetId="1" rel:id="rId1"/>
<x:sheet name="Second" sheetId="2" rel:id="rId2"/>
</x:sheets>
</x:workbook>""",
    "book/_rels/wb.xml.rels": f"""<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="{NS_PKG}">
<Relationship Id="rId1" Type="{T_SHEET}" Target="sheets/one.xml"/>
<Relationship Id="rId2" Type="{T_SHEET}" Target="/book/sheets/two.xml"/>
<Relationship Id="rId3" Type="{T_CHART}" Target="charts/c1.xml"/>
<Relationship Id="rId4" Type="{T_SST}" Target="strings.xml"/>
<Relationship Id="rId5" Type="{T_STYLES}" Target="../book/styles.xml"/>
</Relationships>""",
    "book/strings.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<x:sst xmlns:x="{NS_MAIN}" count="4" uniqueCount="4">
<x:si><x:t>编号</x:t></x:si>
<x:si><x:r><x:rPr><x:b/></x:rPr><x:t>姓</x:t></x:r><x:r><x:t xml:space="preserve">名 </x:t></x:r><x:rPh sb="0" eb="1"><x:t>ピン</x:t></x:rPh></x:si>
<x:si><x:t>第一行_x000D_第二行</x:t></x:si>
<x:si><x:t>日期</x:t></x:si>
</x:sst>""",
    "book/styles.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<x:styleSheet xmlns:x="{NS_MAIN}">
<x:numFmts count="3">
<x:numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>
<x:numFmt numFmtId="165" formatCode="0.0&quot;d&quot;"/>
<x:numFmt numFmtId="166" formatCode="[h]:mm"/>
</x:numFmts>
<x:cellStyleXfs count="1"><x:xf numFmtId="14"/></x:cellStyleXfs>
<x:cellXfs count="5">
<x:xf numFmtId="0"/>
<x:xf numFmtId="164"/>
<x:xf numFmtId="165"/>
<x:xf numFmtId="166"/>
<x:xf numFmtId="57"/>
</x:cellXfs>
</x:styleSheet>""",
    # Row 1: header 编号 | 姓名 | (gap: column C empty) | 日期.  Cells without r follow
    # the previous cell; rows without r follow the previous row.
    "book/sheets/one.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<x:worksheet xmlns:x="{NS_MAIN}">
<x:dimension ref="A1:XFD9"/>
<x:sheetData>
<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c t="s"><x:v>1</x:v></x:c><x:c r="D1" t="s"><x:v>3</x:v></x:c><x:c r="E1" t="inlineStr"><x:is><x:r><x:t>备</x:t></x:r><x:r><x:t>注</x:t></x:r><x:rPh><x:t>ビ</x:t></x:rPh></x:is></x:c></x:row>
<x:row r="2"><x:c r="A2"><x:v>1</x:v></x:c><x:c r="B2" t="s"><x:v>2</x:v></x:c><x:c r="C2" t="e"><x:v>#N/A</x:v></x:c><x:c r="D2" s="1"><x:v>45000</x:v></x:c><x:c r="E2" t="str"><x:f>A1</x:f><x:v>公式_x0041_结果</x:v></x:c></x:row>
<x:row><x:c><x:v>2</x:v></x:c><x:c t="b"><x:v>1</x:v></x:c><x:c/><x:c s="4"><x:v>2.5</x:v></x:c><x:c s="2"><x:v>3.5</x:v></x:c></x:row>
<x:row r="6"><x:c r="A6"><x:v>6</x:v></x:c><x:c r="D6" t="d"><x:v>2024-02-29T10:20:30</x:v></x:c><x:c r="E6" s="3"><x:v>1.5</x:v></x:c><x:c r="XFD6" s="1"/></x:row>
<x:row r="9" spans="1:3"><x:c r="A9" s="1"/><x:c r="B9" t="s"/></x:row>
</x:sheetData>
</x:worksheet>""",
    "book/sheets/two.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="{NS_MAIN}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>只有表头</t></is></c></row></sheetData></worksheet>""",
    "book/charts/c1.xml": f"""<?xml version="1.0" encoding="UTF-8"?>
<chartsheet xmlns="{NS_MAIN}"/>""",
}


def handmade():
    with zipfile.ZipFile(os.path.join(OUT, "handmade.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in HANDMADE.items():
            z.writestr(name, text.encode("utf-8"))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    students()
    mac1904()
    handmade()
