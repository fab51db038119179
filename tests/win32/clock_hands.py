#!/usr/bin/env python3
"""Reads the clock sample's hands off a screenshot and checks them against the local time.

clock_hands.py SHOT.ppm LEFT TOP WIDTH HEIGHT T0 T1
  SHOT.ppm       the screen (binary PPM, as ImageMagick's convert writes it)
  LEFT TOP WIDTH HEIGHT   where the 640 x 480 movie was drawn on the screen, in pixels
  T0 T1          seconds since the epoch just before and just after the screenshot

Each hand has a colour of its own; the direction of the mean of its pixels' offsets from the
face's centre is the hand's angle (its short tail and the parts other hands cover lie on its
axis, so they do not turn it). The hands must show one local time between T0 and T1 (a second
either side for the frame on screen), and the read-out under the face must hold text.
"""
import math
import sys
import time

HANDS = {"hour": (255, 196, 90), "minute": (90, 200, 255), "second": (255, 60, 60)}


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def main():
    shot, left, top, width, height, t0, t1 = sys.argv[1:8]
    left, top, width, height = (float(v) for v in (left, top, width, height))
    t0, t1 = float(t0), float(t1)
    screen_w, screen_h, pixels = read_ppm(shot)
    scale = width / 640
    cx, cy = left + 320 * scale, top + 0.44 * 480 * scale
    radius = 0.36 * 480 * scale

    def rgb(x, y):
        i = (y * screen_w + x) * 3
        return pixels[i], pixels[i + 1], pixels[i + 2]

    sums = {name: [0.0, 0.0, 0] for name in HANDS}
    x0, x1 = max(0, int(cx - radius)), min(screen_w, int(cx + radius) + 1)
    y0, y1 = max(0, int(cy - radius)), min(screen_h, int(cy + radius) + 1)
    for y in range(y0, y1):
        for x in range(x0, x1):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            distance = math.hypot(dx, dy)
            if distance > 0.95 * radius or distance < 12 * scale:  # the marks; the red cap
                continue
            r, g, b = rgb(x, y)
            for name, (hr, hg, hb) in HANDS.items():
                if abs(r - hr) + abs(g - hg) + abs(b - hb) < 60:
                    sums[name][0] += dx
                    sums[name][1] += dy
                    sums[name][2] += 1
    angles = {}
    for name, (sx, sy, count) in sums.items():
        if count < 15 * scale:
            print(f"FAILED: the {name} hand is not on the screen ({count} pixels)")
            return 1
        angles[name] = math.degrees(math.atan2(sx, -sy)) % 360
    print("hands at " + ", ".join(f"{n} {a:.1f} deg" for n, a in angles.items()))

    def off(a, b):
        return abs((a - b + 180) % 360 - 180)

    best = None
    for t in range(int(t0) - 1, int(t1) + 2):
        lt = time.localtime(t)
        want = {"hour": (lt.tm_hour % 12 + lt.tm_min / 60) * 30,
                "minute": (lt.tm_min + lt.tm_sec / 60) * 6,
                "second": lt.tm_sec * 6}
        worst = max(off(angles[n], want[n]) for n in HANDS)
        if best is None or worst < best[0]:
            best = (worst, time.strftime("%H:%M:%S", lt))
    print(f"closest local time {best[1]}: off by at most {best[0]:.1f} deg")
    if best[0] > 4:
        print("FAILED: the hands do not show the local time of the screenshot")
        return 1

    # The read-out: light text on the dark stage under the face.
    ink = 0
    for y in range(int(cy + radius + 12 * scale), min(screen_h, int(cy + radius + 50 * scale))):
        for x in range(max(0, int(cx - 100 * scale)), min(screen_w, int(cx + 100 * scale))):
            r, g, b = rgb(x, y)
            ink += r > 180 and g > 180 and b > 180
    print(f"read-out: {ink} light pixels")
    if ink < 100 * scale:
        print("FAILED: no read-out under the face")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
