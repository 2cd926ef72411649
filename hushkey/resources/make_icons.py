#!/usr/bin/env python3
"""Draws Hushkey's icons and writes them as .ico files.

    make_icons.py OUTPUT_DIR

Every icon holds the sizes Windows asks for (16, 20, 24, 32, 40, 48, 64 and 256 pixels, for
100 % to 200 % scaling of the tray, the title bar, the Start menu and Explorer) in 32-bit
colour with an alpha channel; the 256-pixel image is stored PNG-compressed, as Windows
expects for that size. The tray and the window pick the nearest size themselves.

The pictures are computed from a few shapes, so the files are the same on every run and
every machine: the tray icons are a padlock whose body carries the mode's colour (AMBER,
BLUE, GREEN, RED), an outlined padlock with an open shackle for the unlocked state
(BLANK), a red "no" sign for swallowed input (BLOCKED), and the program's own icon.
Edges are smoothed by sampling each pixel that a shape's border crosses 4 x 4 times.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # images this size and larger are stored as PNG
SUBSAMPLES = 4  # per axis, for pixels on a border

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK = (64, 64, 64)  # the shackle
AMBER, LIGHT_AMBER = (255, 176, 0), (255, 224, 96)
BLUE, LIGHT_BLUE = (0, 96, 255), (112, 176, 255)
GREEN, LIGHT_GREEN = (0, 192, 0), (96, 232, 96)
RED, LIGHT_RED = (230, 0, 0), (255, 112, 112)
NAVY, YELLOW = (0, 0, 128), (255, 255, 0)


def padlock(body, highlight, outline_only=False, open_shackle=False, keyhole=BLACK):
    """A padlock: a ring-shaped shackle above a rectangular body with a keyhole.

    Returns shade(x, y, size): the colour at (x, y) in the unit square (None where the
    picture is transparent). The body's sides lie on pixel edges at every size, so that
    its outline stays sharp; the outline is one pixel wide up to 35 pixels and grows with
    the size above that.
    """
    lift = 0.12 if open_shackle else 0.0
    cx, cy = 0.5, 0.47 - lift
    r_out, r_in = 0.31, 0.18

    def shade(x, y, size):
        def snap(v):
            return round(v * size) / size

        left, right, top, bottom = snap(0.12), snap(0.88), snap(0.46), snap(0.96)
        if left <= x < right and top <= y < bottom:
            edge = max(1, round(size / 24)) / size
            if x < left + edge or x >= right - edge or y < top + edge or y >= bottom - edge:
                return BLACK
            # Keyhole: a round head and a slot below it.
            if math.hypot(x - 0.5, y - 0.66) <= 0.08 or (abs(x - 0.5) <= 0.035
                                                          and 0.66 <= y <= 0.84):
                return keyhole
            if outline_only:
                return WHITE
            return highlight if y < snap(0.56) else body
        # Shackle: the upper half of a ring, with straight legs down into the body.
        d = math.hypot(x - cx, y - cy)
        leg = (cx - r_out <= x <= cx - r_in or cx + r_in <= x <= cx + r_out) and cy <= y <= 0.5
        if open_shackle and x > cx:
            leg = leg and y <= cy + 0.04
        if (r_in <= d <= r_out and y <= cy) or leg:
            return DARK
        return None

    return shade


def no_sign(x, y, size):
    """A red ring with a diagonal bar on white: input blocked."""
    x, y = x - 0.5, y - 0.5
    d = math.hypot(x, y)
    if d > 0.49:
        return None
    # Distance from the bar's centre line, which runs from top left to bottom right.
    bar = abs(x - y) / math.sqrt(2.0)
    return RED if d >= 0.34 or bar <= 0.09 else WHITE


def render(shade, size):
    """The picture at one size: rows of (r, g, b, a), top row first, straight alpha.

    A pixel whose four corners and centre have one colour takes it; any other pixel is the
    average of SUBSAMPLES x SUBSAMPLES samples, transparent ones counting towards alpha.
    """
    s = float(size)
    corner = [[shade(i / s, j / s, size) for i in range(size + 1)] for j in range(size + 1)]
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            centre = shade((i + 0.5) / s, (j + 0.5) / s, size)
            if all(c == centre for c in (corner[j][i], corner[j][i + 1], corner[j + 1][i],
                                         corner[j + 1][i + 1])):
                row.append((0, 0, 0, 0) if centre is None else centre + (255,))
                continue
            n = SUBSAMPLES
            r = g = b = covered = 0
            for v in range(n):
                for u in range(n):
                    c = shade((i + (u + 0.5) / n) / s, (j + (v + 0.5) / n) / s, size)
                    if c is not None:
                        r, g, b, covered = r + c[0], g + c[1], b + c[2], covered + 1
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / (n * n))))
        rows.append(row)
    return rows


def bmp_image(rows):
    """An icon image as a device-independent bitmap: BITMAPINFOHEADER (height doubled for
    the mask), BGRA rows bottom-up, then the 1-bit mask, set where a pixel is fully
    transparent (read only by code that ignores the alpha channel)."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, size * size * 4,
                         0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def png_image(rows):
    """An icon image as a PNG: 8-bit RGBA, no interlace, every row unfiltered."""
    width, height = len(rows[0]), len(rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_ico(path, shade):
    """One .ico with an image of every size in SIZES."""
    blobs = []
    for size in SIZES:
        rows = render(shade, size)
        blobs.append((size, png_image(rows) if size >= PNG_FROM else bmp_image(rows)))
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        # Width and height 0 stand for 256; no palette; one plane of 32 bits.
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    out += b''.join(blob for _, blob in blobs)
    with open(path, 'wb') as f:
        f.write(out)


ICONS = {
    'amber': padlock(AMBER, LIGHT_AMBER),
    'blue': padlock(BLUE, LIGHT_BLUE),
    'green': padlock(GREEN, LIGHT_GREEN),
    'red': padlock(RED, LIGHT_RED),
    'blank': padlock(WHITE, WHITE, outline_only=True, open_shackle=True),
    'blocked': no_sign,
    'hushkey': padlock(NAVY, BLUE, keyhole=YELLOW),
}


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icons.py OUTPUT_DIR')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, shade in ICONS.items():
        write_ico(os.path.join(out, name + '.ico'), shade)


if __name__ == '__main__':
    main()
