#!/usr/bin/env python3
"""Builds the German article corpus of the stand-in article server.

Sources are Debian packages with German running text that are installed on the
build machine: the German manual pages (/usr/share/man/de, roff markup is
stripped to running text) and the German fortune cookies
(/usr/share/games/fortunes/de). Every manual page becomes one article with its
sections; the fortunes of one collection are grouped into articles of a few
kilobytes each, titled after a prominent noun of the group.

Output: a UTF-8 text file, one record per line, the first character naming
the record:
    T <title>            starts an article (titles are unique)
    I <key>\t<value>     one infobox row of the current article
    H <heading>          starts a section of the current article
    P <text>             one paragraph of running text
    L <text>             one list item (short option descriptions and the like)
Lines never contain tabs except the one in an I record, nor CR or LF.

Usage: build_corpus.py OUTPUT.txt [SOURCES.md]
The second file, when given, receives the list of packages used and the licence
named in each package's copyright file.
"""

import collections
import gzip
import os
import re
import subprocess
import sys

MAN_ROOT = "/usr/share/man/de"
FORTUNE_ROOT = "/usr/share/games/fortunes/de"
FORTUNE_GROUP_BYTES = 1800
MAX_TITLE_CHARS = 120

# Named roff characters that occur in the German pages.
ROFF_CHARS = {
    "em": "—", "en": "–", "hy": "-", "aq": "'", "dq": '"', "lq": "„", "rq": "“",
    "Fo": "«", "Fc": "»", "fo": "‹", "fc": "›", "bu": "•", "co": "©", "rg": "®",
    "tm": "™", "de": "°", "mu": "×", "di": "÷", "pl": "+", "mi": "-", "eq": "=",
    "<=": "≤", ">=": "≥", "->": "→", "<-": "←", "ga": "`", "ti": "~", "ha": "^",
    "rs": "\\", "sl": "/", "ba": "|", "or": "|", "lB": "[", "rB": "]", "lC": "{",
    "rC": "}", "sq": "'", "oq": "‘", "cq": "’", "Bq": "„", "bq": "‚", "ss": "ß",
    ":a": "ä", ":o": "ö", ":u": "ü", ":A": "Ä", ":O": "Ö", ":U": "Ü", "ps": "¶",
    "sc": "§", "ct": "¢", "Eu": "€", "eu": "€", "Po": "£", "Ye": "¥", "12": "½",
    "14": "¼", "34": "¾", "+-": "±", "at": "@", "sh": "#", "dg": "†", "mc": "µ",
}
ROFF_STRINGS = {"lq": "„", "rq": "“", "R": "®", "Tm": "™", "aq": "'", "dq": '"'}


def roff_inline(text):
    """Turns one line of roff into plain text: escapes resolved, fonts dropped."""
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        i += 1
        if i >= n:
            break
        e = text[i]
        i += 1
        if e in "fF":  # font change: \fB \f(CW \f[BI]
            if i < n and text[i] == "(":
                i += 3
            elif i < n and text[i] == "[":
                j = text.find("]", i)
                i = n if j < 0 else j + 1
            else:
                i += 1
        elif e == "(":
            out.append(ROFF_CHARS.get(text[i:i + 2], ""))
            i += 2
        elif e == "[":
            j = text.find("]", i)
            name = text[i:j] if j >= 0 else ""
            i = n if j < 0 else j + 1
            if name.startswith("u") and re.fullmatch(r"u[0-9A-Fa-f]{4,6}", name):
                out.append(chr(int(name[1:], 16)))
            else:
                out.append(ROFF_CHARS.get(name, ""))
        elif e == "*":
            if i < n and text[i] == "(":
                out.append(ROFF_STRINGS.get(text[i + 1:i + 3], ""))
                i += 3
            elif i < n and text[i] == "[":
                j = text.find("]", i)
                out.append(ROFF_STRINGS.get(text[i + 1:j] if j >= 0 else "", ""))
                i = n if j < 0 else j + 1
            else:
                out.append(ROFF_STRINGS.get(text[i:i + 1], ""))
                i += 1
        elif e in "sS":  # size change \s+2 \s-1 \s0 \s(12 \s[12]
            while i < n and text[i] in "+-0123456789([]":
                i += 1
        elif e in "nkgmMVYw":  # registers, colours, widths: skip their name
            if i < n and text[i] == "(":
                i += 3
            elif i < n and text[i] == "[":
                j = text.find("]", i)
                i = n if j < 0 else j + 1
            elif i < n and text[i] == "'":
                j = text.find("'", i + 1)
                i = n if j < 0 else j + 1
            else:
                i += 1
        elif e in "hvlLDoXbBCNRxZz":  # motions and drawing with a quoted argument
            if i < n and text[i] == "'":
                j = text.find("'", i + 1)
                i = n if j < 0 else j + 1
        elif e == "-":
            out.append("-")
        elif e in "e\\":
            out.append("\\")
        elif e in "~ 0":
            out.append(" ")
        elif e in "&|^,/)%:cdupratTEjt":
            pass
        elif e == '"':  # comment to the end of the line
            break
        elif e == ".":
            out.append(".")
        elif e == "'":
            out.append("'")
        elif e == "`":
            out.append("`")
        else:
            out.append(e)
    return "".join(out)


def macro_args(rest):
    """Splits the argument text of a macro line, honouring double quotes."""
    args = []
    for m in re.finditer(r'"((?:[^"]|"")*)"|(\S+)', rest):
        args.append(m.group(1).replace('""', '"') if m.group(1) is not None else m.group(2))
    return args


ALTERNATING = {"BR", "RB", "BI", "IB", "IR", "RI"}
BREAKS = {"PP", "P", "LP", "sp", "br", "in", "RS", "RE", "IP", "TP", "TQ", "HP", "ne", "PD", "UE", "ME"}


def parse_man(lines):
    """Returns (name, description, section title, [(heading, [(kind, text)])])."""
    sections = []
    heading = None
    blocks = []
    current = []
    kind = "P"
    skip_until = None
    th = []

    def flush():
        nonlocal current, kind
        text = " ".join(w for w in current if w).strip()
        text = re.sub(r"\s+", " ", text)
        if text:
            blocks.append((kind, text))
        current = []
        kind = "P"

    for raw in lines:
        line = raw.rstrip("\n")
        if skip_until is not None:
            if line.startswith(skip_until):
                skip_until = None
            continue
        if line.startswith(".\\\"") or line.startswith("'\\\"") or line.startswith("\\\""):
            continue
        if line.startswith(".") or line.startswith("'"):
            m = re.match(r"[.'][ \t]*([A-Za-z0-9]+)[ \t]*(.*)", line)
            if not m:
                continue
            name, rest = m.group(1), m.group(2)
            if name in ("de", "de1", "ig", "am"):
                skip_until = ".."
            elif name in ("TS",):
                flush()
                skip_until = ".TE"
            elif name in ("EX", "nf"):
                flush()
                skip_until = ".EE" if name == "EX" else ".fi"
            elif name == "TH":
                th = macro_args(rest)
            elif name in ("SH", "SS"):
                flush()
                if heading is not None or blocks:
                    sections.append((heading, blocks))
                blocks = []
                heading = roff_inline(" ".join(macro_args(rest))).strip()
            elif name in ("TP", "TQ", "IP"):
                flush()
                kind = "L"
                if name == "IP":
                    a = macro_args(rest)
                    if a and roff_inline(a[0]).strip() not in ("", "•", "*", "-", "\\(bu"):
                        current.append(roff_inline(a[0]) + ":")
            elif name in BREAKS:
                flush()
            elif name in ("B", "I", "SM", "SB", "UR", "MT"):
                if name in ("UR", "MT"):
                    continue
                current.append(roff_inline(" ".join(macro_args(rest))))
            elif name in ALTERNATING:
                current.append(roff_inline("".join(macro_args(rest))))
            # every other request (ft, ps, ad, na, hy, nh, so, ...) carries no text
            continue
        current.append(roff_inline(line))
    flush()
    if heading is not None or blocks:
        sections.append((heading, blocks))
    return th, sections


def clean_text(text):
    text = text.replace("\t", " ").replace("\r", " ")
    text = re.sub(r"\s+", " ", text).strip()
    return text


def title_ok(title):
    return 2 <= len(title) <= MAX_TITLE_CHARS and not title.startswith(("Spezial:", "Datei:"))


def shorten(text, limit):
    if len(text) <= limit:
        return text
    cut = text[:limit].rsplit(" ", 1)[0]
    return cut.rstrip(" ,;:-")


class CorpusWriter:
    def __init__(self):
        self.titles = set()
        self.records = []
        self.paragraph_bytes = 0
        self.articles = 0

    def unique(self, base, qualifiers):
        base = shorten(clean_text(base), MAX_TITLE_CHARS)
        if base and base[0].islower():
            base = base[0].upper() + base[1:]
        if base and title_ok(base) and base not in self.titles:
            return base
        for q in qualifiers:
            t = f"{shorten(base, MAX_TITLE_CHARS - len(q) - 3)} ({q})"
            if title_ok(t) and t not in self.titles:
                return t
        k = 2
        while True:
            t = f"{shorten(base, MAX_TITLE_CHARS - 8)} ({k})"
            if t not in self.titles:
                return t
            k += 1

    def add(self, title, infobox, sections):
        if not any(kind == "P" for _, blocks in sections for kind, _ in blocks):
            return False
        self.titles.add(title)
        self.articles += 1
        self.records.append("T " + title)
        for key, value in infobox:
            self.records.append(f"I {clean_text(key)}\t{clean_text(value)}")
        for heading, blocks in sections:
            if heading:
                self.records.append("H " + clean_text(heading))
            for kind, text in blocks:
                text = clean_text(text)
                if text:
                    self.records.append(f"{kind} {text}")
                    if kind == "P":
                        self.paragraph_bytes += len(text.encode("utf-8"))
        return True


def man_pages():
    for sub in sorted(os.listdir(MAN_ROOT)):
        folder = os.path.join(MAN_ROOT, sub)
        if not sub.startswith("man") or not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not name.endswith(".gz"):
                continue
            yield sub[3:], path


def package_of(paths):
    """Maps each path to its Debian package (dpkg -S, in batches)."""
    owners = {}
    paths = list(paths)
    for i in range(0, len(paths), 200):
        batch = paths[i:i + 200]
        out = subprocess.run(["dpkg", "-S", *batch], capture_output=True, text=True).stdout
        for line in out.splitlines():
            pkgs, _, p = line.partition(": ")
            owners[p.strip()] = pkgs.split(",")[0].strip()
    return owners


def add_man_pages(writer, used):
    pages = list(man_pages())
    owners = package_of(p for _, p in pages)
    for section, path in pages:
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            lines = f.readlines()
        if len(lines) < 3 or any(l.startswith(".so ") for l in lines[:3]):
            continue
        th, sections = parse_man(lines)
        if not sections:
            continue
        command = os.path.basename(path)[:-3].rsplit(".", 1)[0]
        description = ""
        body = []
        for heading, blocks in sections:
            if heading and heading.upper() in ("BEZEICHNUNG", "NAME") and blocks:
                nameline = blocks[0][1]
                parts = re.split(r"\s+[-–—]\s+", nameline, maxsplit=1)
                if len(parts) == 2:
                    description = parts[1]
                continue
            body.append((heading.capitalize() if heading and heading.isupper() else heading, blocks))
        if not description:
            continue
        title = writer.unique(description, [command, f"{command}, Abschnitt {section}"])
        package = owners.get(path, "unbekannt")
        infobox = [("Befehl", command), ("Abschnitt", section), ("Paket", package)]
        if len(th) >= 4 and th[3]:
            infobox.append(("Herkunft", roff_inline(th[3])))
        if len(th) >= 3 and th[2]:
            infobox.append(("Stand", roff_inline(th[2])))
        if writer.add(title, infobox, body):
            used[package] += 1


WORD = re.compile(r"[A-ZÄÖÜ][a-zäöüß]{4,}")


def fortune_groups(text):
    cookies = [c.strip("\n") for c in re.split(r"^%\s*$", text, flags=re.M)]
    cookies = [c for c in cookies if c.strip()]
    group, size = [], 0
    for c in cookies:
        group.append(c)
        size += len(c)
        if size >= FORTUNE_GROUP_BYTES:
            yield group
            group, size = [], 0
    if group:
        yield group


def cookie_paragraph(cookie):
    """A cookie's lines joined into running text; verse keeps its line ends as '\n'."""
    lines = [l.strip() for l in cookie.splitlines() if l.strip()]
    if not lines:
        return ""
    short = sum(1 for l in lines if len(l) < 45)
    if len(lines) >= 3 and short * 2 > len(lines):
        return "\x7f".join(lines)  # verse: the server turns this mark into a line break
    return " ".join(lines)


def add_fortunes(writer, used):
    names = sorted(n for n in os.listdir(FORTUNE_ROOT)
                   if "." not in n and os.path.isfile(os.path.join(FORTUNE_ROOT, n)))
    skip = {"asciiart"}  # pictures, not text
    for name in names:
        if name in skip:
            continue
        with open(os.path.join(FORTUNE_ROOT, name), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for number, group in enumerate(fortune_groups(text), 1):
            paragraphs = [p for p in (cookie_paragraph(c) for c in group) if p]
            counts = collections.Counter(w for p in paragraphs for w in WORD.findall(p))
            ranked = sorted(counts, key=lambda w: (-counts[w] * len(w), w))
            base = next((w for w in ranked if w not in writer.titles), None)
            if base is None:
                base = f"{name.capitalize()} {number}"
            title = writer.unique(base, [f"Sammlung {name}", f"{name} {number}"])
            blocks = [("P", p) for p in paragraphs]
            infobox = [("Sammlung", name), ("Teil", str(number)), ("Sprüche", str(len(paragraphs))),
                       ("Paket", "fortunes-de")]
            # Text after the verse mark is kept; clean_text must not fold it away.
            sections = [(None, blocks[:len(blocks) // 2 or 1]), ("Weitere Sprüche", blocks[len(blocks) // 2 or 1:])]
            if writer.add(title, infobox, [s for s in sections if s[1]]):
                used["fortunes-de"] += 1


def licence_of(package):
    path = f"/usr/share/doc/{package}/copyright"
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
    except OSError:
        return "(no copyright file)"
    names = []
    for m in re.finditer(r"^License:\s*(\S.*)$", text, flags=re.M):
        if m.group(1).strip() not in names:
            names.append(m.group(1).strip())
    if names:
        return ", ".join(names[:4])
    # Copyright files without machine-readable fields: name the licence their text quotes.
    if "version 3 of the License" in text:
        return "GPL-3+"
    if "Lesser General Public" in text:
        return "LGPL-2.1+"
    if "version 2 of the License" in text:
        return "GPL-2+"
    return "see " + path


def version_of(package):
    out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                         capture_output=True, text=True).stdout
    return out.strip() or "?"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    writer = CorpusWriter()
    used = collections.Counter()
    add_man_pages(writer, used)
    add_fortunes(writer, used)
    with open(sys.argv[1], "w", encoding="utf-8", newline="\n") as f:
        for r in writer.records:
            f.write(r.replace("\n", " ") + "\n")
    print(f"{writer.articles} articles, {writer.paragraph_bytes} bytes of paragraph text", file=sys.stderr)
    if len(sys.argv) > 2:
        with open(sys.argv[2], "w", encoding="utf-8") as f:
            f.write("| package | version | articles | licence (from /usr/share/doc/<package>/copyright) |\n"
                    "|---|---|---|---|\n")
            for package, count in sorted(used.items()):
                f.write(f"| {package} | {version_of(package)} | {count} | {licence_of(package)} |\n")


if __name__ == "__main__":
    main()
