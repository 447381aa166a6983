#!/usr/bin/env python3
"""Draws the application icon, an account book with a yen coin, as SVG and as
PNG files of the usual icon sizes. Both come from the one list of shapes below,
so they always agree; no image tool is needed. Run from this folder:
./make-icon.py"""
import math
import struct
import zlib

NAME = 'org.corvane.Corvane'
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SAMPLES = 4  # per pixel side, for smooth edges

# Shapes on a 256 x 256 canvas, painted in order:
# ('rect', x0, y0, x1, y1, radius, colour), ('disc', cx, cy, r, colour),
# ('line', x0, y0, x1, y1, width, colour) with round ends.
SHAPES = [
    ('rect', 44, 20, 228, 236, 18, '#1F3F66'),    # back cover
    ('rect', 52, 28, 222, 226, 12, '#F4F1E8'),    # page edges
    ('rect', 36, 16, 212, 232, 18, '#2F6DB0'),    # front cover
    ('rect', 36, 16, 66, 232, 14, '#24568C'),     # spine
    ('line', 51, 48, 51, 48, 8, '#9CC0E8'),       # binding rings
    ('line', 51, 124, 51, 124, 8, '#9CC0E8'),
    ('line', 51, 200, 51, 200, 8, '#9CC0E8'),
    ('rect', 84, 44, 194, 168, 10, '#FFFFFF'),    # ledger label
    ('line', 100, 72, 178, 72, 6, '#B8C4D2'),     # ledger rows
    ('line', 100, 96, 178, 96, 6, '#B8C4D2'),
    ('line', 100, 120, 178, 120, 6, '#B8C4D2'),
    ('line', 100, 144, 150, 144, 6, '#B8C4D2'),
    ('line', 156, 64, 156, 152, 4, '#E07A6E'),    # amount column
    ('disc', 178, 188, 44, '#C9962E'),            # coin rim
    ('disc', 178, 188, 36, '#F2C14E'),            # coin
    ('line', 160, 164, 178, 190, 8, '#8A5A10'),   # yen sign
    ('line', 196, 164, 178, 190, 8, '#8A5A10'),
    ('line', 178, 190, 178, 214, 8, '#8A5A10'),
    ('line', 162, 192, 194, 192, 7, '#8A5A10'),
    ('line', 162, 204, 194, 204, 7, '#8A5A10'),
]


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def inside(shape, x, y):
    kind = shape[0]
    if kind == 'rect':
        _, x0, y0, x1, y1, r, _ = shape
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    if kind == 'disc':
        _, cx, cy, r, _ = shape
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    _, x0, y0, x1, y1, w, _ = shape
    vx, vy = x1 - x0, y1 - y0
    length = vx * vx + vy * vy
    t = 0 if length == 0 else max(0, min(1, ((x - x0) * vx + (y - y0) * vy) / length))
    px, py = x0 + t * vx - x, y0 + t * vy - y
    return px * px + py * py <= (w / 2) ** 2


def bounds(shape):
    kind = shape[0]
    if kind == 'rect':
        return shape[1:5]
    if kind == 'disc':
        _, cx, cy, r, _ = shape
        return cx - r, cy - r, cx + r, cy + r
    _, x0, y0, x1, y1, w, _ = shape
    return min(x0, x1) - w, min(y0, y1) - w, max(x0, x1) + w, max(y0, y1) + w


def render(size):
    scale = 256 / size
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]  # premultiplied
    for shape in SHAPES:
        colour = [c / 255 for c in rgb(shape[-1])]
        bx0, by0, bx1, by1 = bounds(shape)
        for py in range(max(0, int(by0 / scale) - 1), min(size, int(by1 / scale) + 2)):
            for px in range(max(0, int(bx0 / scale) - 1), min(size, int(bx1 / scale) + 2)):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        x = (px + (sx + 0.5) / SAMPLES) * scale
                        y = (py + (sy + 0.5) / SAMPLES) * scale
                        hits += inside(shape, x, y)
                if hits:
                    a = hits / SAMPLES ** 2
                    r, g, b, alpha = pixels[py][px]
                    pixels[py][px] = (colour[0] * a + r * (1 - a), colour[1] * a + g * (1 - a),
                                      colour[2] * a + b * (1 - a), a + alpha * (1 - a))
    rows = []
    for row in pixels:
        line = bytearray([0])
        for r, g, b, a in row:
            if a > 0:
                line += bytes(round(min(1, c / a) * 255) for c in (r, g, b))
            else:
                line += b'\0\0\0'
            line.append(round(a * 255))
        rows.append(bytes(line))
    return b''.join(rows)


def png(size, data):
    def chunk(tag, body):
        return struct.pack('>I', len(body)) + tag + body + struct.pack('>I', zlib.crc32(tag + body))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(data, 9)) +
            chunk(b'IEND', b''))


def svg():
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for shape in SHAPES:
        kind, colour = shape[0], shape[-1]
        if kind == 'rect':
            _, x0, y0, x1, y1, r, _ = shape
            out.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" fill="{colour}"/>')
        elif kind == 'disc':
            _, cx, cy, r, _ = shape
            out.append(f'  <circle cx="{cx}" cy="{cy}" r="{r}" fill="{colour}"/>')
        else:
            _, x0, y0, x1, y1, w, _ = shape
            out.append(f'  <line x1="{x0}" y1="{y0}" x2="{x1}" y2="{y1}" stroke="{colour}" '
                       f'stroke-width="{w}" stroke-linecap="round"/>')
    out.append('</svg>')
    return '\n'.join(out) + '\n'


if __name__ == '__main__':
    with open(f'icons/{NAME}.svg', 'w') as f:
        f.write(svg())
    for size in SIZES:
        with open(f'icons/{NAME}-{size}.png', 'wb') as f:
            f.write(png(size, render(size)))
