#!/usr/bin/env python3
"""Writes the seed corpus of the bmp_reader fuzz target: small valid BMP files
and DIB blocks of every accepted kind, and some broken ones."""
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp_reader")


def info(w, h, bits, compression=0, clr_used=0, ppm=2834, size=40):
    stride = (3 * abs(w) + 3) & ~3 if bits == 24 else 4 * abs(w)
    image = (stride * abs(h)) & 0xFFFFFFFF
    return struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, compression, image, ppm, ppm, clr_used, 0)


def rows(w, h, bits):
    stride = (3 * w + 3) & ~3 if bits == 24 else 4 * w
    out = bytearray()
    for i in range(abs(h)):
        row = bytearray()
        for x in range(w):
            px = [(i * 40 + x * 7) & 255, (x * 50) & 255, (i * 90) & 255]
            if bits == 32:
                px.append(0x80 | i)
            row += bytes(px)
        row += bytes(stride - len(row))
        out += row
    return bytes(out)


def bmp(header, extra, pixels, off=None):
    off = 54 + len(extra) if off is None else off
    return struct.pack("<HIHHI", 19778, 14 + len(header) + len(extra) + len(pixels), 0, 0, off) + header + extra + pixels


MASKS = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
SWAPPED = struct.pack("<III", 0x000000FF, 0x0000FF00, 0x00FF0000)

SEEDS = {
    # valid files
    "file_24_bottom_up.bmp": bmp(info(3, 2, 24), b"", rows(3, 2, 24)),
    "file_24_top_down.bmp": bmp(info(5, -3, 24), b"", rows(5, 3, 24)),
    "file_32_bottom_up.bmp": bmp(info(2, 3, 32), b"", rows(2, 3, 32)),
    "file_32_top_down.bmp": bmp(info(4, -2, 32), b"", rows(4, 2, 32)),
    "file_32_bitfields.bmp": bmp(info(2, 2, 32, 3, 3), MASKS, rows(2, 2, 32)),
    "file_24_gap_before_pixels.bmp": bmp(info(1, 1, 24), b"\xee" * 10, rows(1, 1, 24)),
    # valid DIB blocks
    "dib_24.dib": info(3, 3, 24) + rows(3, 3, 24),
    "dib_32_top_down.dib": info(2, -2, 32) + rows(2, 2, 32),
    "dib_32_bitfields.dib": info(2, 1, 32, 3, 0) + MASKS + rows(2, 1, 32),
    "dib_24_colour_table.dib": info(2, 2, 24, 0, 2) + b"\x10\x20\x30\x00" * 2 + rows(2, 2, 24),
    # broken ones
    "broken_truncated_row.bmp": bmp(info(3, 2, 24), b"", rows(3, 2, 24))[:-5],
    "broken_8_bit.bmp": bmp(info(2, 2, 8), b"\x00" * 1024, b"\x00" * 8),
    "broken_rle.bmp": bmp(info(2, 2, 24, 1), b"", rows(2, 2, 24)),
    "broken_huge_size.bmp": bmp(info(10000, 10000, 32), b"", rows(1, 1, 32)),
    "broken_too_large.bmp": bmp(info(10001, 1, 24), b"", rows(1, 1, 24)),
    "broken_negative_width.bmp": bmp(info(-3, 2, 24), b"", rows(3, 2, 24)),
    "broken_most_negative_height.dib": info(1, -2147483648, 32) + rows(1, 1, 32),
    "broken_offset_past_end.bmp": bmp(info(1, 1, 32), b"", rows(1, 1, 32), off=0xFFFFFFF0),
    "broken_bad_masks.bmp": bmp(info(2, 2, 32, 3, 3), SWAPPED, rows(2, 2, 32)),
    "broken_header_108.bmp": bmp(info(2, 2, 32, size=108), b"\x00" * 68, rows(2, 2, 32)),
    "broken_colour_table_past_end.dib": info(1, 1, 24, 0, 0xFFFFFFFF) + rows(1, 1, 24),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(SEEDS)} seeds to {OUT}", file=sys.stderr)


if __name__ == "__main__":
    main()
