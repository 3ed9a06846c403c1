// Speed and memory of the word trie against German text: split + insert
// throughput beside two baselines (a hash map, and a plain C word count with
// FNV-1a and open addressing), one full walk per node, and resident
// memory per node. Each runs on the German fortune texts and, where it has been
// unpacked, on the article server's corpus.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "german_text.h"
#include "text/word_counters.h"
#include "text/word_splitter.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"

namespace ws::bench {
namespace {

constexpr size_t kTextBytes = size_t{20} << 20;

#ifndef WS_BENCH_ARTICLE_CORPUS
#define WS_BENCH_ARTICLE_CORPUS ""
#endif

// Where a text comes from, for the benchmarks that take one.
struct TextSource {
  const std::string& (*text)();
  std::string (*missing)();  // why the text is empty
};

const std::string& fortuneText() {
  static const std::string text = loadGermanText(kTextBytes);
  return text;
}

std::string corpusPath() {
  if (const char* path = std::getenv("WORTSAMMLER_BENCH_CORPUS")) return path;
  return WS_BENCH_ARTICLE_CORPUS;
}

const std::string& corpusText() {
  static const std::string text = loadCorpusText(corpusPath(), kTextBytes);
  return text;
}

const TextSource kFortunes = {fortuneText, [] {
                                return "no German text found in " + defaultTextDirectory() +
                                       " (install fortunes-de or set WORTSAMMLER_BENCH_TEXT_DIR)";
                              }};
const TextSource kCorpus = {corpusText, [] {
                              return "no article corpus at '" + corpusPath() +
                                     "' (configure with tools/article-server present, or set "
                                     "WORTSAMMLER_BENCH_CORPUS)";
                            }};

bool skipWithoutText(benchmark::State& state, const TextSource& source) {
  if (!source.text().empty()) return false;
  state.SkipWithError(source.missing().c_str());
  return true;
}

void BM_SplitInsertTrie(benchmark::State& state, const TextSource& source) {
  if (skipWithoutText(state, source)) return;
  const std::string& sourceText = source.text();
  std::string text;
  std::optional<WordTrie> trie;
  uint32_t nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    trie.reset();
    text = sourceText;
    state.ResumeTiming();
    trie.emplace();
    WordCounters counters;
    splitWords(text, *trie, counters, [](size_t end) { benchmark::DoNotOptimize(end); });
    nodes = counters.nodeCount;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sourceText.size()));
  state.counters["nodes"] = nodes;
}

// The same text once more into a trie that already holds all its words: the
// insert path without taking new nodes.
void BM_SplitInsertWarmTrie(benchmark::State& state, const TextSource& source) {
  if (skipWithoutText(state, source)) return;
  const std::string& sourceText = source.text();
  std::string text = sourceText;
  WordTrie trie;
  WordCounters counters;
  splitWords(text, trie, counters, [](size_t) {});
  for (auto _ : state) {
    state.PauseTiming();
    text = sourceText;
    state.ResumeTiming();
    splitWords(text, trie, counters, [](size_t end) { benchmark::DoNotOptimize(end); });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sourceText.size()));
  state.counters["nodes"] = counters.nodeCount;
}

// The same splitting and counter updates, counting into a hash map instead.
void BM_SplitCountHashMap(benchmark::State& state, const TextSource& source) {
  if (skipWithoutText(state, source)) return;
  const std::string& sourceText = source.text();
  std::string text;
  std::optional<std::unordered_map<std::string, uint32_t>> counts;
  size_t distinct = 0;
  for (auto _ : state) {
    state.PauseTiming();
    counts.reset();
    text = sourceText;
    state.ResumeTiming();
    counts.emplace();
    WordCounters counters;
    lowerCaseInPlace(text);
    forEachWord(text, [&](size_t begin, size_t end) {
      counters.letterCount += static_cast<uint32_t>(end - begin);
      counters.wordsTotal += 1;
      auto [it, inserted] = counts->try_emplace(text.substr(begin, end - begin), 0);
      ++it->second;
      if (inserted) counters.distinctWords += 1;
      benchmark::DoNotOptimize(end);
    });
    distinct = counts->size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sourceText.size()));
  state.counters["words"] = static_cast<double>(distinct);
}

// The same splitting and counter updates, counting as a plain C word count would: FNV-1a hashes
// into an open-addressing table (linear probing, doubled at half load) of slots that point into
// the text.
void BM_SplitCountOpenAddressing(benchmark::State& state, const TextSource& source) {
  if (skipWithoutText(state, source)) return;
  struct Slot {
    const char* word;
    uint32_t length;
    uint32_t count;
    uint64_t hash;
  };
  const std::string& sourceText = source.text();
  std::string text;
  std::vector<Slot> table;
  size_t distinct = 0;
  for (auto _ : state) {
    state.PauseTiming();
    text = sourceText;
    table.assign(size_t{1} << 16, Slot{nullptr, 0, 0, 0});
    state.ResumeTiming();
    size_t used = 0;
    WordCounters counters;
    lowerCaseInPlace(text);
    const auto place = [&table](const Slot& slot) -> Slot& {
      const size_t mask = table.size() - 1;
      size_t i = slot.hash & mask;
      while (table[i].word != nullptr &&
             (table[i].hash != slot.hash || table[i].length != slot.length ||
              std::memcmp(table[i].word, slot.word, slot.length) != 0)) {
        i = (i + 1) & mask;
      }
      return table[i];
    };
    forEachWord(text, [&](size_t begin, size_t end) {
      counters.letterCount += static_cast<uint32_t>(end - begin);
      counters.wordsTotal += 1;
      uint64_t hash = 14695981039346656037ull;
      for (size_t i = begin; i < end; ++i) {
        hash = (hash ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
      }
      const Slot key{text.data() + begin, static_cast<uint32_t>(end - begin), 0, hash};
      Slot& slot = place(key);
      if (slot.word == nullptr) {
        slot = key;
        counters.distinctWords += 1;
        if (++used * 2 > table.size()) {
          std::vector<Slot> old(table.size() * 2, Slot{nullptr, 0, 0, 0});
          old.swap(table);
          for (const Slot& s : old) {
            if (s.word != nullptr) place(s) = s;
          }
          place(key).count += 1;
          benchmark::DoNotOptimize(end);
          return;
        }
      }
      slot.count += 1;
      benchmark::DoNotOptimize(end);
    });
    distinct = used;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sourceText.size()));
  state.counters["words"] = static_cast<double>(distinct);
}

size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Fills `trie` from the German text, then with two-word compounds of its
// vocabulary until it has at least `nodes` nodes.
void buildGermanTrie(WordTrie& trie, std::string& text, const std::vector<std::string>& words,
                     uint32_t nodes) {
  WordCounters counters;
  splitWords(text, trie, counters, [](size_t) {});
  std::mt19937 random(1);
  std::string compound;
  while (trie.nodeCount() < nodes) {
    compound = words[random() % words.size()];
    compound += words[random() % words.size()];
    trie.insertWord(compound);
  }
}

class EmptyVisitor : public TrieVisitor {
 public:
  void visit(std::string_view, WordCount, const NodeView&, uint8_t) override {}
};

// One full walk per iteration over a trie of at least state.range(0) nodes; also the
// resident memory the trie took per node while it was built.
void BM_WalkTrie(benchmark::State& state, const TextSource& source) {
  const auto walkNodes = static_cast<uint32_t>(state.range(0));
  if (skipWithoutText(state, source)) return;
  const std::string& sourceText = source.text();
  const std::vector<std::string> words = vocabulary(sourceText, 3);
  std::string text = sourceText;
  const size_t before = residentBytes();
  WordTrie trie;
  buildGermanTrie(trie, text, words, walkNodes);
  const size_t after = residentBytes();
  EmptyVisitor visitor;
  for (auto _ : state) walkTrie(trie, visitor);
  const double nodes = trie.nodeCount();
  state.counters["nodes"] = nodes;
  state.counters["resident_bytes_per_node"] = static_cast<double>(after - before) / nodes;
  state.counters["ns_per_node"] = benchmark::Counter(
      nodes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The trie one hostile page could make: a single word of a million bytes, its resident memory.
void BM_MillionByteWord(benchmark::State& state) {
  const std::string word(1'000'000, 'x');
  for (auto _ : state) {
    const size_t before = residentBytes();
    WordTrie trie;
    trie.insertWord(word);
    state.counters["resident_MB"] = static_cast<double>(residentBytes() - before) / 1e6;
  }
}

BENCHMARK_CAPTURE(BM_SplitInsertTrie, fortunes, kFortunes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitInsertWarmTrie, fortunes, kFortunes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitCountHashMap, fortunes, kFortunes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitCountOpenAddressing, fortunes, kFortunes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WalkTrie, fortunes, kFortunes)
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_SplitInsertTrie, corpus, kCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitInsertWarmTrie, corpus, kCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitCountHashMap, corpus, kCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SplitCountOpenAddressing, corpus, kCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WalkTrie, corpus, kCorpus)
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_MillionByteWord)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace ws::bench

BENCHMARK_MAIN();
