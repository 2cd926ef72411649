#!/usr/bin/env python3
"""Draws Hushkey's icons and writes them as .ico files (16x16 and 32x32, 16 colours).

    make_icons.py OUTPUT_DIR

The pictures are computed from a few shapes, so the files are the same on every run and
every machine: the tray icons are a padlock whose body carries the mode's colour (AMBER,
BLUE, GREEN, RED), an outlined padlock with an open shackle for the unlocked state
(BLANK), a red "no" sign for swallowed input (BLOCKED), and the program's own icon.
"""
import math
import os
import struct
import sys

# One palette for every icon: index -> (r, g, b).
PALETTE = [
    (0, 0, 0),        # 0 black (also the colour of transparent pixels)
    (255, 255, 255),  # 1 white
    (64, 64, 64),     # 2 dark grey (shackle)
    (160, 160, 160),  # 3 light grey
    (255, 176, 0),    # 4 amber
    (0, 96, 255),     # 5 blue
    (0, 192, 0),      # 6 green
    (230, 0, 0),      # 7 red
    (255, 224, 96),   # 8 light amber
    (112, 176, 255),  # 9 light blue
    (96, 232, 96),    # 10 light green
    (255, 112, 112),  # 11 light red
    (0, 0, 128),      # 12 navy
    (255, 255, 0),    # 13 yellow
    (128, 128, 128),  # 14 grey
    (192, 192, 192),  # 15 silver
]
BLACK, WHITE, DARK, LIGHTGREY = 0, 1, 2, 3
TRANSPARENT = None


def padlock(size, body, highlight, outline_only=False, open_shackle=False, keyhole=BLACK):
    """A padlock: a ring-shaped shackle above a rectangular body with a keyhole."""
    px = [[TRANSPARENT] * size for _ in range(size)]
    s = float(size)

    def in_body(x, y):
        return 0.12 <= x <= 0.88 and 0.46 <= y <= 0.96

    lift = 0.12 if open_shackle else 0.0
    cx, cy = (0.5, 0.47 - lift)
    r_out, r_in = 0.31, 0.18
    for j in range(size):
        for i in range(size):
            x, y = (i + 0.5) / s, (j + 0.5) / s
            # Shackle: upper half of a ring, with straight legs down to the body.
            d = math.hypot(x - cx, y - cy)
            leg = (cx - r_out <= x <= cx - r_in or cx + r_in <= x <= cx + r_out) and cy <= y <= 0.5
            if open_shackle and x > cx:
                leg = leg and y <= cy + 0.04
            if (r_in <= d <= r_out and y <= cy) or leg:
                px[j][i] = DARK
            if in_body(x, y):
                step = 1.0 / s
                edge = not all(in_body(x + dx, y + dy)
                               for dx, dy in ((step, 0), (-step, 0), (0, step), (0, -step)))
                if edge:
                    px[j][i] = BLACK
                elif outline_only:
                    px[j][i] = WHITE
                else:
                    px[j][i] = highlight if y < 0.56 else body
                # Keyhole: a round head and a slot below it.
                if not edge and (math.hypot(x - 0.5, y - 0.66) <= 0.08
                                 or (abs(x - 0.5) <= 0.035 and 0.66 <= y <= 0.84)):
                    px[j][i] = keyhole
    return px


def no_sign(size):
    """A red ring with a diagonal bar on white: input blocked."""
    px = [[TRANSPARENT] * size for _ in range(size)]
    s = float(size)
    for j in range(size):
        for i in range(size):
            x, y = (i + 0.5) / s - 0.5, (j + 0.5) / s - 0.5
            d = math.hypot(x, y)
            if d > 0.49:
                continue
            # Distance from the bar's centre line, which runs from top left to bottom right.
            bar = abs(x - y) / math.sqrt(2.0)
            if d >= 0.34 or bar <= 0.09:
                px[j][i] = 7
            else:
                px[j][i] = WHITE
    return px


def icon_bitmap(px):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the 1-bit mask."""
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for i, v in enumerate(row):
            idx = 0 if v is TRANSPARENT else v
            if i % 2 == 0:
                line[i // 2] |= idx << 4
            else:
                line[i // 2] |= idx
            if v is TRANSPARENT:
                bits[i // 8] |= 0x80 >> (i % 8)
        colour += line
        mask += bits
    return header + palette + bytes(colour) + bytes(mask)


def write_ico(path, images):
    """images: list of pixel grids, written as one .ico with one entry per size."""
    blobs = [icon_bitmap(px) for px in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for px, blob in zip(images, blobs):
        size = len(px)
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    out += b''.join(blobs)
    with open(path, 'wb') as f:
        f.write(out)


ICONS = {
    'amber': lambda n: padlock(n, 4, 8),
    'blue': lambda n: padlock(n, 5, 9),
    'green': lambda n: padlock(n, 6, 10),
    'red': lambda n: padlock(n, 7, 11),
    'blank': lambda n: padlock(n, WHITE, WHITE, outline_only=True, open_shackle=True),
    'blocked': no_sign,
    'hushkey': lambda n: padlock(n, 12, 5, keyhole=13),
}


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icons.py OUTPUT_DIR')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        write_ico(os.path.join(out, name + '.ico'), [draw(32), draw(16)])


if __name__ == '__main__':
    main()
