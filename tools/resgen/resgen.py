#!/usr/bin/env python3
"""Draws the program's icons and bitmaps pixel by pixel and writes them as
.ico and .bmp files. The output depends on nothing but this file, so the
committed images in res/ can be checked against a fresh run:

    resgen.py OUTDIR
"""
import os
import struct
import sys

GREEN = (0x20, 0xC0, 0x20)
YELLOW = (0xF0, 0xD0, 0x00)
RED = (0xE0, 0x20, 0x10)
DARK = (0x30, 0x30, 0x30)
UNLIT = (0x60, 0x60, 0x60)
WHITE = (0xFF, 0xFF, 0xFF)

# 3 x 5 glyphs for the word under the tray bar.
GLYPHS = {
    "C": ["###", "#..", "#..", "#..", "###"],
    "P": ["###", "#.#", "###", "#..", "#.."],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[None] * w for _ in range(h)]  # None = transparent

    def set(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = rgb

    def rect(self, x0, y0, x1, y1, rgb):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, rgb)

    def text(self, x, y, word, rgb):
        for ch in word:
            for dy, line in enumerate(GLYPHS[ch]):
                for dx, c in enumerate(line):
                    if c == "#":
                        self.set(x + dx, y + dy, rgb)
            x += 4


def bar_colour(column, lit_columns):
    """Colour of lit bar column `column` (0-based) of 14: green, then yellow,
    and red for the last two columns of the full bar."""
    if column >= 12:
        return RED
    if column >= 8:
        return YELLOW
    return GREEN


def tray_icon(k):
    """TICONkk: a 14-column bar, k columns lit, above the letters CPU."""
    c = Canvas(16, 16)
    c.rect(0, 1, 15, 7, DARK)              # bar frame
    c.rect(1, 2, 14, 6, UNLIT)
    for col in range(k):
        c.rect(1 + col, 2, 1 + col, 6, bar_colour(col, k))
    c.rect(1, 9, 14, 15, DARK)             # plate under the letters
    c.text(2, 10, "CPU", WHITE)
    return c


# The sides the shell shows tray icons at: 100, 125, 150 and 200 %; above,
# the system scales the 32-pixel frame. The program's own icon has 40 and 48
# as well, for the file's icon in Explorer.
TRAY_SIDES = (16, 20, 24, 32)
APP_SIDES = (32, 16, 20, 24, 40, 48)


def scaled(canvas, side):
    """The canvas at side x side, nearest neighbour: every pixel a copy of one
    pixel of the 16-pixel drawing, the way the program scales its skins, so
    the larger frames keep hard edges and exact colours."""
    c = Canvas(side, side)
    for y in range(side):
        sy = (2 * y + 1) * canvas.h // (2 * side)
        for x in range(side):
            c.px[y][x] = canvas.px[sy][(2 * x + 1) * canvas.w // (2 * side)]
    return c


def app_icon(size):
    """MYICON: a larger segmented bar, green, yellow and red segments."""
    c = Canvas(size, size)
    segments = 5 if size >= 32 else 4
    seg_w = (size - 4) // segments
    c.rect(0, size // 4, size - 1, size - size // 4 - 1, DARK)
    colours = [GREEN, GREEN, YELLOW, YELLOW, RED] if segments == 5 else [GREEN, GREEN, YELLOW, RED]
    for i in range(segments):
        x0 = 2 + i * seg_w
        c.rect(x0, size // 4 + 2, x0 + seg_w - 2, size - size // 4 - 3, colours[i])
    return c


def check_mark():
    """Bitmap 105: an 8 x 8 tick in shades of blue on white."""
    c = Canvas(8, 8)
    c.rect(0, 0, 7, 7, WHITE)
    shades = [(0x20, 0x40, 0xA0), (0x30, 0x60, 0xD0), (0x50, 0x80, 0xF0)]
    tick = [(1, 4), (2, 5), (3, 6), (4, 5), (5, 4), (6, 3), (7, 2)]
    for i, (x, y) in enumerate(tick):
        c.set(x, y, shades[i % 3])
        c.set(x, y - 1, shades[(i + 1) % 3])
    return c


def browse_button():
    """Bitmap 104: a 16 x 16 raised box for the browse buttons, light along its
    top and left edges and dark along its right and bottom edges, with three
    dots standing for "browse"."""
    face = (0xC0, 0xC0, 0xC0)
    c = Canvas(16, 16)
    c.rect(0, 0, 15, 15, face)
    c.rect(0, 0, 15, 0, WHITE)
    c.rect(0, 0, 0, 15, WHITE)
    c.rect(1, 15, 15, 15, DARK)
    c.rect(15, 1, 15, 15, DARK)
    c.rect(1, 14, 14, 14, (0x80, 0x80, 0x80))
    c.rect(14, 1, 14, 14, (0x80, 0x80, 0x80))
    for x in (4, 7, 10):
        c.rect(x, 9, x + 1, 10, (0x00, 0x00, 0x00))
    return c


def bmp_rows(canvas, background=WHITE):
    rows = []
    for y in range(canvas.h - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(canvas.w):
            r, g, b = canvas.px[y][x] or background
            row += bytes((b, g, r))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    return b"".join(rows)


def write_bmp(path, canvas):
    pixels = bmp_rows(canvas)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def icon_image(canvas):
    """One frame, 4 bits per pixel: the drawings have a handful of flat
    colours, and the program carries a frame of every tray size for each of
    its sixteen icons. Transparent pixels are index 0 under a set mask bit."""
    colours = sorted({p for row in canvas.px for p in row if p is not None})
    assert len(colours) < 16, "a 4-bit frame holds 15 colours and the see-through one"
    palette = [(0, 0, 0)] + colours
    index = {c: i for i, c in enumerate(palette)}
    stride = ((canvas.w * 4 + 31) // 32) * 4
    xor = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.w):
            p = canvas.px[y][x]
            row[x // 2] |= (index[p] if p else 0) << (4 if x % 2 == 0 else 0)
        xor += row
    mask = bytearray()
    stride = ((canvas.w + 31) // 32) * 4
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.w):
            if canvas.px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette + [(0, 0, 0)] * (16 - len(palette)))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return info + quads + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, "wb") as f:
        f.write(out)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: resgen.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "myicon.ico"), [app_icon(s) for s in APP_SIDES])
    for k in range(15):
        write_ico(os.path.join(out, "ticon%02d.ico" % k), [scaled(tray_icon(k), s) for s in TRAY_SIDES])
    write_bmp(os.path.join(out, "check.bmp"), check_mark())
    write_bmp(os.path.join(out, "browse.bmp"), browse_button())


if __name__ == "__main__":
    main()
