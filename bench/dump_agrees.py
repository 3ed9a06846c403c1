"""Checks a long run's word dump against the statistics block of the same pass: the words total
must equal the sum of the dump's counts, and the average word length sum(count x length) /
sum(count) to three decimals. Reads the block from the crawler's window.

Usage: dump_agrees.py WINDOW_ID DUMP_FILE
"""

import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))

from screen_text import row_text  # noqa: E402
from virtual_display import screenshot  # noqa: E402


class Shot:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def __getitem__(self, xy):
        i = 3 * (xy[1] * self.width + xy[0])
        return tuple(self.rgb[i:i + 3])


def main(window, dump_path):
    shot = Shot(*screenshot(window, os.environ, 30))
    words_row = row_text(shot, 7).decode("latin-1")
    average_row = row_text(shot, 9).decode("latin-1")
    shown_words = int(words_row.split(":")[1])
    shown_average = average_row.split(":")[1].split()[0]
    total = letters = lines = 0
    with open(dump_path, "rb") as dump:
        for line in dump:
            word, _, count = line.rstrip(b"\r\n").rpartition(b" ")
            total += int(count)
            letters += int(count) * len(word)
            lines += 1
    average = "%.3f" % (letters / total) if total else "0.000"
    print("window: %s words, average %s; dump: %d lines, %d words, average %s"
          % (shown_words, shown_average, lines, total, average))
    ok = shown_words == total and shown_average == average
    print("dump and statistics block agree" if ok else "DUMP AND STATISTICS BLOCK DISAGREE")
    return 0 if ok else 1


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
