#!/usr/bin/env python3
"""Writes the seed pictures of fuzz_picture: one tiny comic page (white paper, two tiers of
panels) as a colour JPEG, a progressive JPEG, a grey JPEG, a PNG with transparency, a 16-bit grey
PNG, an indexed GIF, a 24-bit BMP and a 1-bit BMP. Each format reaches another path of the loader and of the grid fill. The JPEG files
are made by cjpeg (libjpeg-turbo-progs).

Usage: make_picture_seeds.py OUTPUT_FOLDER
"""
import struct
import subprocess
import sys
import zlib
from pathlib import Path

WIDTH, HEIGHT = 24, 18
PANELS = [(2, 10, 2, 7), (13, 21, 2, 7), (2, 21, 10, 15)]  # left, right, top, bottom
INK = (40, 60, 120)


def is_ink(x, y):
    return any(l <= x <= r and t <= y <= b for l, r, t, b in PANELS)


def rgb_rows():
    return [[INK if is_ink(x, y) else (255, 255, 255) for x in range(WIDTH)]
            for y in range(HEIGHT)]


def bmp_24(rows):
    stride = (WIDTH * 3 + 3) // 4 * 4
    pixels = b"".join(
        bytes(c for r, g, b in row for c in (b, g, r)).ljust(stride, b"\0")
        for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835,
                         2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def bmp_1(rows):
    stride = (WIDTH + 31) // 32 * 4
    data = b""
    for row in reversed(rows):
        bits = 0
        for x, colour in enumerate(row):
            bits = bits << 1 | (colour == (255, 255, 255))
        bits <<= stride * 8 - WIDTH
        data += bits.to_bytes(stride, "big")
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0, len(data), 2835, 2835, 2,
                         2)
    offset = 14 + 40 + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + palette + data


def png(width_bits, colour_type, raw):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, width_bits, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def png_rgba(rows):
    """8-bit colour with transparent paper."""
    raw = b"".join(
        b"\0" + bytes(c for colour in row
                      for c in (*colour, 255 if colour != (255, 255, 255) else 0))
        for row in rows)
    return png(8, 6, raw)


def png_grey16(rows):
    """16-bit grey: decoded to a format that the grid fill converts first."""
    raw = b"".join(
        b"\0" + b"".join(struct.pack(">H", (r * 77 + g * 150 + b * 29) // 256 * 257)
                         for r, g, b in row)
        for row in rows)
    return png(16, 0, raw)


def lzw_codes(indices, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {(i,): i for i in range(clear)}
    width, next_code = min_code_size + 1, end + 1
    codes = [(clear, width)]
    current = ()
    for index in indices:
        candidate = current + (index,)
        if candidate in table:
            current = candidate
            continue
        codes.append((table[current], width))
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        current = (index,)
    codes.append((table[current], width))
    codes.append((end, width))
    return codes


def gif_indexed(rows):
    indices = [0 if colour == (255, 255, 255) else 1 for row in rows for colour in row]
    bits, count, data = 0, 0, bytearray()
    for code, width in lzw_codes(indices, 2):
        bits |= code << count
        count += width
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    palette = bytes([255, 255, 255, *INK, 0, 0, 0, 128, 128, 128])
    return (b"GIF89a" + struct.pack("<HHBBB", WIDTH, HEIGHT, 0x81, 0, 0) + palette +
            b"," + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0) + b"\x02" + blocks + b"\0;")


def jpeg(rows, grey, progressive=False):
    if grey:
        pixels = bytes(round(0.299 * r + 0.587 * g + 0.114 * b) for row in rows
                       for r, g, b in row)
        netpbm = b"P5 %d %d 255\n" % (WIDTH, HEIGHT) + pixels
    else:
        pixels = bytes(c for row in rows for colour in row for c in colour)
        netpbm = b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + pixels
    options = ["-quality", "50"] + (["-progressive"] if progressive else [])
    return subprocess.run(["cjpeg", *options], input=netpbm, capture_output=True,
                          check=True).stdout


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    rows = rgb_rows()
    seeds = {
        "page.bmp": bmp_24(rows),
        "page-mono.bmp": bmp_1(rows),
        "page.png": png_rgba(rows),
        "page-grey16.png": png_grey16(rows),
        "page.gif": gif_indexed(rows),
        "page.jpg": jpeg(rows, grey=False),
        "page-grey.jpg": jpeg(rows, grey=True),
        "page-progressive.jpg": jpeg(rows, grey=False, progressive=True),
    }
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
