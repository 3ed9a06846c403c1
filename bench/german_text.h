#pragma once
// German sample text for the benchmarks, in the single-byte Latin-1 code page
// the crawler counts.

#include <cstddef>
#include <string>
#include <vector>

namespace ws::bench {

// Reads every regular file of `directory` (links and *.dat index files skipped,
// in name order), folds its UTF-8 to Latin-1 and repeats the whole until it is
// at least minBytes long. Returns "" when the directory holds no text.
// The directory defaults to WORTSAMMLER_BENCH_TEXT_DIR, else the German fortune
// files of the system.
std::string loadGermanText(size_t minBytes, std::string directory = "");

// The paragraph and list-item text ("P " and "L " records) of the article
// server's corpus file, folded to Latin-1 and repeated to at least minBytes.
// Returns "" when the file cannot be read or holds no such text.
std::string loadCorpusText(const std::string& path, size_t minBytes);

// Where loadGermanText looks by default.
std::string defaultTextDirectory();

// Two-byte UTF-8 sequences of U+0080..U+00FF become their Latin-1 byte; every
// other byte is kept.
std::string foldToLatin1(const std::string& utf8);

// The distinct lower-case words of `text` made of letters only, at least
// minLength bytes long, in order of first appearance.
std::vector<std::string> vocabulary(std::string text, size_t minLength);

}  // namespace ws::bench
