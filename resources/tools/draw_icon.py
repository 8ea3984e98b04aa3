#!/usr/bin/env python3
"""Draws the program's icon: a page with a folded corner and a play mark.

Usage:
  draw_icon.py OUT.ico            the default icon file: three 8-bit (256-colour palette)
                                  images, 16x16, 32x32 and 48x48
  draw_icon.py --png N OUT.png    one N x N RGBA rendition for the desktop's icon theme
  draw_icon.py --svg OUT.svg      the scalable rendition of the same design
"""
import struct
import sys
import zlib

PALETTE = [
    (0, 0, 0),        # 0 transparent (masked)
    (255, 255, 255),  # 1 page
    (40, 70, 140),    # 2 outline
    (210, 220, 240),  # 3 folded corner
    (230, 150, 30),   # 4 play mark
    (170, 100, 10),   # 5 play mark edge
]

# The design in unit coordinates (0 to 1, y counted from the top).
LEFT, RIGHT, TOP, BOTTOM = 0.16, 0.84, 0.06, 0.94
FOLD = 0.24
PLAY_X, PLAY_Y, PLAY_SIZE = 0.5, 0.56, 0.22

# Outlines are never thinner than one pixel of the 48 px image, so large renditions keep
# the proportions of the small ones.
THINNEST_EDGE = 1.0 / 48


def colour_index(u, v, edge):
    """Palette index at point (u, v) with outlines edge units wide."""
    left, right, top, bottom = LEFT, RIGHT, TOP, BOTTOM
    fold = FOLD
    if not (left <= u <= right and top <= v <= bottom):
        return 0
    if u - (right - fold) > v - top:  # cut corner
        return 0
    on_edge = (u < left + edge or u > right - edge or v < top + edge or v > bottom - edge
               or abs((u - (right - fold)) - (v - top)) < edge * 1.2)
    if on_edge:
        return 2
    if u > right - fold and v < top + fold:
        return 3
    # play mark: a triangle in the middle of the page
    cx, cy, s = PLAY_X, PLAY_Y, PLAY_SIZE
    if cx - s * 0.8 <= u and abs(v - cy) <= ((cx + s) - u) * 0.6:
        inner = abs(v - cy) <= ((cx + s) - u) * 0.6 - edge and u >= cx - s * 0.8 + edge
        return 4 if inner else 5
    return 1


def pixel(x, y, n):
    """Palette index of pixel (x, y) of an n x n image, y counted from the top."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    return colour_index(u, v, max(1.0 / n, THINNEST_EDGE))


def image(n):
    rows = [[pixel(x, y, n) for x in range(n)] for y in range(n)]
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    palette += b'\0' * (4 * (256 - len(PALETTE)))
    xor = b''.join(bytes(row) for row in reversed(rows))  # n is a multiple of 4
    mask_stride = ((n + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + palette + xor + mask


def write_ico(path):
    sizes = (16, 32, 48)
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def rgba(x, y, n):
    """RGBA of pixel (x, y): the palette colour up to 48 px, 4 x 4 samples averaged above."""
    if n <= 48:
        p = pixel(x, y, n)
        return (0, 0, 0, 0) if p == 0 else PALETTE[p] + (255,)
    edge = max(1.0 / n, THINNEST_EDGE)
    total, count = [0, 0, 0], 0
    for sy in range(4):
        for sx in range(4):
            p = colour_index((x + (sx + 0.5) / 4) / n, (y + (sy + 0.5) / 4) / n, edge)
            if p:
                total = [t + c for t, c in zip(total, PALETTE[p])]
                count += 1
    if count == 0:
        return (0, 0, 0, 0)
    return tuple((t + count // 2) // count for t in total) + ((count * 255 + 8) // 16,)


def png_chunk(kind, data):
    return (struct.pack('>I', len(data)) + kind + data
            + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))


def write_png(path, n):
    raw = b''.join(b'\0' + b''.join(bytes(rgba(x, y, n)) for x in range(n)) for y in range(n))
    out = (b'\x89PNG\r\n\x1a\n'
           + png_chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
           + png_chunk(b'IDAT', zlib.compress(raw, 9))
           + png_chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(out)


def write_svg(path):
    def hex_colour(i):
        return '#%02x%02x%02x' % PALETTE[i]

    def points(*pts):
        return ' '.join('%g,%g' % (round(x * 256, 2), round(y * 256, 2)) for x, y in pts)

    stroke = round(THINNEST_EDGE * 256, 2)
    cx, cy, s = PLAY_X, PLAY_Y, PLAY_SIZE
    page = points((LEFT, TOP), (RIGHT - FOLD, TOP), (RIGHT, TOP + FOLD), (RIGHT, BOTTOM),
                  (LEFT, BOTTOM))
    fold = points((RIGHT - FOLD, TOP), (RIGHT - FOLD, TOP + FOLD), (RIGHT, TOP + FOLD))
    play = points((cx - s * 0.8, cy - s * 1.08), (cx + s, cy), (cx - s * 0.8, cy + s * 1.08))
    text = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
        'viewBox="0 0 256 256">\n'
        '  <g stroke-linejoin="round" stroke-width="%g">\n'
        '    <polygon points="%s" fill="%s"/>\n'
        '    <polygon points="%s" fill="%s"/>\n'
        '    <polygon points="%s" fill="none" stroke="%s"/>\n'
        '    <polygon points="%s" fill="%s" stroke="%s"/>\n'
        '  </g>\n'
        '</svg>\n') % (stroke, page, hex_colour(1), fold, hex_colour(3), page, hex_colour(2),
                       play, hex_colour(4), hex_colour(5))
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def main(args):
    if len(args) == 1 and not args[0].startswith('--'):
        write_ico(args[0])
    elif len(args) == 3 and args[0] == '--png' and args[1].isdigit() and int(args[1]) > 0:
        write_png(args[2], int(args[1]))
    elif len(args) == 2 and args[0] == '--svg':
        write_svg(args[1])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv[1:])
