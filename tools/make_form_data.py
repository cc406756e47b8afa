#!/usr/bin/env python3
"""Turns the readable window source (app/form1.frm.txt) and its icon pixel map into bytes.

Writes, into --out-dir:
  form1_data.cpp   the project description (with the window description inside it) and the icon
                   file as C++ arrays, declared in app/form1_data.h
  book_icon.ico    the icon file, for the program's resources
  form1.bin        the window description alone (a seed for the fuzzer)
  project.bin      the project description

The source's lines are documented at the top of app/form1.frm.txt, the bytes in
runtime/window_description.h and runtime/project_description.h; the kinds, their setting codes and
value forms come from the table in runtime/control_kinds.h (--kinds). Any mistake in the sources
stops the build with the file name and line number.
"""

import argparse
import os
import struct
import sys

sys.dont_write_bytecode = True  # the build leaves the source tree as it found it

from icon_file import read_icon
from kind_table import KindTableError, read_kind_table
from source_tokens import SourceError, ansi, fail, guid, identifier, number, tokenize, word

# The table of kinds that the runtime's reader uses, beside this script's folder.
KIND_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runtime", "control_kinds.h")

PROJECT_SIGNATURE = b"TVXP"
PROJECT_VERSION = 1
WINDOW_ENTRY_SIZE = 80
WINDOW_NAME_FIELD = 32


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


def read_form_source(path, kinds):
    """kinds: (kind codes by name, {kind code: {setting code: value form}}), from the table."""
    form_kind = kinds[0]["Form"]
    settings_by_kind = kinds[1]
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
                if kind != form_kind:
                    fail(path, line_no, f"window kind {kind} is not a form ({form_kind})")
                current = window = Record(0, identifier(path, line_no, args[0]), kind, line_no)
            elif head == "control" and len(args) == 3:
                index = number(path, line_no, args[0], 1, 255)
                if index != len(controls) + 1:
                    fail(path, line_no, f"control index {index} should be {len(controls) + 1}")
                kind = number(path, line_no, args[2], 0, 255)
                if kind not in settings_by_kind or kind == form_kind:
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
            allowed = settings_by_kind[current.kind]
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
    parser.add_argument("--kinds", default=KIND_TABLE, help="the table of kinds, runtime/control_kinds.h")
    args = parser.parse_args()
    try:
        kinds = read_kind_table(args.kinds)
        facts, window, controls = read_form_source(args.form, kinds)
    except (SourceError, KindTableError, OSError) as e:
        print(f"make_form_data: {e}", file=sys.stderr)
        return 1
    description = window_description(facts, window, controls)
    project, offset = project_description(facts, window, description)
    picture = next(c for c, form in kinds[1][kinds[0]["Form"]].items() if form == "picture")
    icon = next(v for c, v in window.settings if c == picture)[12:]

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
