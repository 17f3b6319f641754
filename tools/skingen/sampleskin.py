#!/usr/bin/env python3
"""Draws the small skin that the user's guide takes apart piece by piece
(help/skin/sample): a cream panel with a brown outline and rounded corners.
Every piece is tiny so that the guide can show it pixel by pixel.

    sampleskin.py OUTDIR        (writes OUTDIR/sample)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skingen import BLUE, GREEN, Picture, write  # noqa: E402

PAPER = (250, 244, 228)
DOT = (236, 226, 200)
INK = (120, 72, 32)
R = 6  # corner size; the edges are as thick


def sample_skin():
    tile = Picture(4, 4, PAPER)
    tile.set(0, 0, DOT)
    tile.set(2, 2, DOT)
    lt = Picture(R, R, GREEN)
    for y in range(R):
        for x in range(R):
            dx, dy = R - 0.5 - x, R - 0.5 - y
            d2 = dx * dx + dy * dy
            if d2 > R * R:
                lt.set(x, y, BLUE)
            elif d2 > (R - 1.5) ** 2:
                lt.set(x, y, INK)
    top = Picture(1, R, GREEN)
    top.set(0, 0, INK)
    top.set(0, 1, INK)
    left = top.transposed()
    files = {"back.bmp": tile, "backLT.bmp": lt, "backRT.bmp": lt.mirrored(),
             "backLB.bmp": lt.flipped(), "backRB.bmp": lt.mirrored().flipped(),
             "backST.bmp": top, "backSB.bmp": top.flipped(), "backSL.bmp": left,
             "backSR.bmp": left.mirrored()}
    text = ("[COLOR]\r\nBACK=250 244 228\r\nFONT=90 50 20\r\n[LAYOUT]\r\nPADDING=7 9 7 9\r\n"
            "[ICONS]\r\nPATH=\r\n").encode("ascii")
    return text, files


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: sampleskin.py OUTDIR")
    write(sys.argv[1], "sample", sample_skin())


if __name__ == "__main__":
    main()
