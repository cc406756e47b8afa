"""The words, numbers, texts and names of the readable sources in app/, and their errors, which
name the file and the line.
"""

import re
import uuid


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
