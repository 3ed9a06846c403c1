#!/usr/bin/env python3
"""The whole crawler against the stand-in ArticleServer, in its window on a private X server.

Usage: crawler_e2e_test.py <case> <crawler> <article-server> [<send_close_request>]
       crawler_e2e_test.py https|https-throttle|https-untrusted <https crawler> <article-server> <tls dir> \
                           <make_test_certificates.sh>
Cases:
  dump     "d" writes a wiki.txt equal byte for byte to the dump computed here from the same
           pages; Esc ends the crawler with exit code 0.
  views    keys 1 to 8 each draw their view: statistics block, headline and the certain parts of
           each view, the dot fields of views 6 to 8 pixel by pixel against the dump.
  window   "+" and "-" change the window size and the picture follows; the close button does not
           end the crawler; Esc does.
  outage   with the server gone the window keeps its picture and Esc waits for the next counted
           article, which comes once the server is back.
  signal   SIGINT and SIGTERM are caught, and end the crawler within a second with its normal
           shut-down, after which it ends by the signal itself: SIGINT while it crawls (the word
           dump written before stays as it was), SIGTERM while a server that never answers holds
           its request.
  https    the https build against the stand-in imitating the real server over TLS (lower-case
           header names, User-Agent required, https redirects): "d" writes the reference dump of
           the pages served; Esc ends it with exit code 0.
  https-throttle
           the same server throttling: a 429 with "retry-after: 1" and a page of paragraphs after
           every three articles. The dump equals the dump of the articles alone, standard error
           names the 429 and its wait, and the server saw one full TLS handshake, the rest resumed.
  https-untrusted
           the same server, but the crawler's CA file holds another CA: nothing is counted, the
           window stays black, one line on standard error says why, the crawler keeps running
           and Esc, pressed while it waits between passes, ends it at once with exit code 0.
  https-signal
           the same untrusted server: SIGTERM, sent while the crawler waits seconds between
           passes, ends it within a second, by the signal.

The crawler is built to fetch from 127.0.0.1:18080 (TEST_PORT), the https crawler from
https://127.0.0.1:18443 (TLS_PORT), trusting the CAs in <tls dir>/crawler-ca.pem, which the
https cases write. Each test runs in a private
network namespace where the system allows it; otherwise the tests share this machine's port and
run one at a time.
"""

import collections
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from crawler_harness import (BLACK, CYAN, RED, WHITE, YELLOW, ArticleServer, Crawler, Failure,
                             XServer, as_rgb565, close_to, rightmost_in_rows, run_isolated, stop,
                             wait_until)
from word_dump_reference import Trie, paragraph_text, parse_dump, random_article

TEST_PORT = 18080
TLS_PORT = 18443
SEED = 20240611

HEADLINES = {
    1: " 1) Graphische Darstellung:",
    2: " 2) Gezielter Lookup von Woertern:",
    3: " 3) Die 20 haeufigsten Woerter:",
    4: ' 4) Alle Woerter, deren 3. Buchstabe ein "a" ist:',
    5: ' 5) Alle Woerter, in denen die Zeichenfolge "auto" vorkommt:',
    6: " 6) Visualisierung des kompletten Baums als Punktefeld (1 Knoten = 1 Punkt)",
    7: " 7) Visualisierung des kompletten Baums als Punktefeld mit Anfangsbuchstaben",
    8: " 8) Baum als Punktefeld mit weissen Punkten am Wortanfang",
}
HEADLINE_TOP = 13 * 8  # text row 14


def text_rows(row, count=1):
    """Pixel rows top..bottom of text rows row .. row + count - 1 (1-based)."""
    return (row - 1) * 8, (row - 1 + count) * 8 - 1


# ---- what a picture must show --------------------------------------------------------------------

def shown_view(shot):
    """The view whose headline stands on row 14 (known by where its cyan text ends), or None."""
    last = rightmost_in_rows(shot, HEADLINE_TOP, HEADLINE_TOP + 7, CYAN)
    for view, headline in HEADLINES.items():
        if 8 * (len(headline) - 1) <= last < 8 * len(headline):
            return view
    return None


def wait_for_view(crawler, view, timeout=15.0):
    def probe():
        shot = crawler.screenshot()
        return shot if shown_view(shot) == view else None

    return wait_until("view %d to be drawn" % view, probe, timeout, interval=0.1)


def checked_picture(crawler, view, checks, size=None, timeout=8.0):
    """Problems found by the checks in a picture of the view (at the size), [] when there are
    none. A large picture can reach the X server in pieces, so a picture with problems is taken
    again until it has none or the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        shot = wait_for_view(crawler, view)
        problems = []
        if size and (shot.width, shot.height) != size:
            problems.append("the picture is %dx%d" % (shot.width, shot.height))
        for check in checks:
            check(shot, problems)
        if not problems or time.monotonic() > deadline:
            return problems
        time.sleep(0.2)


def colours_in(shot, left, top, right, bottom):
    return collections.Counter(shot[x, y] for y in range(top, bottom + 1) for x in range(left, right + 1))


def has_colour(counter, want):
    return any(close_to(colour, want) for colour in counter)


def check_text_rows(shot, problems):
    """Statistics block on rows 1 to 11 in white on black, the empty rows empty, the headline cyan."""
    right = shot.width - 1
    for row in (1, 2, 4, 5, 7, 8, 9, 11):
        top, bottom = text_rows(row)
        colours = colours_in(shot, 0, top, right, bottom)
        if not has_colour(colours, WHITE):
            problems.append("statistics row %d holds no white text" % row)
        stray = [c for c in colours if not close_to(c, WHITE) and not close_to(c, BLACK)]
        if stray:
            problems.append("statistics row %d holds colours other than white on black: %r"
                            % (row, stray[:4]))
    for row in (3, 6, 10, 13):
        top, bottom = text_rows(row)
        if set(colours_in(shot, 0, top, right, bottom)) != {BLACK}:
            problems.append("text row %d should be empty" % row)
    colours = colours_in(shot, 0, HEADLINE_TOP, right, HEADLINE_TOP + 7)
    stray = [c for c in colours if not close_to(c, CYAN) and not close_to(c, BLACK)]
    if stray:
        problems.append("the headline row holds colours other than cyan on black: %r" % stray[:4])


def check_line(shot, points, what, problems, allowed=(WHITE, CYAN, YELLOW), min_white=0.8):
    colours = [shot[x, y] for x, y in points]
    white = sum(close_to(c, WHITE) for c in colours)
    stray = [c for c in colours if not any(close_to(c, a) for a in allowed)]
    if white < min_white * len(colours) or stray:
        problems.append("%s: %d of %d pixels white, other colours %r"
                        % (what, white, len(colours), stray[:4]))


def check_growth_graph(shot, problems):
    w, h = shot.width, shot.height
    check_line(shot, [(10, y) for y in range(170, h - 9)], "vertical axis", problems)
    check_line(shot, [(x, h - 10) for x in range(10, w - 9)], "horizontal axis", problems)
    if shot[9, 300] != BLACK or shot[11, 300] != BLACK:
        problems.append("the vertical axis is wider than one pixel")
    for y, colour, name in ((h - 50, WHITE, "Speicher"), (h - 40, YELLOW, "Woerter gesamt"),
                            (h - 30, CYAN, "Rel. verschiedene")):
        if not has_colour(colours_in(shot, w // 2, y, w - 1, y + 7), colour):
            problems.append("the legend line %r is missing at y = %d" % (name, y))


def check_lookup_view(shot, problems):
    for line in range(10):
        top, bottom = text_rows(18 + line)
        colours = colours_in(shot, 0, top, shot.width - 1, bottom)
        for colour, name in ((WHITE, "white"), (YELLOW, "yellow"), (RED, "red")):
            if not has_colour(colours, colour):
                problems.append("look-up line %d has no %s text" % (line + 1, name))
    top, bottom = text_rows(29)
    if not has_colour(colours_in(shot, 32, top, shot.width - 1, bottom), WHITE):
        problems.append("the look-up timing line is missing on row 29")


def check_top_twenty(shot, problems):
    for line in range(20):
        top, bottom = text_rows(18 + line)
        if not has_colour(colours_in(shot, 32, top, 64, bottom), WHITE):
            problems.append("ranking line %d has no rank number from column 5" % (line + 1))


def check_word_list(shot, problems):
    top, _ = text_rows(18)
    if not has_colour(colours_in(shot, 0, top, shot.width - 1, shot.height - 1), WHITE):
        problems.append("nothing is printed below the headline")


def node_colour(count, children):
    q = (count * count) % 65536
    return 0xFF000000 + (q // 256) * 65536 + (q % 256) * 256 + (children * children) % 256


def expected_dot_field(pairs, view, width, height):
    """(x, y) -> 5-6-5 pixel, or None where a letter glyph may have been drawn."""
    children = collections.Counter(word[:-1] for word, _ in pairs if len(word) >= 2)
    base = height - 10 if view == 7 else height - 1
    white = as_rgb565(0xFFFFFFFF)
    field = {}
    for n, (word, count) in enumerate(pairs, start=1):
        x, y = n % width + 1, base - n // width
        if len(word) == 1 and view == 7:
            if word != b"\x00":
                for dy in range(8):
                    for dx in range(8):
                        field[x + dx, y + dy] = None
        elif len(word) == 1 and view == 8:
            for point in ((x, y), (x - 1, y), (x, y + 1), (x - 1, y + 1)):
                field[point] = white
        else:
            field[x, y] = as_rgb565(node_colour(count, children[word]))
    return {p: c for p, c in field.items() if 0 <= p[0] < width and 0 <= p[1] < height}


def glyph_shown(shot, n):
    """Whether the letter of node n in view 7 left white pixels: its cell's rows below the top
    one, which the nodes drawn after it do not cover."""
    x, y = n % shot.width + 1, shot.height - 10 - n // shot.width
    return has_colour(colours_in(shot, x, y + 1, min(shot.width - 1, x + 7), y + 7), WHITE)


def dot_field_problems(shot, pairs, view):
    field = expected_dot_field(pairs, view, shot.width, shot.height)
    in_rows = sorted(field.items(), key=lambda item: (item[0][1], item[0][0]))
    wrong = [(p, c, shot.rgb565(*p)) for p, c in in_rows if c is not None and shot.rgb565(*p) != c]
    problems = []
    if wrong:
        (x, y), want, got = wrong[0]
        problems.append("%d of %d dots differ; first at (%d, %d): 5-6-5 %r, expected %r\n%s"
                        % (len(wrong), len(field), x, y, got, want,
                           shot.region(max(0, x - 20), max(0, y - 3), min(shot.width - 1, x + 40),
                                       min(shot.height - 1, y + 3))))
    # Nothing else is drawn between the headline and the top of the field.
    field_top = min(y for _, y in field) if field else shot.height
    if field_top > HEADLINE_TOP + 8:
        colours = colours_in(shot, 0, HEADLINE_TOP + 8, shot.width - 1, field_top - 1)
        if set(colours) != {BLACK}:
            problems.append("pixels other than black between the headline and the dot field")
    if view == 7:
        missing = [word for n, (word, _) in enumerate(pairs, start=1)
                   if len(word) == 1 and word.isalpha() and not glyph_shown(shot, n)]
        if missing:
            problems.append("no white glyph where the letters %r start their blocks" % missing[:5])
    return problems


# ---- the cases ---------------------------------------------------------------------------------

def reference_match(dump, server_path):
    """Replays the article sequence of the seed on a second server and returns the number of
    counted articles after which the crawler's trie dumps exactly as `dump`."""
    pairs = parse_dump(dump)
    trie = Trie()
    counted = 0
    with ArticleServer(server_path, seed=SEED) as reference:
        for _ in range(20000):
            _, page = random_article(reference.port)
            text = paragraph_text(page)
            if not text:
                continue
            counted += 1
            trie.add_text(text)
            if trie.node_count() < len(pairs):
                continue
            expected = trie.dump()
            if expected == dump:
                return counted
            lines, wanted = dump.split(b"\r\n"), expected.split(b"\r\n")
            first = next((i for i, (a, b) in enumerate(zip(lines, wanted)) if a != b),
                         min(len(lines), len(wanted)))
            raise Failure("wiki.txt (%d lines) matches no state of the trie; after %d articles the "
                          "trie has %d nodes and line %d of wiki.txt reads %r where %r is expected"
                          % (len(pairs), counted, trie.node_count(), first + 1,
                             lines[first] if first < len(lines) else b"",
                             wanted[first] if first < len(wanted) else b""))
    raise Failure("wiki.txt matches none of the first 20000 articles")


def dump_then_quit(crawler, crawl_seconds):
    """Lets the crawler read in view 1 for a while, presses "d" and returns the dump, then ends
    the crawler with Esc (and checks its exit)."""
    wait_for_view(crawler, 1)
    time.sleep(crawl_seconds)
    crawler.press("d")
    dump = crawler.wait_for_dump()
    crawler.press("Escape")
    crawler.wait_for_exit()
    return dump


def case_dump(args):
    crawler_path, server_path = args[:2]
    with XServer() as xserver, \
            ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=40), \
            Crawler(crawler_path, xserver) as crawler:
        dump = dump_then_quit(crawler, crawl_seconds=1.0)
    articles = reference_match(dump, server_path)
    print("wiki.txt equals the dump after %d articles (%d lines)" % (articles, dump.count(b"\r\n")))


def case_views(args):
    crawler_path, server_path = args[:2]
    checks = {1: check_growth_graph, 2: check_lookup_view, 3: check_top_twenty,
              4: check_word_list, 5: check_word_list}
    problems = []
    # Slow articles keep the trie still for over a second after each redraw.
    with XServer() as xserver, \
            ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=600), \
            Crawler(crawler_path, xserver) as crawler:
        wait_for_view(crawler, 1, timeout=20)
        for view in range(1, 9):
            crawler.press(str(view))
            if view in checks:
                found = checked_picture(crawler, view, [check_text_rows, checks[view]])
            else:
                found = checked_picture(crawler, view, [check_text_rows])
                found += dot_field_after_dump(crawler, view)
            problems += ["view %d: %s" % (view, p) for p in found]
        crawler.press("Escape")
        crawler.wait_for_exit(timeout=15)
    if problems:
        raise Failure("\n".join(problems))


def dot_field_after_dump(crawler, view):
    """Takes a dump and, right after it, the picture of the same pass; the dot field must match
    the dump node for node. Another try covers a pass that ended between dump and picture, or a
    picture taken while it reached the X server."""
    for attempt in range(3):
        if os.path.exists(crawler.dump_path):
            os.remove(crawler.dump_path)
        crawler.press("d")
        dump = crawler.wait_for_dump()
        shot = crawler.screenshot()
        problems = dot_field_problems(shot, parse_dump(dump), view)
        if not problems:
            return []
    return problems


def case_window(args):
    crawler_path, server_path = args[:2]
    close_request = args[2] if len(args) > 2 else None
    problems = []
    with XServer() as xserver, \
            ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=20), \
            Crawler(crawler_path, xserver) as crawler:
        wait_for_view(crawler, 1)
        if crawler.size() != (640, 480):
            problems.append("the window starts at %dx%d, not 640x480" % crawler.size())
        for key, size in (("plus", (1200, 800)), ("minus", (640, 480))):
            crawler.press(key)
            wait_until("a %dx%d window" % size, lambda: crawler.size() == size)
            found = checked_picture(crawler, 1, [check_text_rows, check_growth_graph], size)
            problems += ["%dx%d: %s" % (size + (p,)) for p in found]
        if close_request:
            crawler.x(close_request, crawler.window)
            time.sleep(1.5)
            if not crawler.running():
                raise Failure("the close button ended the crawler")
            crawler.press("2")
            wait_for_view(crawler, 2)
        crawler.press("Escape")
        crawler.wait_for_exit()
    if problems:
        raise Failure("\n".join(problems))


def case_outage(args):
    crawler_path, server_path = args[:2]
    with XServer() as xserver:
        server = ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=20).__enter__()
        try:
            with Crawler(crawler_path, xserver) as crawler:
                wait_for_view(crawler, 1)
                stop(server.process)
                time.sleep(0.5)
                before = crawler.screenshot()
                crawler.press("Escape")
                time.sleep(2.0)
                if not crawler.running():
                    raise Failure("Esc ended the crawler while no article could be counted")
                if crawler.screenshot().rgb != before.rgb:
                    raise Failure("the window was redrawn while the server was down")
                server = ArticleServer(server_path, port=TEST_PORT, seed=SEED).__enter__()
                crawler.wait_for_exit(timeout=15)
        finally:
            stop(server.process)


SIGNAL_TIMEOUT = 1.0  # seconds from a stop signal to the crawler's end


def ends_by_signal(crawler, number):
    """Sends the signal to the crawler, which must catch it (and the other stop signal) and still
    end by it within SIGNAL_TIMEOUT: it re-raised the signal after its shut-down."""
    for caught in (signal.SIGINT, signal.SIGTERM):
        if not crawler.catches(caught):
            raise Failure("the crawler does not catch %s" % caught.name)
    took = crawler.end_by_signal(number, SIGNAL_TIMEOUT)
    print("%s ended the crawler after %.2f s" % (signal.Signals(number).name, took))


def case_signal(args):
    crawler_path, server_path = args[:2]
    with XServer() as xserver:
        with ArticleServer(server_path, port=TEST_PORT, seed=SEED, latency_ms=20), \
                Crawler(crawler_path, xserver) as crawler:
            wait_for_view(crawler, 1)
            crawler.press("d")
            dump = crawler.wait_for_dump()
            ends_by_signal(crawler, signal.SIGINT)
            with open(crawler.dump_path, "rb") as f:
                if f.read() != dump:
                    raise Failure("wiki.txt changed after SIGINT")
            if os.path.exists(crawler.dump_path + ".tmp"):
                raise Failure("a wiki.txt.tmp was left behind")
        # Every request is read and never answered: the crawler waits in the network.
        with ArticleServer(server_path, port=TEST_PORT, seed=SEED, faults=["hold"]), \
                Crawler(crawler_path, xserver) as crawler:
            time.sleep(1.0)
            ends_by_signal(crawler, signal.SIGTERM)


def tls_server(server_path, tls_dir, script, trusted, more=()):
    """The stand-in imitating the real server on TLS_PORT, its certificates made afresh; the
    crawler's CA file holds the CA that signed them, or another one. `more`: further options."""
    subprocess.run([script, tls_dir], check=True, timeout=60)
    ca = "ca.pem" if trusted else "other-ca.pem"
    shutil.copyfile(os.path.join(tls_dir, ca), os.path.join(tls_dir, "crawler-ca.pem"))
    extra = ["--tls", os.path.join(tls_dir, "server.pem"), os.path.join(tls_dir, "server.key"),
             "--header-case", "lower", "--require-user-agent", "--location-scheme", "https"]
    extra += list(more)
    return ArticleServer(server_path, port=TLS_PORT, seed=SEED, latency_ms=20, extra=extra)


def case_https(args):
    crawler_path, server_path, tls_dir, script = args[:4]
    with XServer() as xserver, tls_server(server_path, tls_dir, script, trusted=True), \
            Crawler(crawler_path, xserver) as crawler:
        dump = dump_then_quit(crawler, crawl_seconds=1.5)
    articles = reference_match(dump, server_path)
    if articles < 2:
        raise Failure("the https crawler counted only %d article(s)" % articles)
    print("wiki.txt equals the dump after %d articles (%d lines)" % (articles, dump.count(b"\r\n")))


def case_https_throttle(args):
    crawler_path, server_path, tls_dir, script = args[:4]
    server = tls_server(server_path, tls_dir, script, trusted=True,
                        more=["--throttle", "3:1", "--log-tls"])
    with XServer() as xserver, server, Crawler(crawler_path, xserver) as crawler:
        dump = dump_then_quit(crawler, crawl_seconds=3.0)
        output = crawler.output().splitlines()
    log = server.process.stderr.read()
    # The throttle's pages, full of paragraphs, must have added nothing.
    articles = reference_match(dump, server_path)
    if articles < 4:
        raise Failure("the crawler counted only %d article(s); the throttle comes after 3" % articles)
    line = ("wortsammler: HTTP 429 Too many requests from 127.0.0.1:%d; waiting 1 s (Retry-After)"
            % TLS_PORT)
    if line not in output:
        raise Failure("expected the line %r on standard error, got:\n%s" % (line, "\n".join(output)))
    full, resumed = log.count(": full handshake\n"), log.count(": resumed\n")
    if full != 1 or resumed < 2 * articles - 1:
        raise Failure("expected one full TLS handshake and the rest resumed; the server logged:\n%s"
                      % log)
    print("wiki.txt equals the dump of the %d articles alone; %d TLS connections, one full handshake"
          % (articles, full + resumed))


def case_https_untrusted(args):
    crawler_path, server_path, tls_dir, script = args[:4]
    with XServer() as xserver, tls_server(server_path, tls_dir, script, trusted=False), \
            Crawler(crawler_path, xserver) as crawler:
        time.sleep(4.0)
        if not crawler.running():
            raise Failure("the crawler ended by itself:\n%s" % crawler.output())
        if any(crawler.screenshot().rgb):
            raise Failure("the window shows something although no certificate could be trusted")
        line = "wortsammler: Error: Certificate couldn't be verified (127.0.0.1:%d); retrying" % TLS_PORT
        lines = crawler.output().splitlines()
        if lines.count(line) != 1:
            raise Failure("expected the line %r once on standard error, got:\n%s"
                          % (line, "\n".join(lines)))
        # Several failed passes later the crawler waits seconds between passes; Esc cuts it short.
        crawler.press("Escape")
        crawler.wait_for_exit(timeout=1.5)


def case_https_signal(args):
    crawler_path, server_path, tls_dir, script = args[:4]
    with XServer() as xserver, tls_server(server_path, tls_dir, script, trusted=False), \
            Crawler(crawler_path, xserver) as crawler:
        # Failed passes 200 ms apart at first, each wait twice the last: now over a second.
        time.sleep(3.5)
        if not crawler.running():
            raise Failure("the crawler ended by itself:\n%s" % crawler.output())
        ends_by_signal(crawler, signal.SIGTERM)


CASES = {"dump": case_dump, "views": case_views, "window": case_window, "outage": case_outage,
         "signal": case_signal, "https": case_https, "https-throttle": case_https_throttle,
         "https-untrusted": case_https_untrusted, "https-signal": case_https_signal}


def main(argv):
    if len(argv) < 4 or argv[1] not in CASES:
        print(__doc__, file=sys.stderr)
        return 2
    run_isolated()
    try:
        CASES[argv[1]](argv[2:])
    except Failure as failure:
        print("FAILED %s: %s" % (argv[1], failure), file=sys.stderr)
        return 1
    print("passed %s" % argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
