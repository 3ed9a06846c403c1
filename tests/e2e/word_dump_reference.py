"""The word dump that the crawler must write, computed here from the raw pages on their own.

This is an independent second implementation of the crawler's text path, kept deliberately plain:
the paragraph scan of the raw reply, the folding of two-byte Western letters, the fixed lower-case
table, the word split, and the dump of every trie node in walk order. The end-to-end tests compare
the crawler's wiki.txt against it byte for byte.
"""

import socket

RANDOM_PAGE_PATH = "wiki/Spezial:Zuf%C3%A4llige_Seite"

# Second byte after 0xC3 -> the single byte that replaces the pair; every other follower gives "?".
_FOLD = {0x84: 0xC4, 0x96: 0xD6, 0x9C: 0xDC, 0x9F: 0xDF, 0xA0: 0xE0, 0xA1: 0xE1, 0xA4: 0xE4,
         0xA7: 0x63, 0xA8: 0xE8, 0xA9: 0xE9, 0xB2: 0xF2, 0xB6: 0xF6, 0xBA: 0xFA, 0xBC: 0xFC}

_LOWER = bytes(b + 0x20 if (0x41 <= b <= 0x5A or (0xC0 <= b <= 0xDE and b != 0xD7)) else b
               for b in range(256))

_SEPARATORS = frozenset(list(range(33)) + list(b"+,-./:;"))


def paragraph_text(reply):
    """The bytes inside each "<p>" ... "</p>" with tags dropped, a blank after each paragraph,
    folded; b"" when the reply holds no "<p>"."""
    out = bytearray()
    n = len(reply)
    search = 0  # 0-based start of the next "<p>" search
    while True:
        opening = reply.find(b"<p>", search)
        if opening < 0:
            break
        start = opening + 3
        closing = reply.find(b"</p>", start)
        inside_tag = False
        for b in reply[start:closing] if closing >= 0 else b"":
            if b == 0x3C:
                inside_tag = True
            elif b == 0x3E:
                inside_tag = False
            elif not inside_tag:
                out.append(b)
        out.append(0x20)
        if closing < 0:
            break  # a paragraph that is never closed ends the scan
        # The next search starts one byte before the closing marker.
        search = closing - 1
        if search + 1 >= n:
            break
    return fold_western_letters(bytes(out)) if out else b""


def fold_western_letters(text):
    out = bytearray()
    i = 0
    while i < len(text):
        b = text[i]
        if b == 0xC3:
            out.append(_FOLD.get(text[i + 1], 0x3F) if i + 1 < len(text) else 0x3F)
            i += 2
        else:
            out.append(b)
            i += 1
    return bytes(out)


def words(text):
    """The lower-cased words of a paragraph text, in text order."""
    lowered = text.translate(_LOWER)
    word = bytearray()
    for b in lowered:
        if b in _SEPARATORS:
            if word:
                yield bytes(word)
                word = bytearray()
        else:
            word.append(b)
    if word:
        yield bytes(word)


class Trie:
    """The counted words with every prefix a node; the 223 first-level nodes always exist."""

    def __init__(self):
        self.counts = {bytes([b]): 0 for b in range(33, 256)}

    def add_text(self, text):
        for word in words(text):
            for end in range(2, len(word)):
                self.counts.setdefault(word[:end], 0)
            self.counts[word] = self.counts.get(word, 0) + 1

    def node_count(self):
        return len(self.counts) + 1  # the first-level node of entry 224 stands for byte 0

    def walk(self):
        """(word, count) of every node in walk order: by bytes, then the entry-224 node last."""
        for word in sorted(self.counts):
            yield word, self.counts[word]
        yield b"\x00", 0

    def dump(self):
        return b"".join(word + b" " + str(count).encode() + b"\r\n" for word, count in self.walk())


def parse_dump(data):
    """(word, count) pairs of a dump file; raises ValueError on a malformed line."""
    pairs = []
    for line in data.split(b"\r\n")[:-1]:
        word, _, count = line.rpartition(b" ")
        if not word or not count.isdigit():
            raise ValueError("malformed dump line %r" % line[:80])
        pairs.append((word, int(count)))
    if not data.endswith(b"\r\n"):
        raise ValueError("the dump does not end with a line end")
    return pairs


def raw_get(port, path, timeout=10.0):
    """The whole raw reply to one HTTP/1.0 GET on 127.0.0.1:port, the way the crawler asks."""
    host = "127.0.0.1:%d" % port
    request = "GET /%s HTTP/1.0\r\nHost: %s\r\nConnection: close\r\n\r\n" % (path, host)
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        connection.sendall(request.encode("ascii"))
        chunks = []
        while True:
            chunk = connection.recv(65536)
            if not chunk:
                break
            chunks.append(chunk)
    return b"".join(chunks)


def random_article(port):
    """(path, raw reply) of the next random article of the server on 127.0.0.1:port."""
    redirect = raw_get(port, RANDOM_PAGE_PATH)
    marker = b"Location: http://127.0.0.1:%d/" % port
    at = redirect.find(marker)
    if at < 0:
        raise ValueError("no redirect in the reply to the random page: %r" % redirect[:200])
    end = redirect.find(b"\r\n", at)
    path = redirect[at + len(marker):end if end >= 0 else None].decode("ascii")
    return path, raw_get(port, path)
