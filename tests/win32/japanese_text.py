#!/usr/bin/env python3
"""Checks the Japanese sample's text in a screenshot against the same movie drawn natively.

japanese_text.py SHOT.ppm LEFT TOP REFERENCE.ppm
  SHOT.ppm        the screen, the 640 x 480 movie drawn at its own size at LEFT, TOP
  REFERENCE.ppm   the movie's stage drawn by the native tools with the same fonts (IPAGothic
                  for the Japanese characters) and the Shift-JIS code page

The title (the field's own text) and the greeting (a string the script sets) are in colours no
other pixel has. Their glyphs must be where the reference has them: each text pixel of either
image has one of the other's within 2 pixels (outlines through GDI and through FreeType may
round a glyph's place differently). Boxes or mis-decoded characters in place of the glyphs
fail this. The date line, which differs by the day, must hold text.
"""
import sys

from clock_hands import read_ppm

BANDS = [("title", 100, 175, (255, 255, 255)), ("greeting", 212, 270, (255, 230, 120))]
DATE = (292, 330, (170, 220, 255))


def main():
    shot, left, top, reference = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    sw, sh, spx = read_ppm(shot)
    rw, rh, rpx = read_ppm(reference)

    def colour(pixels, width, x, y):
        i = (y * width + x) * 3
        return pixels[i], pixels[i + 1], pixels[i + 2]

    def text_pixels(pixels, width, height, dx, dy, y0, y1, want):
        found = set()
        for y in range(y0, y1):
            for x in range(0, 640):
                sx, sy = x + dx, y + dy
                if 0 <= sx < width and 0 <= sy < height:
                    c = colour(pixels, width, sx, sy)
                    if all(abs(a - b) <= 10 for a, b in zip(c, want)):
                        found.add((x, y))
        return found

    def near(points, others):
        hits = sum(any((x + i, y + j) in others for i in range(-2, 3) for j in range(-2, 3))
                   for x, y in points)
        return hits / len(points) if points else 0

    failed = 0
    for name, y0, y1, want in BANDS:
        ours = text_pixels(spx, sw, sh, left, top, y0, y1, want)
        theirs = text_pixels(rpx, rw, rh, 0, 0, y0, y1, want)
        recall, precision = near(theirs, ours), near(ours, theirs)
        print(f"{name}: {len(ours)} text pixels on screen, {len(theirs)} in the reference; "
              f"{recall:.0%} of the reference's and {precision:.0%} of the screen's match")
        if len(theirs) < 200 or recall < 0.85 or precision < 0.85:
            print(f"FAILED: the {name}'s glyphs are not the reference's")
            failed = 1
    date = text_pixels(spx, sw, sh, left, top, DATE[0], DATE[1], DATE[2])
    print(f"date: {len(date)} text pixels")
    if len(date) < 100:
        print("FAILED: no date line")
        failed = 1
    return failed


if __name__ == "__main__":
    sys.exit(main())
