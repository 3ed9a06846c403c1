#!/usr/bin/env python3
"""Checks the end-to-end tests' own reference of the crawler's text path on known cases, so that
a mismatch in the end-to-end dump test points at the crawler, not at the reference."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from word_dump_reference import Trie, fold_western_letters, paragraph_text, parse_dump, words


class ParagraphText(unittest.TestCase):
    def test_paragraphs_tags_and_blanks(self):
        cases = {
            b"<p>Hallo <b>Welt</b>!</p>": b"Hallo Welt! ",
            b"<p>a</p><p>b</p>": b"a b ",
            b"<p class=x>a</p><P>b</P>": b"",
            b"<p>a": b" ",
            b"<p>x</p> ... <p>y": b"x  ",
            b"<p>K&amp;K</p>": b"K&amp;K ",
            b"<p>a>b</p>": b"ab ",
            b"<p>a<b c</p>": b"a ",
            b"<p>Zeile<br>Zwei</p>": b"ZeileZwei ",
            b"<p>a<p>b</p>": b"ab ",
            b"Error: Couldn't connect to host": b"",
            b"HTTP/1.0 200 OK\r\n\r\n<div><p>x</p>y</div><p>z</p>": b"x z ",
        }
        for reply, text in cases.items():
            self.assertEqual(paragraph_text(reply), text, reply)

    def test_folding(self):
        self.assertEqual(fold_western_letters(b"Gr\xc3\xbc\xc3\x9fe"), b"Gr\xfc\xdfe")
        self.assertEqual(fold_western_letters(b"\xc3\xa7a\xc3\xb1\xc3"), b"ca??")
        self.assertEqual(fold_western_letters(b"\xc2\xa0\xe2\x80\x9e"), b"\xc2\xa0\xe2\x80\x9e")
        # A lone lead byte at a paragraph's end takes the blank after the paragraph with it.
        self.assertEqual(paragraph_text(b"<p>ab\xc3</p>"), b"ab?")


class Words(unittest.TestCase):
    def test_split_and_lower_case(self):
        self.assertEqual(list(words(b"Haus-Boot z.B. 3,5 13:45 und/oder A+B")),
                         [b"haus", b"boot", b"z", b"b", b"3", b"5", b"13", b"45", b"und", b"oder",
                          b"a", b"b"])
        self.assertEqual(list(words(b"(Stadt) Hallo! &nbsp;x")), [b"(stadt)", b"hallo!", b"&nbsp", b"x"])
        self.assertEqual(list(words(b"\xc4\xd6\xdc\xd7\xdf\xde")), [b"\xe4\xf6\xfc\xd7\xdf\xfe"])
        self.assertEqual(list(words(b" \r\n\t ,")), [])


class Dump(unittest.TestCase):
    def test_fresh_trie_has_the_first_level_nodes_only(self):
        dump = Trie().dump()
        lines = dump.split(b"\r\n")[:-1]
        self.assertEqual(len(lines), 224)
        self.assertEqual(lines[0], b"! 0")
        self.assertEqual(lines[-2], b"\xff 0")
        self.assertEqual(lines[-1], b"\x00 0")

    def test_prefix_nodes_come_in_walk_order(self):
        trie = Trie()
        trie.add_text(b"Haus hausboot h ")
        dump = trie.dump()
        start = dump.index(b"\r\nh 1\r\n")
        self.assertEqual(dump[start:].split(b"\r\n")[1:9],
                         [b"h 1", b"ha 0", b"hau 0", b"haus 1", b"hausb 0", b"hausbo 0", b"hausboo 0",
                          b"hausboot 1"])
        self.assertEqual(trie.node_count(), 224 + 7)
        self.assertEqual(len(parse_dump(dump)), trie.node_count())


if __name__ == "__main__":
    unittest.main()
