// Speed of reducing article pages to paragraph text (extractParagraphText, which includes the
// UTF-8 fold) and of the fold alone, in bytes of input per second.
//
// Pages come from a generator that imitates an encyclopedia article page: a long head with
// script and style, navigation lists, an info box, paragraphs full of links and references,
// and a long footer. Set WORTSAMMLER_BENCH_PAGES to a directory of saved raw replies (*.http)
// to measure those as well.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "net/paragraph_text.h"

namespace {

const std::vector<std::string> kWords = {
    "der",        "die",         "und",        "in",           "den",        "von",
    "zu",         "das",         "mit",        "sich",         "des",        "auf",
    "f\xC3\xBCr", "ist",         "im",         "dem",          "nicht",      "ein",
    "Stadt",      "Jahrhundert", "Gemeinde",   "Stra\xC3\x9F" "e", "gr\xC3\xB6\xC3\x9F" "ten",
    "\xC3\xBC" "ber", "K\xC3\xB6nig", "M\xC3\xBCnchen", "Gew\xC3\xA4sser", "Bev\xC3\xB6lkerung",
    "erw\xC3\xA4hnt", "Caf\xC3\xA9", "Kirche",  "Universit\xC3\xA4t", "Einwohner", "Landkreis",
    "wurde",      "nach",        "zwischen",   "sp\xC3\xA4ter", "Fran\xC3\xA7ois", "S\xC3\xBC" "den",
    "Gr\xC3\xBCndung", "Bahnhof", "Fluss",     "Gebirge",      "Epoche",     "\xC3\x84gypten",
};

class PageGenerator {
 public:
  explicit PageGenerator(unsigned seed) : random_(seed) {}

  std::string page() {
    std::ostringstream out;
    out << "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nConnection: close\r\n\r\n"
        << "<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"UTF-8\"><title>"
        << words(3) << "</title>\n<script>";
    for (int i = 0; i < 400; ++i) {
      out << "var m" << i << "={\"name\":\"" << words(2) << "\",\"n\":" << i
          << "};if(m" << i << ".n<10&&x>3){f(m" << i << ");}\n";
    }
    out << "</script>\n<style>";
    for (int i = 0; i < 150; ++i) out << ".c" << i << "{margin:0 " << i << "px;color:#a2a9b1}\n";
    out << "</style></head>\n<body><div id=\"navigation\"><ul>\n";
    for (int i = 0; i < 120; ++i) out << "<li><a href=\"/wiki/" << link() << "\">" << words(2) << "</a></li>\n";
    out << "</ul></div>\n<div id=\"inhalt\"><h1>" << words(2) << "</h1>\n"
        << "<table class=\"infobox\">";
    for (int i = 0; i < 25; ++i) out << "<tr><th>" << words(1) << "</th><td>" << words(3) << "</td></tr>";
    out << "</table>\n";
    for (int section = 0; section < 8; ++section) {
      out << "<h2><span class=\"mw-headline\">" << words(2) << "</span></h2>\n";
      for (int i = 0; i < 4; ++i) out << paragraph() << "\n";
      out << "<p class=\"hinweis\">" << words(8) << "</p>\n<ul>";
      for (int i = 0; i < 6; ++i) out << "<li>" << words(6) << "</li>";
      out << "</ul>\n";
    }
    out << "</div>\n<div id=\"fuss\"><ol class=\"references\">";
    for (int i = 0; i < 60; ++i) {
      out << "<li id=\"cite_note-" << i << "\"><span class=\"reference-text\">" << words(7)
          << ", S. " << i * 3 << "</span></li>\n";
    }
    out << "</ol></div></body></html>\n";
    return out.str();
  }

 private:
  std::string words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      if (i) text += ' ';
      text += kWords[random_() % kWords.size()];
    }
    return text;
  }
  std::string link() { return "Artikel_" + std::to_string(random_() % 100000); }

  std::string paragraph() {
    std::string text = "<p>";
    int sentences = 3 + static_cast<int>(random_() % 5);
    for (int s = 0; s < sentences; ++s) {
      text += words(3 + static_cast<int>(random_() % 6)) + " ";
      if (random_() % 2) {
        std::string target = link();
        text += "<a href=\"/wiki/" + target + "\" title=\"" + target + "\">" + words(2) + "</a> ";
      }
      text += words(4 + static_cast<int>(random_() % 8));
      if (random_() % 4 == 0) {
        text += "<sup id=\"cite_ref-1\" class=\"reference\"><a href=\"#cite_note-1\">[1]</a></sup>";
      }
      text += ". ";
    }
    return text + "</p>";
  }

  std::mt19937 random_;
};

std::vector<std::string> generatedPages() {
  std::vector<std::string> pages;
  PageGenerator generator(20261208);
  for (int i = 0; i < 16; ++i) pages.push_back(generator.page());
  return pages;
}

std::vector<std::string> savedPages() {
  std::vector<std::string> pages;
  const char* directory = std::getenv("WORTSAMMLER_BENCH_PAGES");
  if (!directory) return pages;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() == ".http") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    pages.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return pages;
}

// Each iteration restores one page into a reply buffer and extracts its text; the copy is
// part of the figure (the crawler gets a fresh reply per article as well).
void runExtraction(benchmark::State& state, const std::vector<std::string>& pages) {
  if (pages.empty()) {
    state.SkipWithError("no pages");
    return;
  }
  std::string reply;
  size_t bytes = 0;
  size_t kept = 0;
  size_t next = 0;
  for (auto _ : state) {
    const std::string& page = pages[next];
    next = (next + 1) % pages.size();
    reply.assign(page);
    ws::extractParagraphText(reply);
    benchmark::DoNotOptimize(reply.data());
    bytes += page.size();
    kept += reply.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
  state.counters["kept_share"] = static_cast<double>(kept) / static_cast<double>(bytes);
}

void BM_ExtractGeneratedPages(benchmark::State& state) {
  static const std::vector<std::string> pages = generatedPages();
  state.counters["page_kib"] = static_cast<double>(pages.front().size()) / 1024.0;
  runExtraction(state, pages);
}
BENCHMARK(BM_ExtractGeneratedPages);

void BM_ExtractSavedPages(benchmark::State& state) {
  static const std::vector<std::string> pages = savedPages();
  runExtraction(state, pages);
}
BENCHMARK(BM_ExtractSavedPages);

// The fold alone on German running text (about one two-byte letter in 25 bytes).
void BM_FoldGermanText(benchmark::State& state) {
  std::string text;
  while (text.size() < (1u << 20)) text += kWords[text.size() * 31 % kWords.size()] + " ";
  std::string buffer;
  for (auto _ : state) {
    buffer.assign(text);
    benchmark::DoNotOptimize(ws::foldUtf8Latin1InPlace(buffer.data(), buffer.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FoldGermanText);

// Baseline: the page copy that every extraction iteration includes.
void BM_CopyPage(benchmark::State& state) {
  static const std::vector<std::string> pages = generatedPages();
  std::string reply;
  for (auto _ : state) {
    reply.assign(pages.front());
    benchmark::DoNotOptimize(reply.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pages.front().size()));
}
BENCHMARK(BM_CopyPage);

}  // namespace

BENCHMARK_MAIN();
