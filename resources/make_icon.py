#!/usr/bin/python3
"""Draws the query window's icon, resources/query/lookup.ico: a magnifier over a
person's record card, in twelve sizes from 16 x 16 to 128 x 128.

Each size is drawn on its own at four times the size and scaled down, with the strokes
made heavier for the small sizes so that 16 x 16 stays legible. The icon file is written
here by hand (32-bit BMP entries with an AND mask) rather than by Pillow, whose icon
writer stores PNG entries that older icon readers reject.
Run: /usr/bin/python3 resources/make_icon.py
"""
import io
import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "query", "lookup.ico")
SIZES = [16, 20, 24, 32, 40, 48, 56, 64, 72, 80, 96, 128]
SCALE = 4

CARD = (250, 247, 236, 255)
CARD_EDGE = (96, 104, 120, 255)
HEADER = (52, 120, 196, 255)
PERSON = (70, 84, 110, 255)
TEXT_LINE = (150, 160, 175, 255)
RING = (40, 44, 52, 255)
GLASS = (178, 220, 250, 150)
HANDLE = (150, 88, 36, 255)


def draw_icon(size):
    s = size * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    small = size <= 24
    u = s / 32.0  # one unit of a 32-unit design grid

    # The card: a rounded rectangle with a coloured header strip.
    edge = max(SCALE, round(u * (1.4 if small else 1.0)))
    card = (round(1 * u), round(3 * u), round(27 * u), round(24 * u))
    d.rounded_rectangle(card, radius=round(3 * u), fill=CARD, outline=CARD_EDGE, width=edge)
    d.rounded_rectangle((card[0] + edge, card[1] + edge, card[2] - edge, round(8 * u)),
                        radius=round(2 * u), fill=HEADER)

    # The person: head and shoulders on the left half of the card.
    d.ellipse((round(5 * u), round(10 * u), round(11 * u), round(16 * u)), fill=PERSON)
    d.pieslice((round(3 * u), round(16.5 * u), round(13 * u), round(27 * u)), 180, 360,
               fill=PERSON)

    # Text lines on the right; the small sizes show two thick ones instead of three.
    lines = [11.5, 16] if small else [11, 14.5, 18]
    thick = round(u * (2.2 if small else 1.6))
    for y in lines:
        d.rectangle((round(15 * u), round(y * u), round(24 * u), round(y * u) + thick),
                    fill=TEXT_LINE)

    # The magnifier over the lower right corner: handle first, then glass and ring.
    ring = round(u * (2.8 if small else 2.2))
    cx, cy, r = 20.5 * u, 19.5 * u, 7.0 * u
    d.line((round(cx + r * 0.62), round(cy + r * 0.62), round(30.5 * u), round(30.5 * u)),
           fill=HANDLE, width=round(u * (4.2 if small else 3.6)))
    glass = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    ImageDraw.Draw(glass).ellipse((round(cx - r), round(cy - r), round(cx + r), round(cy + r)),
                                  fill=GLASS)
    img = Image.alpha_composite(img, glass)
    d = ImageDraw.Draw(img)
    d.ellipse((round(cx - r), round(cy - r), round(cx + r), round(cy + r)), outline=RING,
              width=ring)
    if not small:  # a glint on the glass
        d.arc((round(cx - r * 0.6), round(cy - r * 0.6), round(cx + r * 0.6),
               round(cy + r * 0.6)), 200, 260, fill=(255, 255, 255, 230), width=round(u))
    return img.resize((size, size), Image.LANCZOS)


def bmp_entry(img):
    """A 32-bit BGRA DIB as an icon stores it: bottom-up rows, doubled height, AND mask."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    entries = [bmp_entry(img) for img in images]
    out = io.BytesIO()
    out.write(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, data in zip(images, entries):
        w, h = img.size
        out.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset))
        offset += len(data)
    for data in entries:
        out.write(data)
    with open(path, "wb") as f:
        f.write(out.getvalue())


def main():
    images = [draw_icon(size) for size in SIZES]
    write_ico(OUT, images)
    print("wrote", OUT, os.path.getsize(OUT), "bytes")


if __name__ == "__main__":
    main()
