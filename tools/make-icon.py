#!/usr/bin/env python3
"""Turns a text picture (one character a pixel) into a 16-colour .ico.

usage: make-icon.py picture.txt out.ico
Lines starting with '#' are comments. '.' is transparent; the other
characters name colours of the standard 16-colour palette (see PALETTE).
"""
import struct
import sys

# The Windows 16-colour palette, as (character, (r, g, b)).
PALETTE = [
    ('K', (0, 0, 0)), ('r', (128, 0, 0)), ('g', (0, 128, 0)), ('y', (128, 128, 0)),
    ('b', (0, 0, 128)), ('m', (128, 0, 128)), ('c', (0, 128, 128)), ('s', (192, 192, 192)),
    ('d', (128, 128, 128)), ('R', (255, 0, 0)), ('G', (0, 255, 0)), ('Y', (255, 255, 0)),
    ('B', (0, 0, 255)), ('M', (255, 0, 255)), ('C', (0, 255, 255)), ('W', (255, 255, 255)),
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}


def read_picture(path):
    rows = [l.rstrip('\n') for l in open(path, encoding='utf-8') if not l.startswith('#')]
    rows = [r for r in rows if r]
    width = len(rows[0])
    if any(len(r) != width for r in rows):
        sys.exit(f'{path}: rows differ in length')
    return rows


def ico_image(rows):
    """BITMAPINFOHEADER, palette, 4-bit XOR bitmap and 1-bit AND mask, bottom-up."""
    h, w = len(rows), len(rows[0])
    xor_stride = ((w * 4 + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == '.':
                bits[x // 8] |= 0x80 >> (x % 8)
                continue
            if ch not in INDEX:
                sys.exit(f'unknown colour {ch!r}')
            shift = 4 if x % 2 == 0 else 0
            line[x // 2] |= INDEX[ch] << shift
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    return w, h, header + palette + bytes(xor) + bytes(mask)


def main():
    src, out = sys.argv[1], sys.argv[2]
    w, h, image = ico_image(read_picture(src))
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', w % 256, h % 256, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out, 'wb') as f:
        f.write(directory + entry + image)


if __name__ == '__main__':
    main()
