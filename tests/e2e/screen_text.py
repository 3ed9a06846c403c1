"""Reads the text cells of a crawler picture back into bytes, by the glyphs of the program's own
8 x 8 font table (src/screen/font8x8.cpp): a cell whose lit pixels form exactly the glyph of byte
b reads as b. Blank cells read as a blank; a cell that matches no glyph reads as None."""

import os
import re

_FONT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "screen",
                     "font8x8.cpp")


def _glyphs():
    rows = re.findall(r"^\s*\{((?:0x[0-9A-Fa-f]{2},?\s*){8})\},\s*// 0x([0-9A-Fa-f]{2})",
                      open(_FONT).read(), re.M)
    table = {}
    for bits, code in rows:
        pattern = tuple(int(b, 16) for b in re.findall(r"0x([0-9A-Fa-f]{2})", bits))
        table.setdefault(pattern, int(code, 16))  # the blanks 0x00, 0x20, 0xFF share one
    if len(rows) != 256:
        raise ValueError("font table: %d glyphs found in %s" % (len(rows), _FONT))
    table[(0,) * 8] = 0x20
    return table


_BYTE_OF_GLYPH = _glyphs()


def lit(colour):
    return max(colour) > 64


def cell(shot, column, row):
    """The byte shown in text cell (column, row), both 1-based, or None."""
    left, top = 8 * (column - 1), 8 * (row - 1)
    pattern = tuple(sum(0x80 >> x for x in range(8) if lit(shot[left + x, top + y]))
                    for y in range(8))
    return _BYTE_OF_GLYPH.get(pattern)


def row_text(shot, row, columns=None):
    """The bytes of text row `row` (1-based), trailing blanks dropped; '?' for unknown cells."""
    columns = columns or shot.width // 8
    out = bytearray()
    for column in range(1, columns + 1):
        b = cell(shot, column, row)
        out.append(0x3F if b is None else b)
    return bytes(out).rstrip(b" ")
