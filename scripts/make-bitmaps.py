#!/usr/bin/env python3
"""Draws the chooser window's bitmaps and writes them as PNG files.

REPORT (a printer with a sheet), SEARCH (a magnifying glass over a sheet),
HELP (a question mark in a blue disc), EXIT (an open door with an arrow) and
PEDRA (a light stone texture that tiles without seams), and the program's
own icon (a printer handing out a slip with a bar code) in the sizes of the
desktop's icon theme. Everything is drawn here from shapes and a seeded
noise, so the output is the same on every run.

For the Windows program the same images go out as BMP files, which its
resource script compiles into BITMAP resources, and the icon's sizes as one
ICO file.

    scripts/make-bitmaps.py [OUTPUT_FOLDER [ICON_FOLDER]]
        (defaults: resources/ and packaging/icons/)
"""

import math
import os
import random
import struct
import sys
import zlib

ICON = 26   # the buttons are 75 x 50 with the caption under the image
SS = 4      # supersampling per axis, for smooth edges


def write_png(path, width, height, rgba):
    """rgba: bytes of width*height*4."""
    raw = bytearray()
    stride = width * 4
    for y in range(height):
        raw.append(0)  # filter: none
        raw += rgba[y * stride:(y + 1) * stride]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# The buttons' transparent pixels in the BMP files: the Windows tool bar
# leaves this colour out, and the soft edges are blended over the face of
# a button.
MASK = (255, 0, 255)
BUTTON_FACE = (240, 240, 240)


def write_bmp(path, width, height, rgba):
    """A 24-bit BMP, bottom-up; pixels with little alpha become MASK."""
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, a = rgba[(y * width + x) * 4:(y * width + x) * 4 + 4]
            if a < 64:
                r, g, b = MASK
            elif a < 255:
                r, g, b = (int(round((c * a + f * (255 - a)) / 255.0)) for c, f in zip((r, g, b), BUTTON_FACE))
            row += bytes((b, g, r))
        pixels += row + b"\0" * (stride - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header + pixels)


def write_ico(path, pngs):
    """An ICO file of PNG images: pngs is a list of (size, PNG bytes)."""
    out = struct.pack("<HHH", 0, 1, len(pngs))
    offset = 6 + 16 * len(pngs)
    for size, data in pngs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(data for _, data in pngs))


class Canvas:
    """An icon drawn at SS times its size, then averaged down. Shapes are
    given in units of `scale` pixels, so one drawing serves every size."""

    def __init__(self, size, scale=1.0):
        self.size = size
        self.scale = scale
        self.n = size * SS
        self.px = [(0, 0, 0, 0)] * (self.n * self.n)

    def _fill(self, inside, colour, box=None):
        k = self.scale
        x0, y0, x1, y1 = (v * k for v in box) if box else (0, 0, self.size, self.size)
        for sy in range(max(0, int(y0 * SS)), min(self.n, int(math.ceil(y1 * SS)))):
            y = (sy + 0.5) / SS / k
            for sx in range(max(0, int(x0 * SS)), min(self.n, int(math.ceil(x1 * SS)))):
                x = (sx + 0.5) / SS / k
                if inside(x, y):
                    self._blend(sx, sy, colour)

    def _blend(self, sx, sy, colour):
        r, g, b, a = colour
        i = sy * self.n + sx
        pr, pg, pb, pa = self.px[i]
        fa = a / 255.0
        out_a = fa + (pa / 255.0) * (1 - fa)
        if out_a == 0:
            return
        def mix(c, pc):
            return (c * fa + pc * (pa / 255.0) * (1 - fa)) / out_a
        self.px[i] = (mix(r, pr), mix(g, pg), mix(b, pb), out_a * 255)

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1))

    def frame(self, x0, y0, x1, y1, width, colour):
        self.rect(x0, y0, x1, y0 + width, colour)
        self.rect(x0, y1 - width, x1, y1, colour)
        self.rect(x0, y0, x0 + width, y1, colour)
        self.rect(x1 - width, y0, x1, y1, colour)

    def disc(self, cx, cy, r, colour):
        self._fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                   (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, width, colour):
        inner = r - width
        self._fill(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                   (cx - r, cy - r, cx + r, cy + r))

    def line(self, ax, ay, bx, by, width, colour):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9
        half = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            px, py = ax + t * dx - x, ay + t * dy - y
            return px * px + py * py <= half * half

        self._fill(inside, colour, (min(ax, bx) - half, min(ay, by) - half,
                                    max(ax, bx) + half, max(ay, by) + half))

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self._fill(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def rgba(self):
        out = bytearray()
        for y in range(self.size):
            for x in range(self.size):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        r, g, b, a = self.px[(y * SS + sy) * self.n + x * SS + sx]
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
                alpha = acc[3] / (SS * SS)
                if acc[3] > 0:
                    out += bytes(int(round(acc[k] / acc[3])) for k in range(3))
                else:
                    out += b"\0\0\0"
                out.append(int(round(alpha)))
        return bytes(out)


INK = (40, 40, 48, 255)
PAPER = (252, 252, 246, 255)
LINES = (120, 130, 150, 255)


def sheet(c, x0, y0, x1, y1, lines):
    c.rect(x0, y0, x1, y1, PAPER)
    c.frame(x0, y0, x1, y1, 1, INK)
    for k in range(lines):
        y = y0 + 3 + k * 2.5
        if y < y1 - 2:
            c.rect(x0 + 2.5, y, x1 - 2.5 - (k % 2) * 3, y + 1, LINES)


def report():
    c = Canvas(ICON)
    sheet(c, 7, 1, 19, 12, 4)                          # the sheet going in
    c.rect(2, 10, 24, 20, (150, 156, 168, 255))        # the printer's body
    c.frame(2, 10, 24, 20, 1, INK)
    c.rect(3, 11, 23, 13, (190, 196, 206, 255))
    c.disc(20.5, 15.5, 1.3, (40, 170, 60, 255))        # the power light
    sheet(c, 6, 17, 20, 25, 2)                         # the printed page
    return c


def search():
    c = Canvas(ICON)
    sheet(c, 2, 1, 16, 20, 6)
    c.line(15.5, 15.5, 23.5, 23.5, 3.6, (120, 78, 30, 255))   # the handle
    c.disc(12, 12, 6.5, (200, 225, 250, 200))                  # the lens
    c.ring(12, 12, 7, 2, INK)
    c.line(9, 9.5, 11, 8, 1, (255, 255, 255, 220))             # a glint
    return c


def help_():
    c = Canvas(ICON)
    c.disc(13, 13, 12, (30, 90, 190, 255))
    c.ring(13, 13, 12, 1, (20, 50, 120, 255))
    white = (255, 255, 255, 255)
    # the question mark: an arc, a stem and a dot
    c._fill(lambda x, y: 3.4 ** 2 <= (x - 13) ** 2 + (y - 10) ** 2 <= 5.6 ** 2
            and not (x < 13 and y > 10), white, (7, 4, 19, 16))
    c.rect(11.9, 14.5, 14.1, 18, white)
    c.disc(13, 20.6, 1.5, white)
    return c


def exit_():
    c = Canvas(ICON)
    c.rect(9, 2, 23, 24, (110, 70, 40, 255))            # the door frame
    c.rect(10.5, 3.5, 21.5, 24, (30, 30, 40, 255))      # the dark opening
    c.polygon([(10.5, 3.5), (17, 6), (17, 26), (10.5, 24)], (180, 120, 60, 255))  # open leaf
    c.disc(15.5, 15, 0.9, (240, 200, 80, 255))
    red = (200, 30, 30, 255)
    c.line(1.5, 14, 8, 14, 2.6, red)                    # the arrow, out
    c.polygon([(1, 14), (5, 9.5), (5, 18.5)], red)
    return c


APP_UNITS = 48
APP_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 24, 32, 48, 256)


def app_icon(size):
    """The program's icon, drawn on a 48-unit grid: a sheet going into a
    printer and a slip with a bar code coming out."""
    c = Canvas(size, size / APP_UNITS)
    sheet(c, 13, 2, 35, 21, 6)
    c.rect(3, 17, 45, 36, (52, 84, 136, 255))          # the printer's body
    c.frame(3, 17, 45, 36, 1.5, INK)
    c.rect(6, 20, 42, 23, (150, 172, 206, 255))        # the paper slot
    c.disc(39.5, 30.5, 2, (60, 200, 80, 255))          # the power light
    c.rect(9, 31, 39, 47, PAPER)                       # the slip
    c.frame(9, 31, 39, 47, 1, INK)
    x = 12.0
    for width in (1.2, 0.6, 0.6, 1.8, 0.6, 1.2, 0.6, 1.8, 1.2, 0.6, 0.6, 1.2, 1.8, 0.6):
        c.rect(x, 35, x + width, 44, INK)               # its bar code
        x += width + 0.75
    return c


def stone(size=96, seed=1702):
    """A light grey stone: value noise over a few octaves, wrapped so that
    the texture tiles, with a little grain."""
    rnd = random.Random(seed)

    def lattice(period):
        return [[rnd.random() for _ in range(period)] for _ in range(period)]

    def smooth(t):
        return t * t * (3 - 2 * t)

    octaves = [(3, 0.45), (6, 0.25), (12, 0.15), (24, 0.1), (48, 0.05)]
    grids = [(period, weight, lattice(period)) for period, weight in octaves]
    out = bytearray()
    for y in range(size):
        for x in range(size):
            v = 0.0
            for period, weight, g in grids:
                fx, fy = x * period / size, y * period / size
                ix, iy = int(fx), int(fy)
                tx, ty = smooth(fx - ix), smooth(fy - iy)
                a = g[iy % period][ix % period]
                b = g[iy % period][(ix + 1) % period]
                c = g[(iy + 1) % period][ix % period]
                d = g[(iy + 1) % period][(ix + 1) % period]
                top = a + (b - a) * tx
                bottom = c + (d - c) * tx
                v += weight * (top + (bottom - top) * ty)
            v += (rnd.random() - 0.5) * 0.08
            if rnd.random() < 0.03:
                v -= 0.25                  # a dark speck in the grain
            grey = max(150.0, min(245.0, 175 + v * 70))  # black text stays readable
            out += bytes((int(grey), int(grey * 0.99), int(grey * 0.95), 255))
    return size, size, bytes(out)


def main():
    here = os.path.dirname(__file__)
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    icons = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(folder, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    for name, draw in (("REPORT", report), ("SEARCH", search), ("HELP", help_), ("EXIT", exit_)):
        c = draw()
        rgba = c.rgba()
        write_png(os.path.join(folder, name + ".png"), c.size, c.size, rgba)
        write_bmp(os.path.join(folder, name + ".bmp"), c.size, c.size, rgba)
    w, h, data = stone()
    write_png(os.path.join(folder, "PEDRA.png"), w, h, data)
    write_bmp(os.path.join(folder, "PEDRA.bmp"), w, h, data)
    pngs = []
    for size in APP_SIZES:
        c = app_icon(size)
        png = os.path.join(icons, "tarvousb-%d.png" % size)
        write_png(png, size, size, c.rgba())
        if size in ICO_SIZES:
            with open(png, "rb") as f:
                pngs.append((size, f.read()))
    write_ico(os.path.join(folder, "tarvousb.ico"), pngs)


if __name__ == "__main__":
    main()
