#!/usr/bin/python3
"""Draws the settings window's pictures, all JPEG:
  resources/settings/pictures/banner.jpg    216 x 176: decoration of page "基本设置"
  resources/settings/pictures/fields.jpg    176 x 192: decoration of page "搜索与显示设置"
                                            (its top 20 rows stay plain for the label on it,
                                            its lower part for the search boxes over it)
  resources/settings/pictures/portrait.jpg  150 x 200: a sample head-and-shoulders portrait
                                            for the caption-mark preview
  resources/settings/pictures/digits.jpg     91 x 12: the digits 1 to 9 and 0 in one row,
                                            the caption marker
Run: /usr/bin/python3 resources/make_settings_pictures.py
"""
import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, "settings", "pictures")


def gradient(size, top, bottom):
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    w, h = size
    for y in range(h):
        t = y / max(1, h - 1)
        d.line(((0, y), (w, y)), fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return img, d


def camera(d, cx, cy, scale):
    """A simple camera: body, lens rings and a flash, centred on (cx, cy)."""
    s = scale
    d.rounded_rectangle((cx - 40 * s, cy - 24 * s, cx + 40 * s, cy + 30 * s), radius=8 * s, fill=(52, 58, 70))
    d.rectangle((cx - 16 * s, cy - 34 * s, cx + 8 * s, cy - 24 * s), fill=(52, 58, 70))
    d.rectangle((cx + 22 * s, cy - 18 * s, cx + 34 * s, cy - 10 * s), fill=(236, 236, 210))
    for r, colour in ((24, (30, 32, 38)), (18, (80, 110, 150)), (11, (40, 60, 96)), (4, (200, 220, 250))):
        d.ellipse((cx - r * s, cy + 3 * s - r * s, cx + r * s, cy + 3 * s + r * s), fill=colour)


def banner():
    img, d = gradient((216, 176), (222, 236, 250), (150, 186, 226))
    for k in range(5):  # soft rings behind the camera
        r = 30 + 14 * k
        d.ellipse((108 - r, 84 - r, 108 + r, 84 + r), outline=(255, 255, 255), width=1)
    camera(d, 108, 84, 1.3)
    d.rectangle((0, 160, 216, 176), fill=(90, 130, 180))
    return img


def fields():
    img, d = gradient((176, 192), (246, 244, 236), (214, 224, 212))
    d.rectangle((0, 0, 176, 20), fill=(246, 244, 236))
    # A magnifying glass over a page of lines, kept above the three search boxes that
    # stand on the lower part of the picture.
    d.rectangle((56, 26, 150, 84), fill=(255, 255, 255), outline=(170, 176, 170))
    for k in range(5):
        d.line(((64, 36 + 10 * k), (140 - 12 * (k % 2), 36 + 10 * k)), fill=(180, 190, 200), width=3)
    d.ellipse((30, 30, 70, 70), outline=(70, 90, 120), width=5)
    d.line(((34, 66), (18, 84)), fill=(70, 90, 120), width=7)
    return img


def portrait():
    img, d = gradient((150, 200), (170, 200, 232), (120, 160, 210))
    # Shoulders and jacket, neck, head, hair: a plain sample person facing the camera.
    d.ellipse((8, 138, 142, 260), fill=(46, 62, 96))
    d.polygon(((60, 140), (75, 176), (90, 140)), fill=(240, 240, 240))
    d.rectangle((62, 112, 88, 146), fill=(226, 188, 156))
    d.ellipse((40, 40, 110, 128), fill=(236, 200, 168))
    d.chord((36, 30, 114, 96), 180, 360, fill=(40, 32, 28))
    d.rectangle((36, 58, 44, 86), fill=(40, 32, 28))
    d.rectangle((106, 58, 114, 86), fill=(40, 32, 28))
    for x in (60, 90):
        d.ellipse((x - 4, 78, x + 4, 84), fill=(40, 32, 28))
    d.arc((62, 96, 88, 112), 20, 160, fill=(170, 90, 80), width=2)
    d.line(((75, 84), (72, 98)), fill=(200, 160, 130), width=2)
    return img


# 5 x 7 pixel digits, rows from the top; "#" is ink.
DIGITS = {
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": [".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
}


def digits():
    img = Image.new("RGB", (91, 12), (255, 255, 255))
    px = img.load()
    for k, ch in enumerate("1234567890"):
        x0 = 2 + 9 * k
        for row, bits in enumerate(DIGITS[ch]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    px[x0 + col, 2 + row] = (200, 20, 20)
    return img


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    for name, img in (("banner", banner()), ("fields", fields()), ("portrait", portrait()), ("digits", digits())):
        img.save(os.path.join(OUT_DIR, name + ".jpg"), quality=92, optimize=True)


if __name__ == "__main__":
    main()
