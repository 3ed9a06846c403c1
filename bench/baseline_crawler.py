#!/usr/bin/env python3
"""The crawl written the way a user would script it, as the yardstick for Wortsammler's speed.

Same job as the crawler's loop, minus the window: ask the ArticleServer for its random page, take
the article address from the redirect's Location header (the redirect is not followed by urllib
but read, like the crawler does), fetch the article, keep the text between "<p>" and "</p>" with
tags dropped, lower-case it, split it at blanks, control characters and "+,-./:;" and count the
words in a collections.Counter. Runs for a given time and prints the articles per second.

Usage: baseline_crawler.py --host 127.0.0.1:8080 [--seconds 20]
"""

import argparse
import collections
import os
import re
import time
import urllib.error
import urllib.request

RANDOM_PAGE = "/wiki/Spezial:Zuf%C3%A4llige_Seite"
PARAGRAPH = re.compile(rb"<p>(.*?)</p>", re.S)
TAG = re.compile(rb"<[^>]*>")
SEPARATORS = re.compile(rb"[\x00-\x20+,\-./:;]+")


class KeepRedirects(urllib.request.HTTPRedirectHandler):
    """Hands a redirect back as an error instead of following it."""

    def redirect_request(self, *args, **kwargs):
        return None


def fetch_article(opener, host):
    """The article page (bytes) behind one random-page redirect, or b"" when there is none."""
    try:
        with opener.open("http://%s%s" % (host, RANDOM_PAGE)) as reply:
            location = reply.headers.get("Location")
    except urllib.error.HTTPError as redirect:
        location = redirect.headers.get("Location")
    if not location:
        return b""
    try:
        with opener.open(location) as reply:
            return reply.read()
    except urllib.error.URLError:
        return b""


def count_words(page, counter):
    """Adds the words of the page's paragraphs to counter; returns the number of words."""
    text = b" ".join(TAG.sub(b"", paragraph) for paragraph in PARAGRAPH.findall(page))
    if not text:
        return 0
    lowered = text.decode("utf-8", "replace").lower().encode("latin-1", "replace")
    found = [word for word in SEPARATORS.split(lowered) if word]
    counter.update(found)
    return len(found)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1:8080")
    parser.add_argument("--seconds", type=float, default=20.0)
    args = parser.parse_args()

    opener = urllib.request.build_opener(KeepRedirects)
    cpu_start = os.times()
    counter = collections.Counter()
    articles = words = 0
    start = time.monotonic()
    while time.monotonic() - start < args.seconds:
        page = fetch_article(opener, args.host)
        articles += 1
        words += count_words(page, counter)
    elapsed = time.monotonic() - start
    cpu_end = os.times()
    cpu = (cpu_end.user - cpu_start.user) + (cpu_end.system - cpu_start.system)
    print("baseline: %d articles in %.1f s = %.1f articles/s; CPU %.2f s = %.3f ms per article "
          "(%d words, %d different)"
          % (articles, elapsed, articles / elapsed, cpu, 1000 * cpu / max(articles, 1), words,
             len(counter)))


if __name__ == "__main__":
    main()
