"""Reads the table of control kinds from runtime/control_kinds.h, the one place that lists them,
so that the generator accepts exactly the kinds, setting codes and value forms that the runtime's
reader does.
"""

import re

# ValueForm enumerators -> the value form words of the window source.
FORM_WORDS = {"Text": "text", "Int16": "int16", "Int8": "int8", "ControlRect": "rect",
              "ClientRect": "client", "Picture": "picture"}


class KindTableError(Exception):
    pass


def _strip_comments(text):
    return re.sub(r"//[^\n]*", "", text)


def _section(text, start_pattern, path):
    match = re.search(start_pattern + r"\s*\{(.*?)\n\};", text, re.S)
    if not match:
        raise KindTableError(f"{path}: cannot find {start_pattern!r}")
    return match.group(1)


def read_kind_table(path):
    """Returns (kind codes by name, {kind code: {setting code: value form word}})."""
    with open(path, encoding="utf-8") as f:
        text = _strip_comments(f.read())
    codes = {name: int(value, 0) for name, value in
             re.findall(r"(\w+)\s*=\s*(\w+)\s*,", _section(text, r"enum class Kind : std::uint8_t", path))}
    rows = re.findall(r"\{\s*Kind::(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\{\{\{.*?\}\}\})\s*\}",
                      _section(text, r"inline constexpr KindRow kKinds\[\] =", path), re.S)
    if not codes or not rows:
        raise KindTableError(f"{path}: no kinds or no rows")
    settings = {}
    for name, _caption, _rect, _tab, body in rows:
        if name not in codes or codes[name] in settings:
            raise KindTableError(f"{path}: kind {name} is not in the enum or has two rows")
        pairs = re.findall(r"\{\s*(0x[0-9A-Fa-f]+)\s*,\s*ValueForm::(\w+)\s*\}", body)
        if not pairs or any(form not in FORM_WORDS for _, form in pairs):
            raise KindTableError(f"{path}: cannot read the settings of kind {name}")
        settings[codes[name]] = {int(code, 16): FORM_WORDS[form] for code, form in pairs}
    if len(settings) != len(codes):
        raise KindTableError(f"{path}: a kind of the enum has no row")
    return codes, settings
