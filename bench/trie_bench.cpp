// Speed and memory of the word trie against German text: split + insert
// throughput beside a hash-map baseline, one full walk per node, and resident
// memory per node.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>

#include "driver/crawl_counters.h"
#include "german_text.h"
#include "text/word_splitter.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"

namespace ws::bench {
namespace {

constexpr size_t kTextBytes = size_t{20} << 20;
constexpr uint32_t kWalkNodes = 1'000'000;

const std::string& germanText() {
  static const std::string text = loadGermanText(kTextBytes);
  return text;
}

bool skipWithoutText(benchmark::State& state) {
  if (!germanText().empty()) return false;
  state.SkipWithError(("no German text found in " + defaultTextDirectory() +
                       " (install fortunes-de or set WORTSAMMLER_BENCH_TEXT_DIR)")
                          .c_str());
  return true;
}

void BM_SplitInsertTrie(benchmark::State& state) {
  if (skipWithoutText(state)) return;
  std::string text;
  std::optional<WordTrie> trie;
  uint32_t nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    trie.reset();
    text = germanText();
    state.ResumeTiming();
    trie.emplace();
    CrawlCounters counters;
    splitWords(text, *trie, counters, [](size_t end) { benchmark::DoNotOptimize(end); });
    nodes = counters.nodeCount;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * germanText().size()));
  state.counters["nodes"] = nodes;
}

// The same splitting and counter updates, counting into a hash map instead.
void BM_SplitCountHashMap(benchmark::State& state) {
  if (skipWithoutText(state)) return;
  std::string text;
  std::optional<std::unordered_map<std::string, uint32_t>> counts;
  size_t distinct = 0;
  for (auto _ : state) {
    state.PauseTiming();
    counts.reset();
    text = germanText();
    state.ResumeTiming();
    counts.emplace();
    CrawlCounters counters;
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
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * germanText().size()));
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
  CrawlCounters counters;
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
  void visit(std::string_view, uint32_t, const NodeView&, uint8_t) override {}
};

// One full walk per iteration over a trie of at least a million nodes; also the
// resident memory the trie took per node while it was built.
void BM_WalkTrie(benchmark::State& state) {
  if (skipWithoutText(state)) return;
  const std::vector<std::string> words = vocabulary(germanText(), 3);
  std::string text = germanText();
  const size_t before = residentBytes();
  WordTrie trie;
  buildGermanTrie(trie, text, words, kWalkNodes);
  const size_t after = residentBytes();
  EmptyVisitor visitor;
  for (auto _ : state) walkTrie(trie, visitor);
  const double nodes = trie.nodeCount();
  state.counters["nodes"] = nodes;
  state.counters["resident_bytes_per_node"] = static_cast<double>(after - before) / nodes;
  state.counters["ns_per_node"] = benchmark::Counter(
      nodes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_SplitInsertTrie)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitCountHashMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkTrie)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace ws::bench

BENCHMARK_MAIN();
