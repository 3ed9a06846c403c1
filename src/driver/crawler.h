#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "driver/counter_start.h"
#include "driver/crawl_counters.h"
#include "driver/crawl_timing.h"
#include "driver/pass_pacing.h"
#include "driver/sample_check.h"
#include "screen/clock.h"
#include "screen/key_ring.h"
#include "trie/word_trie.h"
#include "views/views.h"

namespace ws {

class ArticleSource;
class ScreenService;
class StopRequest;
class ViewDrawer;

// The crawl loop and everything it owns for a run: the trie, the counters, the sample log,
// the ViewCode, the last article path, the timing values and the window size.
// LIFETIME: source, screen and views must outlive the Crawler.
class Crawler {
 public:
  // What one pass of the loop came to.
  enum class PassResult {
    kNoText,   // error text or a page without paragraphs: only pagesRead moved
    kCounted,  // article counted, window redrawn, one key handled
    kEnd,      // as kCounted, and the key was Esc
  };

  static constexpr int kSmallWidth = 640;
  static constexpr int kSmallHeight = 480;
  static constexpr int kLargeWidth = 1200;
  static constexpr int kLargeHeight = 800;

  // dumpDirectory: where "d" writes the word dump; nullopt disables the dump silently.
  // `keys` is the window's key buffer; `clock` is the run's one clock, which the crawler reads
  // for its times and its pacing and hands to the views that time their walk.
  Crawler(ArticleSource& source, ScreenService& screen, KeyRing& keys, ViewDrawer& views,
          std::optional<std::filesystem::path> dumpDirectory, Clock& clock = steadyClock());

  // Paces the passes of run() (see PassPacing) on the crawler's clock; without this call, or
  // with pacing off, each pass begins the moment the last one ends. Call before run().
  void pacePasses(const PassPacing& pacing);
  // Lets `stop` end run() like Esc, at its next chance: before a pass (also after one without
  // text), or in a paced wait within a poll. Null: only Esc ends it. `stop` must outlive the
  // Crawler. Call before run().
  void stopWhen(const StopRequest* stop) { stop_ = stop; }

  // Sets every counter but nodeCount to the start's values and counts the start's words into the
  // trie, their nodes into nodeCount. REQUIRES: before the first pass.
  void startCountersAt(const CounterStart& start);

  // Reads the start clock and opens the small window with its text grid. Call once, first.
  void startUp();
  // One pass: fetch, count, redraw, one key. REQUIRES: startUp() was called.
  PassResult runPass();
  // Passes until Esc or the stop request, then the shut-down sequence. Returns the exit code, 0.
  // When paced, waits
  // between passes, at least as long as the source's requestedPause() after a pass; Esc during a
  // wait ends the loop at once, other keys wait for a counted pass.
  int run();

  // Acts on one key text; true when the loop is to end (Esc).
  bool handleKey(std::string_view key);
  void setWindowMode(int width, int height);
  // Writes the word dump file; silent on failure.
  void dumpWords();
  // Frees the trie with its messages on rows 14 and below. Call once, last.
  void shutDown();

  const CrawlCounters& counters() const { return counters_; }
  const CrawlTiming& timing() const { return timing_; }
  const SampleLog& sampleLog() const { return sampleLog_; }
  const WordTrie& trie() const { return trie_; }
  ViewCode viewCode() const { return viewCode_; }
  const std::string& articlePath() const { return articlePath_; }
  int windowWidth() const { return windowWidth_; }
  int windowHeight() const { return windowHeight_; }

 private:
  // Counts the words of a non-empty paragraph text and takes the samples.
  void countText(std::string& text);
  void redraw();
  // The paced wait after a pass that began at passStart; false when Esc or the stop request
  // ended it.
  bool waitForNextPass(double passStart, bool counted);
  bool stopRequested() const;

  ArticleSource& source_;
  ScreenService& screen_;
  KeyRing& keys_;
  ViewDrawer& views_;
  std::optional<std::filesystem::path> dumpDirectory_;

  WordTrie trie_;
  CrawlCounters counters_;
  CrawlTiming timing_;
  SampleLog sampleLog_;
  ViewCode viewCode_ = '1';
  std::string articlePath_;
  int windowWidth_ = 0;
  int windowHeight_ = 0;

  PassPacing pacing_;
  PassPacer pacer_;
  Clock& clock_;
  const StopRequest* stop_ = nullptr;
};

}  // namespace ws
