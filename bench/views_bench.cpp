// One drawing of each of the walking views (3 to 8) over a trie of a million nodes, at 640 x 480
// in an in-memory screen, as the driver draws them: locked, after clearing, cursor on row 14.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "screen/screen_service.h"
#include "text/word_counters.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"
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
  BigTrie() {
    std::mt19937 rng(20240611);
    while (trie.nodeCount() < kTargetNodes) {
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

void BM_DrawWalkingView(benchmark::State& state) {
  const ViewCode viewCode = static_cast<ViewCode>('0' + state.range(0));
  const BigTrie& big = bigTrie();
  const std::vector<std::uint8_t> sampleLog(12, 0);
  ScreenService screen;
  screen.openWindow(640, 480);
  screen.setTextGrid(80, 60);
  ViewPainter painter;
  for (auto _ : state) {
    screen.lockScreen();
    screen.setTextViewport(0, 0);
    screen.clearScreen();
    screen.moveCursor(14, 1);
    painter.drawView(viewCode, ViewInputs{screen, big.trie, big.counters, sampleLog});
    screen.unlockScreen();
  }
  state.counters["nodes"] = big.trie.nodeCount();
  state.counters["words"] = big.counters.distinctWords;
}
BENCHMARK(BM_DrawWalkingView)->DenseRange(3, 8)->Unit(benchmark::kMillisecond);

// The walk alone, with a visitor that only counts: what every walking view pays before drawing.
class CountingVisitor final : public TrieVisitor {
 public:
  void visit(std::string_view word, std::uint32_t count, const NodeView& /*node*/,
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
