#!/usr/bin/env python3
"""Writes a RAR (4.x) comic book for the archive tests: its pages stored
uncompressed, as `rar a -m0` stores them. No RAR writer is packaged for Debian, so the few
headers are written here from the published format; libarchive is what reads the result.

    python3 make_book_cbr.py OUT.cbr PAGE.jpg...
"""
import os
import struct
import sys
import zlib


def block(kind, flags, body, extra=b""):
    """A header block: CRC16 (low half of the CRC32 of the rest), type, flags, size, body."""
    rest = struct.pack("<BHH", kind, flags, 7 + len(body)) + body
    return struct.pack("<H", zlib.crc32(rest) & 0xFFFF) + rest + extra


def stored_file(name, data):
    encoded = name.encode("ascii")
    body = struct.pack("<IIBIIBBHI", len(data), len(data), 3, zlib.crc32(data), 0x5A000000,
                       20, 0x30, len(encoded), 0o100644) + encoded
    return block(0x74, 0x8000, body, data)  # 0x8000: data follow the header


def main(out, pages):
    archive = b"Rar!\x1a\x07\x00" + block(0x73, 0, b"\x00" * 6)
    for page in pages:
        with open(page, "rb") as source:
            archive += stored_file(os.path.basename(page), source.read())
    archive += block(0x7B, 0x4000, b"")
    with open(out, "wb") as target:
        target.write(archive)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
