// Reduction of a raw article reply to the running text of its paragraphs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ws {

// Replaces `reply` by the text of its paragraphs: the bytes between each exact "<p>" and the
// next exact "</p>" (lower case, no attributes), with every tag inside dropped and one blank
// after each paragraph, folded with foldUtf8Latin1. Paragraphs are taken in order and never
// overlap; a "<p>" without a following "</p>" contributes one blank and ends the scan.
// Character entities stay as they are. The result is empty exactly when `reply` has no "<p>".
// The bytes are compacted within the reply's own storage; no second buffer of its size is used.
void extractParagraphText(std::string& reply);

// Folds the two-byte UTF-8 letters that start with 0xC3 into single Latin-1 bytes: each 0xC3
// and the byte after it become one byte (umlauts, sharp s and the common accented vowels map
// to their Latin-1 codes, c with cedilla to "c", every other follower to "?"; a trailing lone
// 0xC3 becomes "?"). All other bytes stay. The result holds no 0xC3 and is never longer than
// the input; it is empty only if the input is.
std::string foldUtf8Latin1(std::string_view text);

// The same fold within `data[0..size)`; returns the folded length. Only data[0..result) is
// meaningful afterwards.
size_t foldUtf8Latin1InPlace(char* data, size_t size);

}  // namespace ws
