#include "driver/crawler.h"

#include <cmath>

#include "driver/statistics_block.h"
#include "driver/view_drawer.h"
#include "driver/word_dump.h"
#include "net/article_fetch.h"
#include "net/paragraph_text.h"
#include "screen/screen_service.h"
#include "text/word_splitter.h"

namespace ws {

namespace {

constexpr char kEscape = '\x1b';
constexpr int kViewRow = 14;
constexpr int kShutDownTopRow = 13;
constexpr int kCellSize = 8;

int cells(int pixels) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) / kCellSize));
}

}  // namespace

Crawler::Crawler(ArticleSource& source, ScreenService& screen, ViewDrawer& views,
                 std::optional<std::filesystem::path> dumpDirectory)
    : source_(source), screen_(screen), views_(views), dumpDirectory_(std::move(dumpDirectory)) {}

void Crawler::startUp() {
  timing_.startTime = screen_.clockSeconds();
  setWindowMode(kSmallWidth, kSmallHeight);
}

Crawler::PassResult Crawler::runPass() {
  std::string text = source_.fetchRandomArticle(articlePath_);
  ++counters_.pagesRead;
  timing_.readStartTime = screen_.clockSeconds();
  extractParagraphText(text);
  if (text.empty()) return PassResult::kNoText;

  countText(text);
  timing_.readingTime += screen_.clockSeconds() - timing_.readStartTime;
  redraw();
  return handleKey(screen_.readKey()) ? PassResult::kEnd : PassResult::kCounted;
}

int Crawler::run() {
  startUp();
  while (runPass() != PassResult::kEnd) {
  }
  shutDown();
  return 0;
}

void Crawler::countText(std::string& text) {
  splitWords(text, trie_, counters_,
             [this](std::size_t endPosition) { checkSample(sampleLog_, counters_, endPosition); });
  counters_.charactersRead += text.size();
}

void Crawler::redraw() {
  screen_.lockScreen();
  screen_.setTextViewport(0, 0);
  screen_.clearScreen();
  printStatistics(screen_, counters_, timing_, articlePath_, screen_.clockSeconds());
  screen_.moveCursor(kViewRow, 1);
  const ViewInputs inputs{screen_, trie_, counters_, sampleLog_};
  views_.drawView(viewCode_, inputs);
  screen_.unlockScreen(-1, -1);
}

bool Crawler::handleKey(std::string_view key) {
  if (key.size() != 1) return false;
  const char k = key.front();
  if (k >= '1' && k <= '8') {
    viewCode_ = std::string(1, k);
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
  screen_.setTextGrid(cells(windowWidth_), cells(windowHeight_));
}

void Crawler::dumpWords() {
  if (dumpDirectory_) ws::dumpWords(trie_, *dumpDirectory_);
}

void Crawler::shutDown() {
  screen_.setTextViewport(kShutDownTopRow, cells(windowHeight_));
  screen_.clearScreen(ScreenService::ClearMode::kViewport);
  screen_.printLineEnd();
  screen_.printText("Abbau des Baums aus dem Speicher...  ");
  trie_.freeTrie();
  screen_.printText("Fertig.", true);
}

}  // namespace ws
