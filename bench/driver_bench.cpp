// The word dump ("d") stops the crawl while it runs: how long it takes for a large trie.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "driver/word_dump.h"
#include "trie/word_trie.h"

namespace {

// Fills `trie` with random lower-case words (letters and a few Latin-1 umlauts, 3 to 14 bytes)
// until it has at least `nodes` nodes.
void fillTrie(ws::WordTrie& trie, std::uint32_t nodes) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzeeennrrsstt\xE4\xF6\xFC\xDF";
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> length(3, 14);
  std::uniform_int_distribution<int> letter(0, sizeof(kLetters) - 2);
  std::string word;
  while (trie.nodeCount() < nodes) {
    word.clear();
    for (int i = length(random); i > 0; --i) word += kLetters[letter(random)];
    trie.insertWord(word);
  }
}

void BM_DumpWords(benchmark::State& state) {
  ws::WordTrie trie;
  fillTrie(trie, static_cast<std::uint32_t>(state.range(0)));
  const auto dir = std::filesystem::temp_directory_path() / "ws_driver_bench";
  std::filesystem::create_directories(dir);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ws::dumpWords(trie, dir));
  }
  const auto bytes = std::filesystem::file_size(dir / "wiki.txt");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["nodes"] = trie.nodeCount();
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_DumpWords)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// "d" after a page that held one word of a million bytes: the dump would take about 500 GB,
// so the size check refuses it; this is what the crawler waits for instead.
void BM_RefusedDumpOfHugeWord(benchmark::State& state) {
  ws::WordTrie trie;
  trie.insertWord(std::string(static_cast<std::size_t>(state.range(0)), 'a'));
  const auto dir = std::filesystem::temp_directory_path() / "ws_driver_bench_refused";
  std::filesystem::create_directories(dir);
  const auto freeSpace = [](const std::filesystem::path&) -> std::optional<std::uint64_t> {
    return std::uint64_t{100} << 30;  // 100 GiB
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(ws::dumpWords(trie, dir, freeSpace));
  }
  state.counters["dump_GB"] = static_cast<double>(ws::wordDumpSize(trie)) / 1e9;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RefusedDumpOfHugeWord)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
