#!/usr/bin/env python3
"""Draws the two mouse pointers shipped beside Papyrant and writes them as Windows icon files.

    HAND-M.CUR  the hand shown over push buttons: a cursor (type 2) whose hotspot is the fingertip
    drag.ico    the pointer shown while an entry of the list is dragged: a page with an up/down arrow

Both are 32x32, 32-bit BGRA with an AND mask, so that old readers that ignore alpha still get
the shape. The shapes are signed distance fields sampled 4x4 per pixel, which gives smooth edges
without any drawing library. Standard library only and no randomness: the same bytes on every run.

Usage: make_pointers.py [OUTPUT_FOLDER]   (default: the assets folder above this script)
"""

import math
import os
import struct
import sys

SIZE = 32
SUPERSAMPLE = 4

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
OUTLINE_WIDTH = 1.25

# Where the hand's index finger ends; the cursor's hotspot, in pixels from the top left.
HAND_HOTSPOT = (12, 0)


def capsule(ax, ay, bx, by, radius):
    """Distance field of a segment from (ax, ay) to (bx, by) thickened by radius."""

    def field(x, y):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) - radius

    return field


def rounded_rect(left, top, right, bottom, radius):
    """Distance field of an axis-aligned rectangle with rounded corners."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def field(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return field


def polygon(points):
    """Distance field of a simple polygon (negative inside, even-odd rule)."""
    edges = list(zip(points, points[1:] + points[:1]))

    def field(x, y):
        best = float("inf")
        inside = False
        for (ax, ay), (bx, by) in edges:
            best = min(best, capsule(ax, ay, bx, by, 0.0)(x, y))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -best if inside else best

    return field


def union(*fields):
    return lambda x, y: min(f(x, y) for f in fields)


class Canvas:
    """A premultiplied RGBA canvas that accumulates coverage per sub-sample."""

    def __init__(self):
        self.pixels = [[(0.0, 0.0, 0.0, 0.0) for _ in range(SIZE)] for _ in range(SIZE)]

    def paint(self, field, colour, grow=0.0):
        """Paints every sub-sample where field <= grow, over what is already there."""
        step = 1.0 / SUPERSAMPLE
        for py in range(SIZE):
            for px in range(SIZE):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        if field(px + (sx + 0.5) * step, py + (sy + 0.5) * step) <= grow:
                            hits += 1
                if hits == 0:
                    continue
                a = hits / (SUPERSAMPLE * SUPERSAMPLE)
                r, g, b, alpha = self.pixels[py][px]
                self.pixels[py][px] = (
                    colour[0] * a + r * (1 - a),
                    colour[1] * a + g * (1 - a),
                    colour[2] * a + b * (1 - a),
                    a + alpha * (1 - a),
                )

    def outlined(self, field, fill, outline=BLACK):
        """The shape in fill with an outline of OUTLINE_WIDTH around it."""
        self.paint(field, outline, grow=OUTLINE_WIDTH)
        self.paint(field, fill)

    def bgra_rows(self):
        """Straight-alpha BGRA pixel rows, top row first."""
        rows = []
        for row in self.pixels:
            out = bytearray()
            for r, g, b, a in row:
                if a <= 0.0:
                    out += b"\0\0\0\0"
                    continue
                to_byte = lambda v: max(0, min(255, int(round(v / a))))
                out += bytes((to_byte(b), to_byte(g), to_byte(r), max(0, min(255, int(round(a * 255))))))
            rows.append(bytes(out))
        return rows


def icon_file(canvas, kind, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file with one 32x32 32-bit image and its AND mask."""
    rows = canvas.bgra_rows()
    xor_bitmap = b"".join(reversed(rows))  # DIBs are stored bottom-up
    mask_stride = ((SIZE + 31) // 32) * 4
    mask_rows = []
    for row in rows:
        bits = bytearray(mask_stride)
        for x in range(SIZE):
            if row[x * 4 + 3] == 0:  # fully transparent: the screen shows through
                bits[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(bits))
    and_mask = b"".join(reversed(mask_rows))

    header = struct.pack(
        "<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor_bitmap) + len(and_mask), 0, 0, 0, 0
    )
    image = header + xor_bitmap + and_mask
    if kind == 2:
        planes_or_x, bits_or_y = hotspot
    else:
        planes_or_x, bits_or_y = 1, 32
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, planes_or_x, bits_or_y, len(image), 6 + 16)
    return directory + entry + image


def draw_hand():
    """A white gloved hand pointing up with the index finger, thumb out to the left."""
    canvas = Canvas()
    hand = union(
        capsule(12.5, 3.0, 12.5, 16.0, 2.6),  # index finger
        capsule(16.9, 12.6, 16.9, 19.0, 2.2),  # curled middle finger
        capsule(21.0, 13.6, 21.0, 19.0, 2.2),  # curled ring finger
        capsule(25.0, 15.0, 25.0, 19.5, 2.1),  # curled little finger
        capsule(5.2, 16.0, 10.5, 22.5, 2.4),  # thumb
        rounded_rect(10.0, 15.5, 27.0, 27.5, 4.5),  # palm
        rounded_rect(12.5, 24.0, 24.5, 30.0, 1.5),  # wrist
    )
    canvas.outlined(hand, WHITE)
    # Creases between the curled fingers and along the thumb, so the fist reads as fingers.
    for crease in (
        capsule(15.5, 12.5, 15.5, 16.5, 0.0),
        capsule(19.5, 13.5, 19.5, 17.0, 0.0),
        capsule(23.5, 14.5, 23.5, 17.5, 0.0),
        capsule(11.0, 19.5, 12.5, 21.0, 0.0),
    ):
        canvas.paint(crease, BLACK, grow=0.5)
    # A cuff line across the wrist.
    canvas.paint(capsule(13.5, 25.5, 23.5, 25.5, 0.0), BLACK, grow=0.5)
    return canvas


def draw_drag():
    """A page with a folded corner and a vertical double arrow: an entry being moved up or down."""
    canvas = Canvas()
    page = polygon([(4.5, 2.5), (17.5, 2.5), (23.5, 8.5), (23.5, 28.5), (4.5, 28.5)])
    canvas.outlined(page, WHITE)
    fold = polygon([(17.5, 2.5), (17.5, 8.5), (23.5, 8.5)])
    canvas.paint(fold, (200, 205, 212))
    canvas.paint(capsule(17.5, 2.5, 17.5, 8.5, 0.0), BLACK, grow=0.6)
    canvas.paint(capsule(17.5, 8.5, 23.5, 8.5, 0.0), BLACK, grow=0.6)
    for y in (12.0, 16.0, 20.0, 24.0):  # lines of text on the page
        canvas.paint(capsule(8.0, y, 15.5 if y > 14 else 19.5, y, 0.0), (120, 128, 140), grow=0.7)
    blue = (26, 115, 232)
    arrow = union(
        polygon([(25.0, 6.5), (30.5, 13.0), (19.5, 13.0)]),  # head up
        polygon([(25.0, 30.5), (30.5, 24.0), (19.5, 24.0)]),  # head down
        rounded_rect(23.5, 12.0, 26.5, 25.0, 0.0),  # shaft
    )
    canvas.outlined(arrow, blue, outline=(10, 50, 120))
    return canvas


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    outputs = {
        "HAND-M.CUR": icon_file(draw_hand(), kind=2, hotspot=HAND_HOTSPOT),
        "drag.ico": icon_file(draw_drag(), kind=1),
    }
    for name, data in outputs.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
