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
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from crawler_harness import ArticleServer, Crawler, XServer, run_isolated  # noqa: E402

TLS_PORT = 18443
CERTIFICATES = os.path.join(ROOT, "tools", "article-server", "testkit", "make_test_certificates.sh")


def cpu_seconds(pid):
    """User and system CPU time of a process so far, all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(server_path, crawler_path, certificates, seconds):
    ca = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(crawler_path))), "tls",
                      "crawler-ca.pem")
    os.makedirs(os.path.dirname(ca), exist_ok=True)
    shutil.copyfile(os.path.join(certificates, "ca.pem"), ca)
    extra = ["--tls", os.path.join(certificates, "server.pem"),
             os.path.join(certificates, "server.key"), "--header-case", "lower",
             "--require-user-agent", "--location-scheme", "https", "--log-tls"]
    server = ArticleServer(server_path, port=TLS_PORT, seed=1, extra=extra)
    with XServer() as xserver, server, Crawler(crawler_path, xserver) as crawler:
        time.sleep(seconds)
        cpu = cpu_seconds(crawler.process.pid)
        crawler.press("Escape")
        crawler.wait_for_exit(timeout=30)
    log = server.process.stderr.read()
    full, resumed = log.count(": full handshake\n"), log.count(": resumed\n")
    articles = (full + resumed) // 2
    return articles, full, resumed, cpu


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    run_isolated()
    seconds = float(argv[1])
    with tempfile.TemporaryDirectory() as certificates:
        subprocess.run([CERTIFICATES, certificates], check=True, timeout=60)
        rows = []
        for crawler in argv[3:]:
            articles, full, resumed, cpu = measure(argv[2], crawler, certificates, seconds)
            per_article = full / articles if articles else float("nan")
            rows.append(per_article)
            print("%s: %d articles in %.0f s (%.1f/s); TLS connections: %d full handshakes, %d "
                  "resumed; %.3f full handshakes per article; crawler CPU %.2f ms per article"
                  % (crawler, articles, seconds, articles / seconds, full, resumed, per_article,
                     1000 * cpu / articles if articles else float("nan")))
        if len(rows) == 2 and rows[1] > 0:
            print("first / second: %.0f x the full handshakes per article" % (rows[0] / rows[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
