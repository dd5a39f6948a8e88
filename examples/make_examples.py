#!/usr/bin/python3
"""Makes the example data that lookup opens on a fresh install, in examples/data/:
  例子.xls                      one sheet "Sheet1": 序号, 姓名, 班级, 性别, 出生日期 and
                                 200 made-up pupils in four classes
  photo/<班级>/<序号>.jpg        a drawn portrait for nine pupils in ten
The default quillmar.ini (dbname=例子.xls, search by 姓名, display 序号 / 班级 / 姓名)
works on it unchanged. Everything is made up and drawn here; a fixed seed makes every
run give the same files.
Run: /usr/bin/python3 examples/make_examples.py  (needs python3-xlwt, python3-pil and
fonts-wqy-microhei)
"""
import datetime
import os
import random
import shutil

import xlwt
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

CLASSES = ["一班", "二班", "三班", "四班"]
PUPILS = 200
SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"
GIVEN = "子涵欣怡梓轩浩然雨萱一诺宇航思源佳琪俊杰诗雨晨阳嘉怡睿博梦瑶明轩雅静天佑若曦泽宇可馨文博书瑶振华晓彤建国海燕志强丽娟伟霞"
# A pupil from abroad: a name with an apostrophe, which a search must still find.
FOREIGN_NAME = "Liam O'Neil"


def make_pupils(rng):
    pupils, seen = [], set()
    for n in range(1, PUPILS + 1):
        while True:
            given = "".join(rng.choice(GIVEN) for _ in range(rng.choice((1, 2, 2))))
            name = rng.choice(SURNAMES) + given
            if name not in seen:
                seen.add(name)
                break
        cls = CLASSES[(n - 1) * len(CLASSES) // PUPILS]
        sex = rng.choice(("男", "女"))
        born = datetime.date(2011, 9, 1) + datetime.timedelta(days=rng.randrange(365))
        pupils.append({"序号": "%04d" % n, "姓名": name, "班级": cls, "性别": sex,
                       "出生日期": born})
    pupils[41].update({"姓名": FOREIGN_NAME, "性别": "男"})
    return pupils


def write_workbook(pupils, path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    header = ["序号", "姓名", "班级", "性别", "出生日期"]
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    for c, name in enumerate(header):
        sheet.write(0, c, name)
    for r, pupil in enumerate(pupils, start=1):
        for c, name in enumerate(header):
            if name == "出生日期":
                sheet.write(r, c, pupil[name], date_style)
            else:
                sheet.write(r, c, pupil[name])  # 序号 stays text: photos are 0001.jpg
    sheet.col(1).width = 14 * 256
    sheet.col(4).width = 12 * 256
    book.save(path)


def portrait(pupil, rng, font):
    """A head-and-shoulders drawing, 120 x 160, with the name as the capture program
    marks it (red on white, near the bottom left)."""
    k = 2  # drawn at twice the size, then scaled down for smooth edges
    w, h = 120 * k, 160 * k
    top = tuple(rng.randrange(170, 236) for _ in range(3))
    bottom = tuple(max(0, c - 40) for c in top)
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / (h - 1)
        d.line((0, y, w, y), fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))

    skin = rng.choice([(241, 204, 170), (232, 190, 150), (222, 178, 140), (245, 214, 186)])
    hair = rng.choice([(25, 22, 20), (40, 30, 24), (58, 42, 30), (20, 20, 28)])
    shirt = rng.choice([(40, 80, 160), (200, 60, 60), (240, 240, 240), (60, 130, 90),
                        (230, 170, 40), (110, 70, 150)])
    girl = pupil["性别"] == "女"
    cx = w // 2 + rng.randrange(-6, 7)
    head_w, head_h = 96 + rng.randrange(-6, 7), 116 + rng.randrange(-6, 7)
    head_top = 52 + rng.randrange(-6, 7)

    if girl:  # long hair falls behind the shoulders
        d.rounded_rectangle((cx - head_w // 2 - 14, head_top + 10, cx + head_w // 2 + 14,
                             head_top + head_h + 40), radius=30, fill=hair)
    d.ellipse((cx - 120, 196, cx + 120, 440), fill=shirt)                  # shoulders
    d.rectangle((cx - 20, head_top + head_h - 20, cx + 20, 208), fill=skin)  # neck
    d.polygon(((cx - 26, 198), (cx, 232), (cx + 26, 198)), fill=(250, 250, 250))  # collar
    d.ellipse((cx - head_w // 2, head_top, cx + head_w // 2, head_top + head_h), fill=skin)
    d.ellipse((cx - head_w // 2 - 6, head_top + head_h // 2 - 8, cx - head_w // 2 + 8,
               head_top + head_h // 2 + 14), fill=skin)                    # ears
    d.ellipse((cx + head_w // 2 - 8, head_top + head_h // 2 - 8, cx + head_w // 2 + 6,
               head_top + head_h // 2 + 14), fill=skin)
    # Hair on top: a cap of hair with a fringe.
    d.chord((cx - head_w // 2 - 4, head_top - 8, cx + head_w // 2 + 4,
             head_top + head_h // 2 + 16), 180, 360, fill=hair)
    fringe = rng.randrange(14, 30)
    d.rectangle((cx - head_w // 2 + 2, head_top + head_h // 4 - 4, cx + head_w // 2 - 2,
                 head_top + head_h // 4 + fringe - 14), fill=hair)
    eye_y = head_top + head_h // 2 + 4
    for dx in (-16, 16):
        d.ellipse((cx + dx - 4, eye_y - 4, cx + dx + 4, eye_y + 4), fill=(30, 30, 30))
    d.arc((cx - 14, eye_y + 14, cx + 14, eye_y + 30), 20, 160, fill=(170, 70, 70), width=3)

    img = img.resize((120, 160), Image.LANCZOS)
    d = ImageDraw.Draw(img)
    name = pupil["姓名"]
    box = d.textbbox((0, 0), name, font=font)
    x, y = 8, 160 - 12 - (box[3] - box[1])
    d.rectangle((x - 2, y + box[1] - 2, x + box[2] + 2, y + box[3] + 2), fill=(255, 255, 255))
    d.text((x, y), name, font=font, fill=(255, 0, 0))
    return img


def main():
    rng = random.Random(20240506)
    pupils = make_pupils(rng)
    if os.path.isdir(DATA):
        shutil.rmtree(DATA)
    os.makedirs(DATA)
    write_workbook(pupils, os.path.join(DATA, "例子.xls"))

    font = ImageFont.truetype(FONT, 12)
    photos = 0
    for pupil in pupils:
        draw_rng = random.Random(pupil["序号"])
        if draw_rng.random() < 0.1 and pupil["姓名"] != FOREIGN_NAME:
            continue  # not photographed yet
        folder = os.path.join(DATA, "photo", pupil["班级"])
        os.makedirs(folder, exist_ok=True)
        portrait(pupil, draw_rng, font).save(os.path.join(folder, pupil["序号"] + ".jpg"),
                                             quality=75, optimize=True)
        photos += 1
    print("wrote %d pupils and %d photos under %s" % (len(pupils), photos, DATA))


if __name__ == "__main__":
    main()
