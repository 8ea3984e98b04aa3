#!/usr/bin/env python3
"""Draws the program's default icon: a page with a folded corner and a play mark.

Writes an icon file with three 8-bit (256-colour palette) images, 16x16, 32x32 and 48x48.
Usage: draw_icon.py OUT.ico
"""
import struct
import sys

PALETTE = [
    (0, 0, 0),        # 0 transparent (masked)
    (255, 255, 255),  # 1 page
    (40, 70, 140),    # 2 outline
    (210, 220, 240),  # 3 folded corner
    (230, 150, 30),   # 4 play mark
    (170, 100, 10),   # 5 play mark edge
]


def pixel(x, y, n):
    """Palette index of pixel (x, y) of an n x n image, y counted from the top."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    left, right, top, bottom = 0.16, 0.84, 0.06, 0.94
    fold = 0.24
    if not (left <= u <= right and top <= v <= bottom):
        return 0
    if u - (right - fold) > v - top:  # cut corner
        return 0
    edge = 1.0 / n
    on_edge = (u < left + edge or u > right - edge or v < top + edge or v > bottom - edge
               or abs((u - (right - fold)) - (v - top)) < edge * 1.2)
    if on_edge:
        return 2
    if u > right - fold and v < top + fold:
        return 3
    # play mark: a triangle in the middle of the page
    cx, cy, s = 0.5, 0.56, 0.22
    if cx - s * 0.8 <= u and abs(v - cy) <= ((cx + s) - u) * 0.6:
        inner = abs(v - cy) <= ((cx + s) - u) * 0.6 - edge and u >= cx - s * 0.8 + edge
        return 4 if inner else 5
    return 1


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


def main():
    sizes = (16, 32, 48)
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
