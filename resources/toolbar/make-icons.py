#!/usr/bin/env python3
"""Draws the document window's toolbar icons (48x36) as XPM files, which Qt
reads without an image plugin. Run from this folder: ./make-icons.py"""
import math

W, H = 48, 36
PALETTE = {'.': 'None', 'k': '#3A4250', 'w': '#FFFFFF', 'b': '#3B7DD8', 'g': '#3AA55D',
           'y': '#E8B33A', 'r': '#D9534F', 'l': '#C9D3E0', 'p': '#8E63C9'}


class Canvas:
    def __init__(self):
        self.px = [['.'] * W for _ in range(H)]

    def put(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c); self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c); self.put(x1, y, c)

    def disc(self, cx, cy, r, c, inner=-1.0, wedge=None):
        for y in range(H):
            for x in range(W):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if inner < d <= r:
                    if wedge:
                        a = math.degrees(math.atan2(cy - y - 0.5, x + 0.5 - cx)) % 360
                        if not (wedge[0] <= a <= wedge[1]):
                            continue
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=2):
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for dx in range(width):
                for dy in range(width):
                    self.put(int(x) + dx, int(y) + dy, c)

    def xpm(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = ['/* XPM */', 'static const char *%s[] = {' % name,
                 '"%d %d %d 1",' % (W, H, len(used))]
        lines += ['"%s c %s",' % (c, PALETTE[c]) for c in used]
        lines += ['"%s",' % ''.join(row) for row in self.px]
        lines[-1] = lines[-1].rstrip(',')
        return '\n'.join(lines) + '\n};\n'


def page(c):
    c.rect(14, 3, 33, 32, 'w'); c.frame(14, 3, 33, 32, 'k')


def tb01(c):  # viewer: a grid of accounts and periods
    c.rect(8, 5, 39, 30, 'w'); c.frame(8, 5, 39, 30, 'k'); c.rect(9, 6, 38, 10, 'b')
    for y in (15, 20, 25):
        c.line(9, y, 38, y, 'l', 1)
    for x in (18, 28):
        c.line(x, 6, x, 29, 'l', 1)


def tb02(c):  # search: a magnifier
    c.disc(20, 15, 10, 'k', inner=7); c.disc(20, 15, 7, 'l'); c.line(27, 22, 36, 31, 'k', 4)


def tb03(c):  # budget: a pie with a cut slice
    c.disc(22, 18, 13, 'b'); c.disc(26, 15, 13, 'y', wedge=(0, 70))


def tb04(c):  # reports: a page of lines
    page(c)
    for y in (9, 14, 19, 24):
        c.line(17, y, 30, y, 'b', 1)


def tb05(c):  # currency: two coins
    c.disc(19, 20, 11, 'k'); c.disc(19, 20, 10, 'y'); c.disc(30, 15, 11, 'k'); c.disc(30, 15, 10, 'y')
    c.line(26, 11, 30, 16, 'k', 2); c.line(34, 11, 30, 16, 'k', 2); c.line(30, 16, 30, 21, 'k', 2)
    c.line(27, 16, 33, 16, 'k', 1); c.line(27, 18, 33, 18, 'k', 1)


def tb06(c):  # investment status: rising bars and a trend line
    for i, h in enumerate((8, 13, 11, 19, 25)):
        c.rect(9 + i * 6, 31 - h, 12 + i * 6, 31, 'g')
    c.line(8, 31, 40, 31, 'k', 1); c.line(9, 20, 21, 14, 'r', 2); c.line(21, 14, 39, 4, 'r', 2)


def tb07(c):  # new item: a page with a plus
    page(c); c.disc(31, 24, 9, 'g'); c.rect(27, 23, 35, 25, 'w'); c.rect(30, 20, 32, 28, 'w')


def tb_batch(c):  # repeated entry: three rows written at once, and the arrow that repeats them
    for y in (6, 14, 22):
        c.rect(8, y, 33, y + 5, 'w'); c.frame(8, y, 33, y + 5, 'k'); c.line(10, y + 2, 24, y + 2, 'b', 1)
    c.line(38, 8, 38, 26, 'g', 3); c.line(34, 22, 38, 28, 'g', 3); c.line(42, 22, 38, 28, 'g', 3)


for name, draw in [('TB01', tb01), ('TB02', tb02), ('TB03', tb03), ('TB04', tb04), ('TB05', tb05),
                   ('TB06', tb06), ('TB07', tb07), ('TB_Batch', tb_batch)]:
    canvas = Canvas()
    draw(canvas)
    with open(name + '.xpm', 'w') as f:
        f.write(canvas.xpm(name.lower()))
