#!/usr/bin/env python3
"""Turns the button glyph pictures (*.txt) into 16-colour .bmp files.

usage: make-glyphs.py src/resources/glyphs
Each picture.txt in the folder becomes picture.bmp beside it, holding two
images side by side: the picture as drawn, and a greyed one for the
disabled button (its dark pixels embossed in grey and white; white and
silver count as button face and drop out). Pictures use the characters
of make-icon.py. '.' is transparent and is written as olive ('y'), the
glyph transparency key, so 'y' may not be drawn and the bottom-left
pixel, where the key is read from, must stay transparent.
"""
import pathlib
import runpy
import struct
import sys

# The palette is make-icon.py's, so icon and glyphs name colours alike.
_icon = runpy.run_path(str(pathlib.Path(__file__).with_name('make-icon.py')))
PALETTE, INDEX = _icon['PALETTE'], _icon['INDEX']

KEY = 'y'
# White and silver read as the button's own face, so the greyed image leaves
# them out: a white sheet keeps its outline instead of becoming a grey blob.
LIGHT = 'Ws'


def fail(path, message):
    sys.exit(f'{path}: {message}')


def read_picture(path):
    lines = [(n, l.rstrip('\r\n')) for n, l in enumerate(open(path, encoding='utf-8'), 1)]
    lines = [(n, l) for n, l in lines if l.strip() and not l.startswith('#')]
    if not lines:
        fail(path, 'no picture')
    width = len(lines[0][1])
    for n, row in lines:
        if len(row) != width:
            fail(f'{path}:{n}', f'row is {len(row)} wide, the first is {width}')
        for ch in row:
            if ch == KEY:
                fail(f'{path}:{n}', f'{KEY!r} is the transparency key and cannot be drawn')
            if ch != '.' and ch not in INDEX:
                fail(f'{path}:{n}', f'unknown colour {ch!r}')
    if lines[-1][1][0] != '.':
        fail(f'{path}:{lines[-1][0]}', 'the bottom-left pixel must be transparent')
    return [row for _, row in lines]


def greyed(rows):
    """The classic disabled look: the shape in grey over a white copy moved one pixel down-right."""
    h, w = len(rows), len(rows[0])
    dark = [[ch != '.' and ch not in LIGHT for ch in row] for row in rows]
    out = [['.'] * w for _ in range(h)]
    for y in range(h - 1):
        for x in range(w - 1):
            if dark[y][x]:
                out[y + 1][x + 1] = 'W'
    for y in range(h):
        for x in range(w):
            if dark[y][x]:
                out[y][x] = 'd'
    return [''.join(r) for r in out]


def bmp(rows):
    """BITMAPFILEHEADER, BITMAPINFOHEADER, palette and 4-bit pixels, bottom-up."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            index = INDEX[KEY if ch == '.' else ch]
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make-glyphs.py folder')
    folder = pathlib.Path(sys.argv[1])
    pictures = sorted(folder.glob('*.txt'))
    if not pictures:
        sys.exit(f'{folder}: no *.txt pictures')
    for path in pictures:
        rows = read_picture(path)
        both = [a + b for a, b in zip(rows, greyed(rows))]
        path.with_suffix('.bmp').write_bytes(bmp(both))


if __name__ == '__main__':
    main()
