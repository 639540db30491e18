#!/usr/bin/env python3
"""Draws Vantola's icon: a comic page cut into panels, with a dashed cut line across a gutter.

One description of the shapes gives both the scalable icon (vantola.svg) and the bitmaps
(vantola-SIZE.png), so they always agree. The bitmaps are rasterised here, with 4 x 4
supersampling, using only the standard library. Run from any folder:

    python3 make_icon.py            # rewrites the files beside this script
"""

import math
import os
import struct
import zlib

CANVAS = 256  # the drawing's own units; every size is a scaled copy
SIZES = (16, 32, 48, 64, 128, 256)
INK = (43, 43, 43, 255)

# (kind, geometry, fill RGBA or None, stroke RGBA or None, stroke width), painted in order.
SHAPES = [
    # the page's shadow, then the page
    ("rrect", (42, 18, 218, 244, 10), (0, 0, 0, 70), None, 0),
    ("rrect", (36, 12, 212, 238, 10), (255, 255, 255, 255), INK, 6),
    # the panels, separated by white gutters
    ("rect", (54, 30, 194, 90), (111, 183, 232, 255), INK, 4),
    ("rect", (54, 104, 117, 164), (244, 166, 64, 255), INK, 4),
    ("rect", (131, 104, 194, 164), (140, 200, 102, 255), INK, 4),
    ("rect", (54, 178, 194, 220), (232, 111, 111, 255), INK, 4),
    # a speech balloon in the first panel
    ("ellipse", (146, 58, 30, 17), (255, 255, 255, 255), INK, 3),
    # a figure's head in the second panel, the ground line in the third
    ("ellipse", (86, 134, 14, 14), (255, 226, 190, 255), INK, 3),
    ("rect", (131, 150, 194, 164), (96, 150, 66, 255), INK, 4),
    # the cut: a red dashed line along the gutter under the first panel, past the page's edges
    ("dash", (22, 97, 234, 14, 8), None, (214, 40, 40, 255), 5),
]


def inside_rect(x, y, l, t, r, b):
    return l <= x <= r and t <= y <= b


def inside_rrect(x, y, l, t, r, b, radius):
    if not inside_rect(x, y, l, t, r, b):
        return False
    cx = min(max(x, l + radius), r - radius)
    cy = min(max(y, t + radius), b - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def inside_ellipse(x, y, cx, cy, rx, ry):
    if rx <= 0 or ry <= 0:
        return False
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def shape_colour(shape, x, y):
    """The colour that the shape gives to the point, or None when the point is outside it."""
    kind, g, fill, stroke, width = shape
    h = width / 2.0
    if kind == "dash":
        x0, yy, x1, dash, gap = g
        if not (x0 <= x <= x1 and abs(y - yy) <= h):
            return None
        return stroke if (x - x0) % (dash + gap) < dash else None
    if kind == "ellipse":
        cx, cy, rx, ry = g
        if not inside_ellipse(x, y, cx, cy, rx + h, ry + h):
            return None
        if stroke and not inside_ellipse(x, y, cx, cy, rx - h, ry - h):
            return stroke
        return fill
    l, t, r, b = g[:4]
    radius = g[4] if kind == "rrect" else 0
    if not inside_rrect(x, y, l - h, t - h, r + h, b + h, radius + h):
        return None
    if stroke and not inside_rrect(x, y, l + h, t + h, r - h, b - h, max(radius - h, 0)):
        return stroke
    return fill


def over(dst, src):
    """Source-over blending of straight-alpha colours (0 ... 255)."""
    sa = src[3] / 255.0
    da = dst[3] / 255.0
    oa = sa + da * (1 - sa)
    if oa == 0:
        return (0, 0, 0, 0)
    rgb = tuple((src[i] * sa + dst[i] * da * (1 - sa)) / oa for i in range(3))
    return rgb + (oa * 255,)


def render(size, samples=4):
    scale = CANVAS / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = (0, 0, 0, 0)
                    for shape in SHAPES:
                        c = shape_colour(shape, x, y)
                        if c is not None:
                            colour = over(colour, c)
                    a = colour[3] / 255.0
                    for i in range(3):
                        acc[i] += colour[i] * a  # premultiplied, so edges do not darken
                    acc[3] += colour[3]
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                pixel = [acc[i] / n / (alpha / 255.0) for i in range(3)] + [alpha]
            else:
                pixel = [0, 0, 0, 0]
            row.extend(min(255, max(0, int(round(v)))) for v in pixel)
        rows.append(bytes(row))
    return rows


def png_bytes(size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def svg_colour(c):
    return "#%02x%02x%02x" % c[:3], c[3] / 255.0


def svg_paint(attr, c):
    if c is None:
        return '%s="none"' % attr
    hexa, opacity = svg_colour(c)
    text = '%s="%s"' % (attr, hexa)
    if opacity < 1:
        text += ' %s-opacity="%.3g"' % (attr, opacity)
    return text


def svg_text():
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
             % (CANVAS, CANVAS, CANVAS, CANVAS),
             "  <title>Vantola</title>"]
    for kind, g, fill, stroke, width in SHAPES:
        paint = svg_paint("fill", fill) + " " + svg_paint("stroke", stroke)
        if stroke:
            paint += ' stroke-width="%g"' % width
        if kind == "dash":
            x0, y, x1, dash, gap = g
            lines.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" stroke-dasharray="%g %g" %s/>'
                         % (x0, y, x1, y, dash, gap, paint))
        elif kind == "ellipse":
            lines.append('  <ellipse cx="%g" cy="%g" rx="%g" ry="%g" %s/>' % (g + (paint,)))
        else:
            l, t, r, b = g[:4]
            radius = ' rx="%g"' % g[4] if kind == "rrect" else ""
            lines.append('  <rect x="%g" y="%g" width="%g" height="%g"%s %s/>'
                         % (l, t, r - l, b - t, radius, paint))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(folder, "vantola.svg"), "w", encoding="utf-8") as out:
        out.write(svg_text())
    for size in SIZES:
        with open(os.path.join(folder, "vantola-%d.png" % size), "wb") as out:
            out.write(png_bytes(size, render(size)))


if __name__ == "__main__":
    main()
