"""Turns the icon's pixel map (app/book_icon.txt) into an icon file of 16-colour images."""

import struct

from source_tokens import fail, number

STANDARD_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def read_icon(path):
    legend = {}
    transparent = None
    images = []
    rows = None
    size = 0
    with open(path, encoding="utf-8") as f:
        for line_no, raw in enumerate(f, 1):
            line = raw.strip()
            if rows is not None:
                if len(line) != size:
                    fail(path, line_no, f"row of {len(line)} pixels in a {size}-pixel image")
                for ch in line:
                    if ch != transparent and ch not in legend:
                        fail(path, line_no, f"pixel {ch!r} is not in the legend")
                rows.append(line)
                if len(rows) == size:
                    images.append((size, rows))
                    rows = None
                continue
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if parts[0] == "colour" and len(parts) >= 3 and len(parts[1]) == 1:
                index = number(path, line_no, ("word", parts[2]), 0, 15)
                legend[parts[1]] = index
            elif parts[0] == "transparent" and len(parts) == 2 and len(parts[1]) == 1:
                transparent = parts[1]
            elif parts[0] == "image" and len(parts) == 2:
                size = number(path, line_no, ("word", parts[1]), 1, 255)
                rows = []
            else:
                fail(path, line_no, f"cannot read {line!r}")
    if rows is not None:
        fail(path, line_no, "image ends early")
    if not images:
        fail(path, 1, "no image")
    return icon_file(images, legend, transparent)


def icon_image(size, rows, legend, transparent):
    """One icon image: BITMAPINFOHEADER, palette, colour bits (4 bpp), mask bits (1 bpp)."""
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps store the bottom row first
        c = bytearray(colour_stride)
        m = bytearray(mask_stride)
        for x, ch in enumerate(row):
            if ch == transparent:
                m[x // 8] |= 0x80 >> (x % 8)
            else:
                c[x // 2] |= legend[ch] << (4 if x % 2 == 0 else 0)
        colour += c
        mask += m
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour) + len(mask), 0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in STANDARD_PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(images, legend, transparent):
    bodies = [icon_image(size, rows, legend, transparent) for size, rows in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), body in zip(images, bodies):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    return out + b"".join(bodies)
