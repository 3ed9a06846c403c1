#!/usr/bin/env python3
"""Writes src/screen/font8x8.cpp: the 8 x 8 glyphs of the code page 437 glyph set.

The glyphs are taken from the PC screen fonts that Debian ships in /usr/share/consolefonts
(package console-setup-linux). Each byte code is mapped to its Unicode character (Python's
'cp437' codec; the graphic symbols of codes 1..31 and 127 from the table below) and looked up in
the Unicode maps of the fonts. A font counts as having a character only when the character is
the first one its map lists for a glyph; later entries are stand-ins (a double box-drawing line
shown as a single one) that would lose the difference between two codes. The sources, in order:
the 8-pixel-high fonts of SOURCES_8, the same fonts through ALIASES (a triangle of another
size), then the 16-pixel-high font TALL reduced to 8 rows by joining each pair of rows.

The Greek letters of codes 0xE0..0xEF come from TALL alone: the 8-pixel VGA fonts list them
first for bitmaps of other characters (their alpha is the sharp s, their capital sigma a
box-drawing corner, their small delta a capital sigma), and so do the Greek 8-pixel fonts.
The finished table is checked: no two codes but the blank ones share a bitmap.

Usage: tools/font/make_font8x8.py [output.cpp]   (default: src/screen/font8x8.cpp)
"""

import gzip
import os
import struct
import sys

FONT_DIR = "/usr/share/consolefonts"
SOURCES_8 = ["Uni2-VGA8.psf.gz", "FullGreek-VGA8.psf.gz"]
TALL = "Uni2-VGA16.psf.gz"

# Graphic symbols shown for the control codes 0..31 (0 stays blank).
CONTROL_SYMBOLS = " ☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
HOUSE = "⌂"  # code 127

ALIASES = {"►": "▶", "◄": "◀"}

# Characters the 8-pixel fonts do not draw truly, whatever their maps say.
def only_in_tall_font(char):
    return 0x370 <= ord(char) <= 0x3FF  # the Greek block

BLANK_CODES = (0x00, 0x20, 0xFF)


def code_page_437_character(code):
    if code < 32:
        return CONTROL_SYMBOLS[code]
    if code == 127:
        return HOUSE
    return bytes([code]).decode("cp437")


def read_psf1(path):
    """Returns (height, glyph list, {character: glyph index}) of a PSF1 font with a Unicode map;
    the map holds only the first character listed for each glyph."""
    data = gzip.open(path).read()
    if data[:2] != b"\x36\x04":
        raise SystemExit(f"{path}: not a PSF1 font")
    mode, height = data[2], data[3]
    count = 512 if mode & 1 else 256
    if not mode & 2:
        raise SystemExit(f"{path}: font has no Unicode map")
    glyphs = [data[4 + i * height : 4 + (i + 1) * height] for i in range(count)]
    unicode_map = {}
    pos = 4 + count * height
    for index in range(count):
        first = True
        while True:
            (value,) = struct.unpack_from("<H", data, pos)
            pos += 2
            if value == 0xFFFF:
                break
            if value == 0xFFFE:  # combining sequences follow: not used
                first = False
                continue
            if first:
                unicode_map.setdefault(chr(value), index)
                first = False
    return height, glyphs, unicode_map


def halve_rows(rows):
    """Reduces a 16-row glyph to 8 rows; a pixel is set when it is set in either source row."""
    return bytes(rows[2 * i] | rows[2 * i + 1] for i in range(len(rows) // 2))


def build_table():
    fonts = []
    for name in SOURCES_8:
        height, glyphs, umap = read_psf1(os.path.join(FONT_DIR, name))
        assert height == 8, name
        fonts.append((name, glyphs, umap))
    tall_height, tall_glyphs, tall_map = read_psf1(os.path.join(FONT_DIR, TALL))
    assert tall_height == 16
    table, sources = [], {}
    for code in range(256):
        if code in (0, 32):
            table.append(bytes(8))
            sources[code] = "blank"
            continue
        char = code_page_437_character(code)
        candidates = () if only_in_tall_font(char) else (char, ALIASES.get(char))
        for wanted in candidates:
            found = next(((n, g, m) for n, g, m in fonts if wanted in m), None)
            if found:
                name, glyphs, umap = found
                table.append(glyphs[umap[wanted]])
                sources[code] = name if wanted == char else f"{name} U+{ord(wanted):04X}"
                break
        else:
            if char not in tall_map:
                raise SystemExit(f"no glyph for code {code} (U+{ord(char):04X})")
            table.append(halve_rows(tall_glyphs[tall_map[char]]))
            sources[code] = f"{TALL}, rows joined in pairs"
    check_distinct(table)
    return table, sources


def check_distinct(table):
    """Stops when two codes other than the blank ones would be drawn with one bitmap."""
    seen = {}
    for code, rows in enumerate(table):
        if code in BLANK_CODES:
            continue
        if rows in seen:
            raise SystemExit(f"codes 0x{seen[rows]:02X} and 0x{code:02X} share a bitmap")
        seen[rows] = code


def write_source(path, table, sources):
    lines = [
        "// Generated by tools/font/make_font8x8.py from the console fonts in",
        "// /usr/share/consolefonts; each line names the font its glyph comes from.",
        "// Do not edit by hand; rerun the script instead.",
        '#include "screen/font8x8.h"',
        "",
        "namespace ws {",
        "",
        "// clang-format off",
        "const std::array<Glyph, 256> kFont8x8 = {{",
    ]
    for code, rows in enumerate(table):
        char = code_page_437_character(code)
        note = f"U+{ord(char):04X} {sources[code]}"
        values = ", ".join(f"0x{b:02X}" for b in rows)
        lines.append(f"    {{{values}}},  // 0x{code:02X} {note}")
    lines += ["}};", "// clang-format on", "", "}  // namespace ws", ""]
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src/screen/font8x8.cpp")
    table, sources = build_table()
    write_source(path, table, sources)


if __name__ == "__main__":
    main()
