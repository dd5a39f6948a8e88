#!/usr/bin/python3
# Writes the dBASE fixtures of the reader tests into data/dbf/ (run with Debian's
# /usr/bin/python3; python3-dbf makes plain.dbf, the rest are written byte by byte so
# that the odd cases - GBK field names, blank fields, deleted records, memo files,
# FoxPro field kinds, code-page marks - are exactly what the tests expect).
import datetime
import os
import struct

import dbf

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "dbf")


def header(version, fields, records, record_length, ldid, backlink=False):
    """32-byte file header + field descriptors + 0x0D (+ FoxPro's 263-byte backlink)."""
    descriptors = b""
    offset = 1
    for name, kind, width, decimals in fields:
        raw = name[:10].ljust(11, b"\0")
        descriptors += raw + kind.encode() + struct.pack("<I", offset) + bytes([width, decimals]) + bytes(14)
        offset += width
    assert offset == record_length, (offset, record_length)
    length = 32 + len(descriptors) + 1 + (263 if backlink else 0)
    head = struct.pack("<B3BIHH", version, 124, 1, 2, records, length, record_length)
    head += bytes(17) + bytes([ldid]) + bytes(2)
    return head + descriptors + b"\r" + (bytes(263) if backlink else b"")


def record(values, deleted=False):
    return (b"*" if deleted else b" ") + b"".join(values)


def c(text, width, encoding="gbk"):
    return text.encode(encoding).ljust(width, b" ")


def n(text, width):
    return text.encode().rjust(width, b" ")


def write(name, fields, records, version=0x03, ldid=0x4D, backlink=False, eof=True):
    length = 1 + sum(f[2] for f in fields)
    data = header(version, fields, len(records), length, ldid, backlink) + b"".join(records)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data + (b"\x1a" if eof else b""))


def students():
    # GBK field names; 镕 堃 喆 are in GBK but not in GB2312.
    fields = [("姓名".encode("gbk"), "C", 10, 0), ("学号".encode("gbk"), "N", 6, 0),
              ("分数".encode("gbk"), "N", 5, 1), ("生日".encode("gbk"), "D", 8, 0),
              ("在校".encode("gbk"), "L", 1, 0), ("备注".encode("gbk"), "C", 20, 0),
              ("系数".encode("gbk"), "F", 10, 4)]
    rows = [
        record([c("朱镕基", 10), n("1001", 6), n("95.5", 5), b"19281001", b"T", c("  前导空格保留", 20), n("1.2345", 10)]),
        record([c("王堃", 10), n("1002", 6), n("", 5), b"        ", b"F", c("", 20), n("", 10)]),
        record([c("删除的人", 10), n("1003", 6), n("1.0", 5), b"20000101", b"T", c("不应出现", 20), n("0", 10)], deleted=True),
        record([c("张喆", 10), n("", 6), n("60.0", 5), b"21000301", b"?", c("备注", 20), n("-0.5000", 10)]),
        record([c("", 10), n("-7", 6), n("*****", 5), b"19990231", b"y", c("x", 20), n("1e3", 10)]),
    ]
    write("学生.dbf", fields, rows)


def memo_dbase3():
    fields = [(b"NAME", "C", 8, 0), ("说明".encode("gbk"), "M", 10, 0)]
    rows = [record([c("one", 8), n("1", 10)]), record([c("two", 8), n("", 10)]),
            record([c("three", 8), n("2", 10)])]
    write("memo3.dbf", fields, rows, version=0x83, ldid=0x00)
    blocks = [struct.pack("<I", 3).ljust(512, b"\0"),
              ("第一条备注，含镕字\r\n第二行").encode("gbk") + b"\x1a\x1a",
              b"second memo" + b"\x1a\x1a"]
    memo = blocks[0] + blocks[1].ljust(512, b"\0") + blocks[2]
    with open(os.path.join(OUT, "memo3.dbt"), "wb") as f:
        f.write(memo)


def foxpro():
    # Visual FoxPro: binary integer, double, currency, date-time, a memo in .FPT (upper
    # case, as FoxPro on Windows often leaves it) and the hidden _NullFlags field.
    fields = [(b"ID", "I", 4, 0), (b"RATE", "B", 8, 2), (b"PRICE", "Y", 8, 4),
              (b"STAMP", "T", 8, 0), (b"NOTE", "M", 4, 0), (b"_NullFlags", "0", 1, 0)]

    def stamp(dt):
        if dt is None:
            return bytes(8)
        jd = dt.toordinal() + 1721425
        ms = ((dt.hour * 60 + dt.minute) * 60 + dt.second) * 1000
        return struct.pack("<ii", jd, ms)

    rows = [
        record([struct.pack("<i", 7), struct.pack("<d", 2.5), struct.pack("<q", 123450),
                stamp(datetime.datetime(2024, 2, 29, 13, 45, 30)), struct.pack("<I", 8), b"\0"]),
        record([struct.pack("<i", -42), struct.pack("<d", -0.125), struct.pack("<q", 0),
                stamp(None), struct.pack("<I", 0), b"\0"]),
    ]
    write("fox.dbf", fields, rows, version=0x30, ldid=0x7A, backlink=True, eof=False)
    block = 64
    memo = struct.pack(">IHH", 9, 0, block).ljust(512, b"\0")
    text = "狐狸备注".encode("gbk")
    memo += struct.pack(">II", 1, len(text)) + text
    with open(os.path.join(OUT, "fox.FPT"), "wb") as f:
        f.write(memo.ljust(512 + block, b"\0"))


def other_code_pages():
    # LDID 0xC9: Windows-1251 (Cyrillic), a field name in Cyrillic too.
    fields = [("ИМЯ".encode("cp1251"), "C", 12, 0)]
    write("cp1251.dbf", fields, [record([c("Привет", 12, "cp1251")])], ldid=0xC9)
    # No language-driver mark, but a .cpg saying UTF-8.
    fields = [("名字".encode("utf-8"), "C", 12, 0)]
    write("utf8.dbf", fields, [record([c("朱镕基", 12, "utf-8")])], ldid=0x00)
    with open(os.path.join(OUT, "utf8.cpg"), "w") as f:
        f.write("UTF-8\n")


def duplicates():
    fields = [(b"NAME", "C", 4, 0), (b"name", "C", 4, 0), (b"NAME1", "C", 4, 0), (b"NAME", "C", 4, 0)]
    write("dups.dbf", fields, [record([c("a", 4), c("b", 4), c("c", 4), c("d", 4)])])


def plain():
    path = os.path.join(OUT, "plain.dbf")
    if os.path.exists(path):
        os.remove(path)
    t = dbf.Table(path, "name C(10); birth D; score N(5,1); ok L", codepage="cp936", dbf_type="db3")
    t.open(dbf.READ_WRITE)
    t.append(("王五", datetime.date(1990, 5, 4), 77.5, True))
    t.append(("", None, None, None))
    t.close()


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    students()
    memo_dbase3()
    foxpro()
    other_code_pages()
    duplicates()
    plain()
