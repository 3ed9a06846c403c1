#!/usr/bin/env python3
"""Full TLS handshakes per article of https crawlers, side by side, against the stand-in's TLS
side imitating the real server (lower-case header names, User-Agent required, https redirects),
and the crawler's articles per second meanwhile.

Usage: bench/tls_handshakes.py SECONDS SERVER CRAWLER [CRAWLER ...]

SERVER is an article-server that knows --log-tls (build/article-server of this tree); the same
one measures every crawler.
Each CRAWLER is an https build made for https://127.0.0.1:18443 that trusts the CA file
<CRAWLER's folder>/../tls/crawler-ca.pem: the end-to-end tests' https crawler of a build tree,
BUILD/tests/e2e/crawler-https/wortsammler. The crawlers run one after the other, each against a
fresh stand-in started with --log-tls (one line per TLS connection: full handshake or resumed),
in its window on a private Xvfb and, where the system allows it, in a private network namespace.
Every pass of the crawler makes two connections and counts its article (the stand-in injects no
faults), so the articles are half the connections. The crawler's CPU time (all threads, start-up
included) is read just before Esc. Neither program is changed for the measurement.

A CRAWLER ending in ".exe" is a Windows build (BUILD-WINDOWS/tests/e2e/crawler-https*/
wortsammler.exe) and runs under Wine, with the prefix of WINEPREFIX (scripts/windows-env.sh sets
the tests' one). Its CPU time adds the wineserver's meanwhile, which does a share of every
Windows call's work. WARM_UP_SECONDS=N (default 0) leaves the first N seconds, Wine's start-up
among them, out of the articles and the CPU time. The unpaced builds
(BUILD/tests/e2e/crawler-https-unpaced/wortsammler, and the .exe of the Windows tree) keep no
time between passes, so the rate is the crawler's own.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from crawler_harness import ArticleServer, Crawler, XServer, run_isolated  # noqa: E402
from windows_e2e_test import WineCrawler  # noqa: E402

TLS_PORT = 18443
CERTIFICATES = os.path.join(ROOT, "tools", "article-server", "testkit", "make_test_certificates.sh")


def cpu_seconds(pid):
    """User and system CPU time of a process so far, all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wineserver_pid():
    found = subprocess.run(["pgrep", "-x", "wineserver"], capture_output=True, text=True).stdout
    return int(found.split()[0]) if found.split() else None


class TlsLog:
    """Counts the stand-in's --log-tls lines as they come (a pipe left unread would stall it)."""

    def __init__(self, stream):
        self.full = self.resumed = 0
        self.lock = threading.Lock()
        self.thread = threading.Thread(target=self.read, args=(stream,), daemon=True)
        self.thread.start()

    def read(self, stream):
        for line in stream:
            with self.lock:
                self.full += line.endswith(": full handshake\n")
                self.resumed += line.endswith(": resumed\n")

    def counts(self):
        with self.lock:
            return self.full, self.resumed


def measure(server_path, crawler_path, certificates, seconds, warm_up):
    crawler_path = os.path.abspath(crawler_path)
    ca = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(crawler_path))), "tls",
                      "crawler-ca.pem")
    os.makedirs(os.path.dirname(ca), exist_ok=True)
    shutil.copyfile(os.path.join(certificates, "ca.pem"), ca)
    extra = ["--tls", os.path.join(certificates, "server.pem"),
             os.path.join(certificates, "server.key"), "--header-case", "lower",
             "--require-user-agent", "--location-scheme", "https", "--log-tls"]
    server = ArticleServer(server_path, port=TLS_PORT, seed=1, extra=extra)
    kind = WineCrawler if crawler_path.endswith(".exe") else Crawler
    with XServer() as xserver, server, kind(crawler_path, xserver) as crawler:
        log = TlsLog(server.process.stderr)
        helpers = [wineserver_pid()] if kind is WineCrawler else []

        def snapshot():
            full, resumed = log.counts()
            cpu = cpu_seconds(crawler.process.pid) + sum(cpu_seconds(pid) for pid in helpers if pid)
            return full, resumed, cpu

        time.sleep(warm_up)
        start = snapshot()
        time.sleep(seconds)
        end = snapshot()
        crawler.press("Escape")
        crawler.wait_for_exit(timeout=30)
    full, resumed, cpu = (b - a for a, b in zip(start, end))
    articles = (full + resumed) // 2
    return articles, full, resumed, cpu


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    run_isolated()
    seconds = float(argv[1])
    warm_up = float(os.environ.get("WARM_UP_SECONDS", "0"))
    with tempfile.TemporaryDirectory() as certificates:
        subprocess.run([CERTIFICATES, certificates], check=True, timeout=60)
        rows = []
        for crawler in argv[3:]:
            articles, full, resumed, cpu = measure(argv[2], crawler, certificates, seconds,
                                                   warm_up)
            per_article = full / articles if articles else float("nan")
            cpu_per_article = cpu / articles if articles else float("nan")
            rows.append((per_article, articles, cpu_per_article))
            print("%s: %d articles in %.0f s (%.1f/s); TLS connections: %d full handshakes, %d "
                  "resumed; %.3f full handshakes per article; crawler CPU %.2f ms per article"
                  % (crawler, articles, seconds, articles / seconds, full, resumed, per_article,
                     1000 * cpu_per_article))
        if len(rows) == 2:
            (handshakes, articles, cpu), (handshakes2, articles2, cpu2) = rows
            print("first / second: %s the full handshakes per article, %.2f x the articles, "
                  "%.2f x the CPU per article"
                  % ("%.0f x" % (handshakes / handshakes2) if handshakes2 > 0 else "n/a:",
                     articles / articles2 if articles2 else float("nan"),
                     cpu / cpu2 if cpu2 > 0 else float("nan")))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
