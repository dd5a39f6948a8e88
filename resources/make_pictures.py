#!/usr/bin/python3
"""Draws the start window's two animated pictures:
  resources/query/pictures/walker.gif    45 x 87: a little figure walking on the spot
  resources/query/pictures/progress.gif  280 x 13: a stripe of blocks running across
Both loop without end and are drawn without anti-aliasing, so a transparent background
(the walker) shows no fringe on any window colour.
Run: /usr/bin/python3 resources/make_pictures.py
"""
import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, "query", "pictures")

# The walker's palette; index 0 is the transparent background.
WALKER_PALETTE = [
    (255, 0, 255),    # 0 transparent
    (40, 36, 32),     # 1 hair, shoes
    (240, 200, 160),  # 2 skin
    (52, 120, 196),   # 3 shirt
    (40, 56, 90),     # 4 trousers
    (170, 170, 170),  # 5 ground shadow
    (30, 82, 150),    # 6 far arm (shirt in shade)
    (28, 40, 66),     # 7 far leg
    (92, 156, 222),   # 8 near arm (lit sleeve)
]


def limb(d, top, angle, length, width, colour):
    """A straight limb hanging from `top`, swung by `angle` radians; returns its end."""
    end = (top[0] + length * math.sin(angle), top[1] + length * math.cos(angle))
    d.line((top, end), fill=colour, width=width)
    r = width // 2
    d.ellipse((end[0] - r, end[1] - r, end[0] + r, end[1] + r), fill=colour)
    return end


def walker_frame(phase):
    img = Image.new("P", (45, 87), 0)
    img.putpalette([c for rgb in WALKER_PALETTE for c in rgb] + [0] * (768 - 3 * len(WALKER_PALETTE)))
    d = ImageDraw.Draw(img)
    swing = 0.45 * math.sin(phase)
    bob = round(1.5 * abs(math.cos(phase)))  # the body rises as the legs pass each other
    hip = (22, 52 - bob)
    shoulder = (22, 28 - bob)
    d.ellipse((12, 83, 33, 86), fill=5)
    # Far side first (darker), then body and head, then the near side.
    knee = limb(d, hip, -swing, 15, 6, 7)
    foot = limb(d, knee, -swing + (0.5 if -swing < 0 else 0.0), 15, 5, 7)
    d.line((foot, (foot[0] + 4, foot[1])), fill=1, width=3)
    limb(d, shoulder, 1.3 * swing, 20, 5, 6)
    d.rounded_rectangle((15, 26 - bob, 29, 54 - bob), radius=4, fill=3)
    d.ellipse((14, 8 - bob, 30, 26 - bob), fill=2)
    d.chord((13, 6 - bob, 31, 22 - bob), 180, 360, fill=1)
    d.point((26, 17 - bob), fill=1)  # the eye, looking ahead (to the right)
    knee = limb(d, hip, swing, 15, 6, 4)
    foot = limb(d, knee, swing + (0.5 if swing < 0 else 0.0), 15, 5, 4)
    d.line((foot, (foot[0] + 4, foot[1])), fill=1, width=3)
    hand = limb(d, shoulder, -1.3 * swing, 20, 5, 8)
    d.ellipse((hand[0] - 2, hand[1] - 2, hand[0] + 2, hand[1] + 2), fill=2)
    return img


def progress_frame(offset):
    w, h = 280, 13
    img = Image.new("RGB", (w, h), (236, 236, 236))
    d = ImageDraw.Draw(img)
    # Lines above and below only: a picture box narrower than the stripe shows its middle,
    # and side edges would then be cut off.
    d.line((0, 0, w - 1, 0), fill=(150, 150, 150))
    d.line((0, h - 1, w - 1, h - 1), fill=(200, 200, 200))
    block, gap, run = 8, 2, 6  # a run of six 8-pixel blocks, 2 pixels apart
    span = run * (block + gap)
    for k in range(run):
        x = (offset + k * (block + gap)) % (w + span) - span
        if x + block < 2 or x > w - 3:
            continue
        shade = 90 + 20 * k  # the leading block is the brightest
        colour = (40, min(255, 110 + shade // 2), 60 + shade // 4)
        d.rectangle((max(2, x), 2, min(w - 3, x + block - 1), h - 3), fill=colour)
    return img


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    frames = [walker_frame(2 * math.pi * i / 10) for i in range(10)]
    path = os.path.join(OUT_DIR, "walker.gif")
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=110, loop=0,
                   transparency=0, disposal=2, optimize=False)
    print("wrote", path, os.path.getsize(path), "bytes")

    step = 10
    frames = [progress_frame(i * step) for i in range((280 + 60) // step)]
    path = os.path.join(OUT_DIR, "progress.gif")
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=60, loop=0,
                   optimize=False)
    print("wrote", path, os.path.getsize(path), "bytes")


if __name__ == "__main__":
    main()
