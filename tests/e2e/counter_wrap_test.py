"""End-to-end run of the boundary build: the crawler whose counters start just below 2^32 (and
"die", "der", "und" near 2^32, 2^31 and past 2^32) crawls the stand-in, so that the words, letters,
different words and articles counters and the counts of view 3 and the dump cross the 32-bit
edges within seconds. The statistics block and view 3, read back from the window's pixels, and the
word dump are compared with a model computed here from the same article sequence.

Usage: counter_wrap_test.py <boundary crawler> <article-server>
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from crawler_e2e_test import SEED, TEST_PORT, wait_for_view
from crawler_harness import ArticleServer, Crawler, Failure, XServer, run_isolated
from screen_text import row_text
from word_dump_reference import Trie, paragraph_text, random_article, words

EDGE = 1 << 32
# Where the boundary build starts (src/driver/counter_start_near_wrap.cpp).
START = {"pages": EDGE - 3, "words": EDGE - 1000, "letters": EDGE - 6000, "distinct": EDGE - 1500}
SEEDED = {b"die": EDGE - 20, b"der": EDGE // 2 - 20, b"und": EDGE + 10}
TOP_ROW = 18  # rank 1 of view 3


class CountingTrie(Trie):
    """The reference trie with the crawler's counters beside it."""

    def __init__(self):
        super().__init__()
        self.pages, self.words, self.letters = START["pages"], START["words"], START["letters"]
        self.distinct = START["distinct"]
        for word, times in SEEDED.items():
            self.count(word, times)

    def count(self, word, times=1):
        created = sum(1 for end in range(2, len(word) + 1) if word[:end] not in self.counts)
        for end in range(2, len(word)):
            self.counts.setdefault(word[:end], 0)
        self.counts[word] = self.counts.get(word, 0) + times
        return created

    def add_words(self, words):
        for word in words:
            self.words += 1
            self.letters += len(word)
            if self.count(word):
                self.distinct += 1

    def statistics(self, path):
        """Rows 4 to 11 of the statistics block as the crawler must print them."""
        megabytes = "%.16g" % (self.node_count() * 900 / 1048576)
        if "." in megabytes:
            megabytes = megabytes[:megabytes.index(".") + 2]
        return {4: "                Anzahl der Knoten: %d" % self.node_count(),
                5: "                Belegter Speicher: %s MB" % megabytes,
                7: "                Woerter insgesamt: %d" % self.words,
                8: "         Unterschiedliche Woerter: %d" % self.distinct,
                9: "     Durchschnittliche Wortlaenge:%6.3f Buchstaben." % (self.letters / self.words),
                11: "Eingelesene Website (%d): %s" % (self.pages, path)}

    def top_twenty(self):
        ranked = sorted(((-c, w) for w, c in self.counts.items() if len(w) >= 2 and c > 0))
        return [(w, -c) for c, w in ranked[:20]]


def shown_state(shot):
    stats = {row: row_text(shot, row).decode("latin-1") for row in (4, 5, 7, 8, 9, 11)}
    # A long article path runs on from row 11 into the rows below it.
    row = 11
    while len(stats[11]) == (row - 10) * (shot.width // 8) and row < 13:
        row += 1
        stats[11] += row_text(shot, row).decode("latin-1")
    ranking = []
    for rank in range(1, 21):
        fields = row_text(shot, TOP_ROW + rank - 1).split()
        if len(fields) != 4 or fields[0] != b"%d" % rank or fields[3] != b"x":
            raise Failure("view 3, rank %d reads %r" % (rank, b" ".join(fields)))
        ranking.append((fields[1], int(fields[2])))
    return stats, ranking


def settled_picture(crawler):
    """A picture whose statistics block and view 3 read the same in two shots in a row: a frame
    shown whole, not one taken while the next reached the X server."""
    rows = (4, 5, 7, 8, 9, 11) + tuple(range(TOP_ROW, TOP_ROW + 20))
    for _ in range(20):
        first = crawler.screenshot()
        second = crawler.screenshot()
        if all(row_text(first, row) == row_text(second, row) for row in rows):
            return second
    raise Failure("the window never showed the same statistics in two pictures in a row")


def case_wrap(crawler_path, server_path):
    with XServer() as xserver, \
            ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=250), \
            Crawler(crawler_path, xserver) as crawler:
        wait_for_view(crawler, 1, timeout=20)
        crawler.press("3")
        wait_for_view(crawler, 3)
        time.sleep(5.0)
        shot = settled_picture(crawler)
        crawler.press("d")
        dump = crawler.wait_for_dump()
        crawler.press("Escape")
        crawler.wait_for_exit()
    stats, ranking = shown_state(shot)
    if int(stats[7].split()[-1]) < EDGE or dict(ranking).get(b"die", 0) < EDGE:
        raise Failure("the run did not cross 2^32 before the picture: %r, %r" % (stats[7], ranking[:3]))

    trie = CountingTrie()
    seen = False
    with ArticleServer(server_path, seed=SEED) as reference:
        for _ in range(5000):
            path, page = random_article(reference.port)
            trie.pages += 1
            text = paragraph_text(page)
            if not text:
                continue
            trie.add_words(words(text))
            if trie.statistics(path)[7] == stats[7]:
                seen = True
                for row, want in trie.statistics(path).items():
                    if stats[row] != want:
                        raise Failure("statistics row %d reads %r, the model says %r"
                                      % (row, stats[row], want))
                want = trie.top_twenty()
                if ranking != want:
                    raise Failure("view 3 shows %r, the model says %r" % (ranking, want))
            if seen and trie.dump() == dump:
                print("statistics block and view 3 match the model; wiki.txt equals its dump "
                      "(%d lines; \"die\" %d, \"der\" %d)"
                      % (dump.count(b"\r\n"), trie.counts[b"die"], trie.counts[b"der"]))
                return
    raise Failure("no state of the model matches the picture and then wiki.txt (seen picture: %s)"
                  % seen)


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    run_isolated()
    try:
        case_wrap(argv[1], argv[2])
    except Failure as failure:
        print("FAILED wrap: %s" % failure, file=sys.stderr)
        return 1
    print("passed wrap")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
