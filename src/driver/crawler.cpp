#include "driver/crawler.h"

#include <algorithm>

#include "driver/statistics_block.h"
#include "driver/stop_request.h"
#include "driver/view_drawer.h"
#include "driver/word_dump.h"
#include "net/article_fetch.h"
#include "net/paragraph_text.h"
#include "screen/canvas.h"
#include "screen/screen_service.h"
#include "screen/text_console.h"
#include "text/word_splitter.h"
#include "views/view_layout.h"

namespace ws {

namespace {

constexpr char kEscape = '\x1b';
constexpr std::string_view kEscapeKey{&kEscape, 1};
constexpr int kShutDownTopRow = 13;
// How often a paced wait looks for Esc and the stop request.
constexpr double kKeyPollSeconds = 0.02;

}  // namespace

Crawler::Crawler(ArticleSource& source, ScreenService& screen, KeyRing& keys, ViewDrawer& views,
                 std::optional<std::filesystem::path> dumpDirectory, Clock& clock)
    : source_(source),
      screen_(screen),
      keys_(keys),
      views_(views),
      dumpDirectory_(std::move(dumpDirectory)),
      clock_(clock) {}

void Crawler::pacePasses(const PassPacing& pacing) {
  pacing_ = pacing;
  pacer_ = PassPacer(pacing.minInterval);
}

void Crawler::startCountersAt(const CounterStart& start) {
  const uint32_t nodes = counters_.nodeCount;
  counters_ = start.counters;
  counters_.nodeCount = nodes;
  for (const auto& [word, times] : start.words) counters_.nodeCount += trie_.countWord(word, times);
}

void Crawler::startUp() {
  timing_.startTime = clock_.seconds();
  setWindowMode(kSmallWidth, kSmallHeight);
}

Crawler::PassResult Crawler::runPass() {
  std::string text = source_.fetchRandomArticle(articlePath_);
  ++counters_.pagesRead;
  timing_.readStartTime = clock_.seconds();
  extractParagraphText(text);
  if (text.empty()) return PassResult::kNoText;

  countText(text);
  timing_.readingTime += clock_.seconds() - timing_.readStartTime;
  redraw();
  return handleKey(keys_.take()) ? PassResult::kEnd : PassResult::kCounted;
}

int Crawler::run() {
  startUp();
  while (!stopRequested()) {
    const double passStart = pacing_.paced ? clock_.seconds() : 0.0;
    const PassResult result = runPass();
    if (result == PassResult::kEnd) break;
    if (pacing_.paced && !waitForNextPass(passStart, result == PassResult::kCounted)) break;
  }
  shutDown();
  return 0;
}

bool Crawler::waitForNextPass(double passStart, bool counted) {
  pacer_.passEnded(counted);
  using Seconds = std::chrono::duration<double>;
  // The server's own wish (Retry-After) counts from now, the end of the pass, when it is longer.
  const double due = std::max(passStart + Seconds(pacer_.interval()).count(),
                              clock_.seconds() + Seconds(source_.requestedPause()).count());
  for (;;) {
    // Other keys stay in the key buffer for the next counted pass.
    if (keys_.holds(kEscapeKey) || stopRequested()) return false;
    const double left = due - clock_.seconds();
    if (left <= 0) return true;
    clock_.pause(std::min(left, kKeyPollSeconds));
  }
}

bool Crawler::stopRequested() const {
  return stop_ != nullptr && stop_->stopRequested();
}

void Crawler::countText(std::string& text) {
  splitWords(text, trie_, counters_,
             [this](std::size_t endPosition) { checkSample(sampleLog_, counters_, endPosition); });
  counters_.charactersRead += text.size();
}

void Crawler::redraw() {
  // The canvas holds the frame lock and gives it back on every way out of the drawing, so the
  // window thread never waits on a frame that will not be finished.
  Canvas canvas(screen_);
  canvas.setTextViewport(0, 0);
  canvas.clearScreen();
  printStatistics(canvas, counters_, timing_, articlePath_, clock_.seconds());
  canvas.moveCursor(kViewRow, 1);
  const ViewInputs inputs{canvas, clock_, trie_, counters_, sampleLog_};
  views_.drawView(viewCode_, inputs);
}

bool Crawler::handleKey(std::string_view key) {
  if (key.size() != 1) return false;
  const char k = key.front();
  if (k >= '1' && k <= '8') {
    viewCode_ = k;
  } else if (k == 'd') {
    dumpWords();
  } else if (k == '+') {
    setWindowMode(kLargeWidth, kLargeHeight);
  } else if (k == '-') {
    setWindowMode(kSmallWidth, kSmallHeight);
  } else if (k == kEscape) {
    return true;
  }
  return false;
}

void Crawler::setWindowMode(int width, int height) {
  screen_.openWindow(width, height);
  const auto [actualWidth, actualHeight] = screen_.windowSize();
  windowWidth_ = actualWidth;
  windowHeight_ = actualHeight;
  screen_.setTextGrid(textCells(windowWidth_), textCells(windowHeight_));
}

void Crawler::dumpWords() {
  if (dumpDirectory_) ws::dumpWords(trie_, *dumpDirectory_);
}

void Crawler::shutDown() {
  screen_.setTextViewport(kShutDownTopRow, textCells(windowHeight_));
  screen_.clearScreen(ScreenService::ClearMode::kViewport);
  screen_.printLineEnd();
  screen_.printText("Abbau des Baums aus dem Speicher...  ");
  trie_.freeTrie();
  screen_.printText("Fertig.", true);
}

}  // namespace ws
