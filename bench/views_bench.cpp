// One drawing of each of the walking views (3 to 8) over a trie of a million nodes, at 640 x 480
// in an in-memory screen, as the driver draws them: locked, after clearing, cursor on row 14.
// Also view 6 on five million nodes, view 1 on long sample logs next to view 2, and view 1's points
// alone and against the plotting before.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "growth_points_before.h"
#include "screen/canvas.h"
#include "screen/frame_buffer.h"
#include "screen/screen_service.h"
#include "text/word_counters.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"
#include "views/graph_layout.h"
#include "views/growth_points.h"
#include "views/sample_log.h"
#include "views/views.h"

namespace ws {
namespace {

constexpr std::uint32_t kTargetNodes = 1'000'000;

// Words shaped like German running text: compounds of common stems with prefixes and endings,
// lower-case, some with umlauts and sharp s as Latin-1 bytes. Short function words repeat often.
std::string germanShapedWord(std::mt19937& rng) {
  static constexpr std::array<std::string_view, 24> kFunctionWords = {
      "der",    "die", "und", "in",  "den",   "von", "zu",   "das", "mit",  "sich", "des", "auf",
      "f\xFCr", "ist", "im",  "dem", "nicht", "ein", "eine", "als", "auch", "es",   "an",  "wurde"};
  static constexpr std::array<std::string_view, 12> kPrefixes = {"",
                                                                 "",
                                                                 "",
                                                                 "ver",
                                                                 "be",
                                                                 "ge",
                                                                 "ent",
                                                                 "\xFC"
                                                                 "ber",
                                                                 "vor",
                                                                 "aus",
                                                                 "ein",
                                                                 "zer"};
  static constexpr std::array<std::string_view, 40> kStems = {
      "haus",   "stadt", "land",    "zeit",  "bahn",     "auto",      "werk",      "kraft",
      "schaft", "spiel", "wasser",  "berg",  "burg",     "dorf",      "feld",      "kirche",
      "schul",  "rat",   "gericht", "krieg", "stra\xDF", "k\xF6nig",  "b\xFCrger", "fluss",
      "hafen",  "markt", "turm",    "wald",  "sprach",   "geschicht", "arbeit",    "musik",
      "film",   "bild",  "wort",    "zug",   "flug",     "mann",      "frau",      "kind"};
  static constexpr std::array<std::string_view, 14> kEndings = {
      "", "", "e", "en", "er", "es", "s", "ung", "ungen", "lich", "isch", "keit", "heit", "ern"};

  if (rng() % 3 == 0) return std::string(kFunctionWords[rng() % kFunctionWords.size()]);
  std::string word(kPrefixes[rng() % kPrefixes.size()]);
  const int stems = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < stems; ++i) word += kStems[rng() % kStems.size()];
  word += kEndings[rng() % kEndings.size()];
  if (rng() % 4 == 0) word += static_cast<char>('a' + rng() % 26);  // names, rare forms
  return word;
}

struct BigTrie {
  explicit BigTrie(std::uint32_t nodes = kTargetNodes) {
    std::mt19937 rng(20240611);
    while (trie.nodeCount() < nodes) {
      const std::string word = germanShapedWord(rng);
      const std::uint32_t created = trie.insertWord(word);
      counters.nodeCount += created;
      counters.distinctWords += created != 0 ? 1 : 0;
      counters.wordsTotal += 1;
      counters.letterCount += static_cast<std::uint32_t>(word.size());
    }
  }
  WordTrie trie;
  WordCounters counters;
};

const BigTrie& bigTrie() {
  static const BigTrie big;
  return big;
}

// Drawings as the driver makes them, at 640 x 480.
class Drawing {
 public:
  Drawing() {
    screen_.openWindow(640, 480);
    screen_.setTextGrid(80, 60);
  }
  void draw(char viewCode, const BigTrie& big, const SampleLog& log) {
    Canvas canvas(screen_);
    canvas.setTextViewport(0, 0);
    canvas.clearScreen();
    canvas.moveCursor(14, 1);
    painter_.drawView(viewCode, ViewInputs{canvas, steadyClock(), big.trie, big.counters, log});
  }
  ScreenService& screen() { return screen_; }

 private:
  ScreenService screen_;
  ViewPainter painter_;
};

void BM_DrawWalkingView(benchmark::State& state) {
  const ViewCode viewCode = static_cast<ViewCode>('0' + state.range(0));
  const BigTrie& big = bigTrie();
  const SampleLog log;
  Drawing drawing;
  for (auto _ : state) drawing.draw(viewCode, big, log);
  state.counters["nodes"] = big.trie.nodeCount();
  state.counters["words"] = big.counters.distinctWords;
}
BENCHMARK(BM_DrawWalkingView)->DenseRange(3, 8)->Unit(benchmark::kMillisecond);

const BigTrie& hugeTrie() {
  static const BigTrie huge(5'000'000);
  return huge;
}

// One view drawn again and again on the five-million-node trie.
void drawOnHugeTrie(benchmark::State& state, char viewCode) {
  const BigTrie& huge = hugeTrie();
  const SampleLog log;
  Drawing drawing;
  for (auto _ : state) drawing.draw(viewCode, huge, log);
  state.counters["nodes"] = huge.trie.nodeCount();
}

// View 6 on five million nodes: the walk ends once the window is full.
void BM_DotFieldOnFiveMillionNodes(benchmark::State& state) {
  drawOnHugeTrie(state, '6');
}
BENCHMARK(BM_DotFieldOnFiveMillionNodes)->Unit(benchmark::kMillisecond);

// View 3 on five million nodes, the yardstick of a re-lay: a whole walk a pass.
void BM_TopTwentyOnFiveMillionNodes(benchmark::State& state) {
  drawOnHugeTrie(state, '3');
}
BENCHMARK(BM_TopTwentyOnFiveMillionNodes)->Unit(benchmark::kMillisecond);

// The trie's blocks laid out afresh in walk order, as a growing trie has it done now and then.
void BM_LayOutInWalkOrderOnFiveMillionNodes(benchmark::State& state) {
  BigTrie huge(5'000'000);
  for (auto _ : state) huge.trie.layOutInWalkOrder();
  state.counters["nodes"] = huge.trie.nodeCount();
}
BENCHMARK(BM_LayOutInWalkOrderOnFiveMillionNodes)->Unit(benchmark::kMillisecond);

// The same picture from the whole walk, as view 6 drew it before: for comparison.
void BM_DotFieldWholeWalkOnFiveMillionNodes(benchmark::State& state) {
  const BigTrie& huge = hugeTrie();
  ScreenService screen;
  screen.openWindow(640, 480);
  DotFieldVisitor visitor;
  for (auto _ : state) {
    Canvas canvas(screen);
    visitor.setScreen(canvas);
    canvas.clearScreen();
    walkTrie(huge.trie, visitor);
  }
  state.counters["nodes"] = huge.trie.nodeCount();
}
BENCHMARK(BM_DotFieldWholeWalkOnFiveMillionNodes)->Unit(benchmark::kMillisecond);

// A crawl of the real site, record by record: 150 to 200 words a record; different words as a
// Zipf-like vocabulary gives them (Heaps' law: about 3.7 * words^0.7), the new ones coming
// unevenly; two to six trie nodes per new word.
class Crawl {
 public:
  void appendTo(SampleLog& log) {
    const std::uint64_t read = 150 + random_() % 51;
    const double grown = std::pow(static_cast<double>(words_ + read), 0.7);
    owed_ += 3.7 * (grown - wordsPower_) * (0.25 + 1.5 * unit_(random_));
    wordsPower_ = grown;
    const auto fresh = std::min(read, static_cast<std::uint64_t>(owed_));
    owed_ -= static_cast<double>(fresh);
    words_ += read;
    distinct_ += fresh;
    nodes_ += static_cast<std::uint32_t>(fresh * (2 + random_() % 5));
    log.appendSample(distinct_, words_, nodes_);
  }

 private:
  std::mt19937_64 random_{2024};
  std::uniform_real_distribution<double> unit_;
  std::uint64_t words_ = 0, distinct_ = 0;
  std::uint32_t nodes_ = 224;
  double wordsPower_ = 0.0, owed_ = 0.0;
};

// A crawl's log of `records` records and the crawl going on, made once for all benchmarks that
// start from that many; they may let it grow.
struct GrowingLog {
  SampleLog log;
  Crawl crawl;
};
GrowingLog& sharedLog(std::size_t records) {
  static std::map<std::size_t, std::unique_ptr<GrowingLog>> logs;
  auto& shared = logs[records];
  if (!shared) {
    shared = std::make_unique<GrowingLog>();
    while (shared->log.size() < records) shared->crawl.appendTo(shared->log);
  }
  return *shared;
}

// View 1 with a log of state.range(0) records.
void BM_GrowthGraph(benchmark::State& state) {
  const SampleLog& log = sharedLog(static_cast<std::size_t>(state.range(0))).log;
  const BigTrie& big = bigTrie();
  Drawing drawing;
  for (auto _ : state) drawing.draw('1', big, log);
  state.counters["records"] = static_cast<double>(log.size());
}
BENCHMARK(BM_GrowthGraph)->Arg(1)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// View 1 as a crawl draws it: the log gains state.range(1) records between drawings (outside the
// timing; against the stand-in the crawl takes about 3.5 records an article), so every point moves
// and the log's records are not all still in the cache from the last drawing. At 10^8 records the
// log is thinned.
void BM_GrowthGraphGrowing(benchmark::State& state) {
  GrowingLog& shared = sharedLog(static_cast<std::size_t>(state.range(0)));
  SampleLog& log = shared.log;
  const BigTrie& big = bigTrie();
  Drawing drawing;
  for (auto _ : state) {
    state.PauseTiming();
    for (int64_t i = 0; i < state.range(1); ++i) shared.crawl.appendTo(log);
    state.ResumeTiming();
    drawing.draw('1', big, log);
  }
  state.counters["records"] = static_cast<double>(log.size());
  state.counters["entries"] = static_cast<double>(log.entries());
}
BENCHMARK(BM_GrowthGraphGrowing)
    ->Args({100'000, 1})
    ->Args({1'000'000, 1})
    ->Args({1'000'000, 3})
    ->Args({10'000'000, 3})
    ->Args({100'000'000, 3})
    ->Unit(benchmark::kMillisecond);

// View 2 (ten look-ups and their lines) on the big trie: what view 1 is measured against.
void BM_LookupView(benchmark::State& state) {
  const BigTrie& big = bigTrie();
  const SampleLog log;
  Drawing drawing;
  for (auto _ : state) drawing.draw('2', big, log);
}
BENCHMARK(BM_LookupView)->Unit(benchmark::kMillisecond);

// The three series' points alone, into a 640 x 480 frame with the scales view 1 gives them, the
// log growing as in BM_GrowthGraphGrowing: GrowthPoints against the plotting before it
// (GrowthPointsBefore), for a comparison in one run.
template <class Plotter>
void BM_GrowthPointsGrowing(benchmark::State& state) {
  GrowingLog& shared = sharedLog(static_cast<std::size_t>(state.range(0)));
  SampleLog& log = shared.log;
  FrameBuffer frame;
  frame.resize(640, 480);
  Plotter plotter;
  const GrowthPixels pixels{0xFFFF, 0xFFE0, 0x07FF};
  for (auto _ : state) {
    state.PauseTiming();
    const float largestRatio = log.largestRatio();
    shared.crawl.appendTo(log);
    const SampleRecord last = log.last();
    const GrowthScales scales{std::nearbyint(last.nodeCount / 280.0),
                              std::nearbyint(last.wordsTotal / 280.0),
                              std::nearbyint(280.0 / largestRatio)};
    state.ResumeTiming();
    plotter.plot(frame, log, GraphLayout(640, 480), scales, pixels);
  }
  state.counters["records"] = static_cast<double>(log.size());
}
BENCHMARK_TEMPLATE(BM_GrowthPointsGrowing, GrowthPoints)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Arg(100'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_GrowthPointsGrowing, GrowthPointsBefore)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// The walk alone, with a visitor that only counts: what every walking view pays before drawing.
class CountingVisitor final : public TrieVisitor {
 public:
  void visit(std::string_view word, WordCount count, const NodeView& /*node*/,
             std::uint8_t /*linkNumber*/) override {
    bytes += word.size();
    counted += count;
  }
  std::uint64_t bytes = 0;
  std::uint64_t counted = 0;
};

void BM_BareWalk(benchmark::State& state) {
  const BigTrie& big = bigTrie();
  CountingVisitor visitor;
  for (auto _ : state) {
    walkTrie(big.trie, visitor);
    benchmark::DoNotOptimize(visitor.bytes);
  }
}
BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ws

BENCHMARK_MAIN();
