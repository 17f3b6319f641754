#!/usr/bin/env python3
"""Draws the two skins that ship with the program and writes each as a
folder with skin.ini and 24-bit BMP files. The output depends on nothing but
this file, so the committed skins in res/skins can be checked against a
fresh run:

    skingen.py OUTDIR        (writes OUTDIR/default and OUTDIR/night)

Colour keys of the skin format: pure green (0, 255, 0) in a frame piece is
see-through, pure blue (0, 0, 255) in the frame bands is cut out of the
window.
"""
import os
import struct
import sys

GREEN = (0, 255, 0)
BLUE = (0, 0, 255)


class Picture:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = rgb

    def get(self, x, y):
        return self.px[y][x]

    def mirrored(self):
        p = Picture(self.w, self.h, None)
        p.px = [list(reversed(row)) for row in self.px]
        return p

    def flipped(self):
        p = Picture(self.w, self.h, None)
        p.px = list(reversed([list(row) for row in self.px]))
        return p

    def transposed(self):
        p = Picture(self.h, self.w, None)
        p.px = [[self.px[x][y] for x in range(self.h)] for y in range(self.w)]
        return p

    def bmp(self):
        stride = (3 * self.w + 3) & ~3
        rows = b""
        for row in reversed(self.px):  # bottom-up
            line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
            rows += line + b"\0" * (stride - len(line))
        header = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(rows),
                             2835, 2835, 0, 0)
        return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 54) + header + rows


def ini(back, font, padding):
    return ("[COLOR]\r\nBACK=%d %d %d\r\nFONT=%d %d %d\r\n[LAYOUT]\r\nPADDING=%d %d %d %d\r\n"
            "[ICONS]\r\nPATH=\r\n" % (back + font + padding)).encode("ascii")


def default_skin():
    """Light grey panel with a raised two-pixel bevel and square corners."""
    back = (220, 220, 220)
    light, mid, dark, shadow = (255, 255, 255), (236, 236, 236), (128, 128, 128), (72, 72, 72)
    tile = Picture(16, 16, back)
    for y in range(16):
        for x in range(16):
            # A faint diagonal weave, darker by two levels every fourth pixel.
            if (x + y) % 4 == 0:
                tile.set(x, y, (214, 214, 216))
    top = Picture(8, 2, None)
    for x in range(8):
        top.set(x, 0, light)
        top.set(x, 1, mid)
    bottom = Picture(8, 2, None)
    for x in range(8):
        bottom.set(x, 0, dark)
        bottom.set(x, 1, shadow)
    left = top.transposed()
    right = bottom.transposed()
    lt = Picture(2, 2, light)
    lt.set(1, 1, mid)
    rb = Picture(2, 2, shadow)
    rb.set(0, 0, dark)
    # The two mixed corners: the light side meets the dark side on the diagonal.
    rt = Picture(2, 2, light)
    rt.set(1, 0, shadow)
    rt.set(0, 1, dark)
    rt.set(1, 1, shadow)
    lb = Picture(2, 2, light)
    lb.set(0, 1, shadow)
    lb.set(1, 0, mid)
    lb.set(1, 1, shadow)
    files = {"back.bmp": tile, "backST.bmp": top, "backSB.bmp": bottom, "backSL.bmp": left,
             "backSR.bmp": right, "backLT.bmp": lt, "backRT.bmp": rt, "backRB.bmp": rb,
             "backLB.bmp": lb}
    return ini(back, (0, 0, 0), (4, 8, 4, 8)), files


def night_skin():
    """Dark panel with rounded corners (their outside in pure blue) and a
    thin luminous border whose inner part is see-through (pure green)."""
    back = (22, 26, 34)
    edge, glow = (90, 150, 210), (44, 70, 100)
    R = 8  # corner radius and piece size
    # A 3-pixel dot pattern, drawn over 24 x 24 so that a large window
    # needs few tile copies.
    tile = Picture(24, 24, back)
    for y in range(0, 24, 3):
        for x in range(0, 24, 3):
            tile.set(x + (y // 3) % 2, y, (30, 36, 48))
    lt = Picture(R, R, GREEN)
    for y in range(R):
        for x in range(R):
            # Distance from the centre of the quarter circle, in half pixels.
            dx, dy = R - 0.5 - x, R - 0.5 - y
            d2 = dx * dx + dy * dy
            if d2 > R * R:
                lt.set(x, y, BLUE)
            elif d2 > (R - 1.2) ** 2:
                lt.set(x, y, edge)
            elif d2 > (R - 2.2) ** 2:
                lt.set(x, y, glow)
    rt = lt.mirrored()
    lb = lt.flipped()
    rb = rt.flipped()
    top = Picture(4, R, GREEN)
    for x in range(4):
        top.set(x, 0, edge)
        top.set(x, 1, glow)
    bottom = top.flipped()
    left = top.transposed()
    right = left.mirrored()
    files = {"back.bmp": tile, "backST.bmp": top, "backSB.bmp": bottom, "backSL.bmp": left,
             "backSR.bmp": right, "backLT.bmp": lt, "backRT.bmp": rt, "backRB.bmp": rb,
             "backLB.bmp": lb}
    return ini(back, (200, 228, 255), (6, 9, 6, 9)), files


def write(outdir, name, skin):
    text, files = skin
    folder = os.path.join(outdir, name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "skin.ini"), "wb") as f:
        f.write(text)
    for fname in sorted(files):
        with open(os.path.join(folder, fname), "wb") as f:
            f.write(files[fname].bmp())


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: skingen.py OUTDIR")
    write(sys.argv[1], "default", default_skin())
    write(sys.argv[1], "night", night_skin())


if __name__ == "__main__":
    main()
