#!/usr/bin/env python3
"""Turns the readable window source (app/form1.frm.txt) and its icon pixel map into bytes.

Writes, into --out-dir:
  form1_data.cpp   the project description (with the window description inside it) and the icon
                   file as C++ arrays, declared in app/form1_data.h
  book_icon.ico    the icon file, for the program's resources
  form1.bin        the window description alone (a seed for the fuzzer)
  project.bin      the project description

The layouts are documented at the top of app/form1.frm.txt. Any mistake in the sources stops the
build with the file name and line number.
"""

import argparse
import os
import re
import struct
import sys
import uuid

# Setting code -> value form, per kind code. The runtime's reader accepts exactly these.
FORM_KIND = 13
SETTINGS_BY_KIND = {
    13: {0x01: "text", 0x19: "int16", 0x42: "int8", 0x23: "picture", 0x24: "text", 0x26: "int8",
         0x35: "client", 0x46: "int8"},
    5: {0x01: "text", 0x05: "rect", 0x12: "int16"},
    4: {0x01: "text", 0x04: "rect", 0x11: "int16"},
    2: {0x04: "rect", 0x12: "int16"},
    16: {0x04: "rect", 0x0B: "int16"},
    17: {0x04: "rect", 0x0B: "int16"},
    18: {0x04: "rect", 0x0B: "int16"},
}

STANDARD_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

PROJECT_SIGNATURE = b"TVXP"
PROJECT_VERSION = 1
WINDOW_ENTRY_SIZE = 80
WINDOW_NAME_FIELD = 32


class SourceError(Exception):
    pass


def fail(path, line_no, message):
    raise SourceError(f"{path}:{line_no}: {message}")


# ---- tokens ---------------------------------------------------------------------------------------

def tokenize(path, line_no, line):
    """Splits a line into words and quoted texts; "#" outside quotes ends the line."""
    tokens = []
    i = 0
    while i < len(line):
        c = line[i]
        if c.isspace():
            i += 1
        elif c == "#":
            break
        elif c == '"':
            i += 1
            text = []
            while True:
                if i >= len(line):
                    fail(path, line_no, "text without closing quote")
                c = line[i]
                if c == "\\" and i + 1 < len(line) and line[i + 1] in '"\\':
                    text.append(line[i + 1])
                    i += 2
                elif c == '"':
                    i += 1
                    break
                else:
                    text.append(c)
                    i += 1
            tokens.append(("text", "".join(text)))
        else:
            j = i
            while j < len(line) and not line[j].isspace() and line[j] not in '#"':
                j += 1
            tokens.append(("word", line[i:j]))
            i = j
    return tokens


def number(path, line_no, token, low, high):
    kind, value = token
    try:
        if kind != "word":
            raise ValueError
        n = int(value, 0)
    except ValueError:
        fail(path, line_no, f"expected a number, found {value!r}")
    if not low <= n <= high:
        fail(path, line_no, f"{n} is outside {low}..{high}")
    return n


def word(path, line_no, token):
    if token[0] != "word":
        fail(path, line_no, f"expected a word, found text {token[1]!r}")
    return token[1]


def guid(path, line_no, token):
    try:
        return uuid.UUID(word(path, line_no, token)).bytes_le
    except ValueError:
        fail(path, line_no, f"bad identifier {token[1]!r}")


def ansi(path, line_no, text):
    try:
        return text.encode("cp1252")
    except UnicodeEncodeError as e:
        fail(path, line_no, f"{text[e.start]!r} has no Windows-1252 character")


def identifier(path, line_no, token):
    name = word(path, line_no, token)
    if not re.fullmatch(r"[A-Za-z][A-Za-z0-9_]{0,30}", name):
        fail(path, line_no, f"{name!r} is not a valid name")
    return name.encode("ascii")


# ---- icon -----------------------------------------------------------------------------------------

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


# ---- window source --------------------------------------------------------------------------------

class Record:
    def __init__(self, index, name, kind, line_no):
        self.index = index
        self.name = name
        self.kind = kind
        self.line_no = line_no
        self.settings = []  # (code, encoded value)
        self.window_id = None
        self.class_id = None


def setting_value(path, line_no, form, args, base_dir):
    def need(n):
        if len(args) != n:
            fail(path, line_no, f"{form} takes {n} value(s), found {len(args)}")

    if form == "text":
        need(1)
        if args[0][0] != "text":
            fail(path, line_no, "text values are quoted")
        data = ansi(path, line_no, args[0][1])
        if b"\0" in data or len(data) > 0xFFFF:
            fail(path, line_no, "text holds a zero character or is too long")
        return struct.pack("<H", len(data)) + data + b"\0"
    if form == "int16":
        need(1)
        return struct.pack("<h", number(path, line_no, args[0], -0x8000, 0x7FFF))
    if form == "int8":
        need(1)
        return struct.pack("<B", number(path, line_no, args[0], 0, 0xFF))
    if form == "rect":
        need(4)
        return struct.pack("<4h", *(number(path, line_no, a, -0x8000, 0x7FFF) for a in args))
    if form == "client":
        need(4)
        return struct.pack("<4i", *(number(path, line_no, a, -0x80000000, 0x7FFFFFFF) for a in args))
    if form == "picture":
        need(1)
        image = read_icon(os.path.join(base_dir, word(path, line_no, args[0])))
        return struct.pack("<I", 8 + len(image)) + b"lt\0\0" + struct.pack("<I", len(image)) + image
    fail(path, line_no, f"unknown value form {form!r}")


def read_form_source(path):
    base_dir = os.path.dirname(os.path.abspath(path))
    facts = {}
    window = None
    controls = []
    current = None
    with open(path, encoding="utf-8") as f:
        lines = list(enumerate(f, 1))
    for line_no, raw in lines:
        tokens = tokenize(path, line_no, raw.rstrip("\n"))
        if not tokens:
            continue
        head = word(path, line_no, tokens[0])
        args = tokens[1:]
        if current is None:
            if head in ("project", "startup") and len(args) == 1:
                facts[head] = identifier(path, line_no, args[0])
            elif head == "title" and len(args) == 1 and args[0][0] == "text":
                facts[head] = ansi(path, line_no, args[0][1])
            elif head == "project-id" and len(args) == 1:
                facts[head] = guid(path, line_no, args[0])
            elif head == "window" and len(args) == 2:
                if window is not None:
                    fail(path, line_no, "a second window")
                kind = number(path, line_no, args[1], 0, 255)
                if kind != FORM_KIND:
                    fail(path, line_no, f"window kind {kind} is not a form ({FORM_KIND})")
                current = window = Record(0, identifier(path, line_no, args[0]), kind, line_no)
            elif head == "control" and len(args) == 3:
                index = number(path, line_no, args[0], 1, 255)
                if index != len(controls) + 1:
                    fail(path, line_no, f"control index {index} should be {len(controls) + 1}")
                kind = number(path, line_no, args[2], 0, 255)
                if kind not in SETTINGS_BY_KIND or kind == FORM_KIND:
                    fail(path, line_no, f"unknown control kind {kind}")
                current = Record(index, identifier(path, line_no, args[1]), kind, line_no)
                controls.append(current)
            else:
                fail(path, line_no, f"cannot read {raw.strip()!r}")
            continue
        if head == "end" and not args:
            current = None
        elif head in ("id", "class") and current is window and len(args) == 1:
            setattr(window, "window_id" if head == "id" else "class_id", guid(path, line_no, args[0]))
        else:
            code = number(path, line_no, tokens[0], 0, 0xFE)
            if len(args) < 1:
                fail(path, line_no, "setting without a value form")
            form = word(path, line_no, args[0])
            allowed = SETTINGS_BY_KIND[current.kind]
            if code not in allowed:
                fail(path, line_no, f"setting code 0x{code:02X} does not exist for kind {current.kind}")
            if allowed[code] != form:
                fail(path, line_no, f"setting 0x{code:02X} is a {allowed[code]}, not a {form}")
            if any(c == code for c, _ in current.settings):
                fail(path, line_no, f"setting 0x{code:02X} given twice")
            current.settings.append((code, setting_value(path, line_no, form, args[1:], base_dir)))
    if current is not None:
        fail(path, current.line_no, "record without end")
    for key in ("project", "title", "startup", "project-id"):
        if key not in facts:
            fail(path, 1, f"{key} is missing")
    if window is None or window.window_id is None or window.class_id is None:
        fail(path, 1, "the window, its id or its class is missing")
    if not controls:
        fail(path, 1, "no controls")
    names = [window.name] + [c.name for c in controls]
    lowered = [n.lower() for n in names]
    if len(set(lowered)) != len(lowered):
        fail(path, 1, "two records share a name")
    if facts["startup"] != window.name:
        fail(path, 1, "the start-up object is not the window")
    return facts, window, controls


def record_body(record):
    body = bytes([record.index]) + struct.pack("<H", len(record.name)) + record.name + b"\0"
    body += bytes([record.kind])
    for code, value in record.settings:
        body += bytes([code]) + value
    return body + b"\xff"


def window_description(facts, window, controls):
    header = b"\xff\xcc" + struct.pack("<H", 49) + b"\x08" + window.window_id + facts["project-id"]
    header += window.class_id + bytes(36)
    own = record_body(window)
    own_length = 4 + len(own)
    tail = b"\x01"
    for i, control in enumerate(controls):
        if i:
            tail += b"\x03"
        body = record_body(control)
        tail += struct.pack("<I", 4 + len(body)) + body
    tail += b"\x02\x04"
    total_length = 4 + own_length + len(tail)
    return header + struct.pack("<II", total_length, own_length) + own + tail


def project_description(facts, window, description):
    def text(data):
        return struct.pack("<H", len(data)) + data + b"\0"

    texts = text(facts["project"]) + text(facts["title"]) + text(facts["startup"])
    table_offset = 16 + len(texts)
    description_offset = table_offset + WINDOW_ENTRY_SIZE
    total = description_offset + len(description)
    entry = window.window_id + struct.pack("<II", description_offset, len(description))
    entry += window.name.ljust(WINDOW_NAME_FIELD, b"\0") + struct.pack("<I", window.kind) + bytes(20)
    assert len(entry) == WINDOW_ENTRY_SIZE
    head = PROJECT_SIGNATURE + struct.pack("<HHII", PROJECT_VERSION, 1, table_offset, total)
    return head + texts + entry + description, description_offset


def c_array(name, data):
    lines = []
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i:i + 16]) + ",")
    return (f"alignas(4) const unsigned char {name}[{len(data)}] = {{\n" + "\n".join(lines) + "\n};\n"
            f"const std::size_t {name}Size = {len(data)};\n")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--form", required=True, help="the window source, app/form1.frm.txt")
    parser.add_argument("--out-dir", required=True)
    args = parser.parse_args()
    try:
        facts, window, controls = read_form_source(args.form)
    except (SourceError, OSError) as e:
        print(f"make_form_data: {e}", file=sys.stderr)
        return 1
    description = window_description(facts, window, controls)
    project, offset = project_description(facts, window, description)
    icon = next(v for c, v in window.settings if c == 0x23)[12:]

    os.makedirs(args.out_dir, exist_ok=True)
    cpp = ("// Generated by tools/make_form_data.py from app/form1.frm.txt; edit the source, not this file.\n"
           '#include "app/form1_data.h"\n\nnamespace tervalux::form_data {\n\n'
           + c_array("kProjectDescription", project)
           + f"const std::size_t kForm1DescriptionOffset = {offset};\n"
           + f"const std::size_t kForm1DescriptionSize = {len(description)};\n\n"
           + c_array("kBookIcon", icon)
           + "\n}  // namespace tervalux::form_data\n")
    write(os.path.join(args.out_dir, "form1_data.cpp"), cpp.encode("ascii"))
    write(os.path.join(args.out_dir, "book_icon.ico"), icon)
    write(os.path.join(args.out_dir, "form1.bin"), description)
    write(os.path.join(args.out_dir, "project.bin"), project)
    return 0


if __name__ == "__main__":
    sys.exit(main())
