#!/usr/bin/env python3
"""Draws the host's notification-area icon: a 16x16, 32-bit (BGRA) mouse.

    python3 resources/make_icon.py                 # rewrites resources/hidhost.ico
    python3 resources/make_icon.py --preview x.png # also writes an enlarged preview

The icon is checked in; run this only after changing the picture below.
"""
import argparse
import os
import struct
import zlib

SIZE = 16

# One character per pixel, top row first.
PICTURE = [
    ".......CC.......",
    ".......CC.......",
    ".....KKKKKK.....",
    "....KWWKKWWK....",
    "...KWWWRRWWWK...",
    "...KWWWRRWWWK...",
    "...KWWWKKWWWK...",
    "...KKKKKKKKKK...",
    "...KWWWWWWWWK...",
    "...KWWWWWWWWK...",
    "...KWWWWWWWGK...",
    "...KWWWWWWWGK...",
    "...KWWWWWWGGK...",
    "....KWWWWGGK....",
    ".....KKKKKK.....",
    "................",
]

# RGBA of each character.
PALETTE = {
    ".": (0, 0, 0, 0),
    "K": (32, 32, 36, 255),  # outline and button split
    "C": (64, 64, 72, 255),  # cable
    "W": (242, 242, 245, 255),  # body
    "G": (176, 178, 186, 255),  # shading on the right
    "R": (40, 110, 225, 255),  # wheel
}


def pixels():
    assert len(PICTURE) == SIZE and all(len(row) == SIZE for row in PICTURE)
    return [[PALETTE[c] for c in row] for row in PICTURE]


def ico_bytes(image):
    # The colour image, bottom row first, as BGRA.
    xor = b"".join(
        bytes((b, g, r, a)) for row in reversed(image) for (r, g, b, a) in row)
    # The transparency mask, 1 bit a pixel (1: transparent), rows padded to 32 bits.
    mask_row_bytes = ((SIZE + 31) // 32) * 4
    mask = b""
    for row in reversed(image):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (mask_row_bytes * 8 - 1 - x)
        mask += bits.to_bytes(mask_row_bytes, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image_data = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image_data),
                        6 + 16)
    return directory + entry + image_data


def png_bytes(image, scale):
    # Enlarged, over a checkerboard so that transparent pixels show.
    rows = []
    for y in range(SIZE * scale):
        row = bytearray(b"\0")
        for x in range(SIZE * scale):
            r, g, b, a = image[y // scale][x // scale]
            back = 200 if ((x // 8) + (y // 8)) % 2 else 150
            blend = lambda c: (c * a + back * (255 - a)) // 255
            row += bytes((blend(r), blend(g), blend(b)))
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(
            ">I", zlib.crc32(body) & 0xFFFFFFFF)

    side = SIZE * scale
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--output",
                        default=os.path.join(os.path.dirname(__file__), "hidhost.ico"))
    parser.add_argument("--preview", help="also write an enlarged PNG here")
    args = parser.parse_args()
    image = pixels()
    with open(args.output, "wb") as out:
        out.write(ico_bytes(image))
    if args.preview:
        with open(args.preview, "wb") as out:
            out.write(png_bytes(image, 16))


if __name__ == "__main__":
    main()
