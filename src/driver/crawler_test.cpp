#include "driver/crawler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/statistics_block.h"
#include "driver/test_support.h"
#include "screen/screen_service.h"

namespace ws {
namespace {

namespace fs = std::filesystem;
using ws::testing::CountingWindowHost;
using ws::testing::FakeArticleSource;
using ws::testing::openSmallScreen;
using ws::testing::RecordingViewDrawer;
using ws::testing::sameRows;
using ws::testing::SteppingClock;

using Pass = Crawler::PassResult;

std::vector<std::uint16_t> pixelRows(const FrameBuffer& frame, int firstRow, int lastRow) {
  std::vector<std::uint16_t> out;
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = 0; x < frame.width(); ++x) out.push_back(frame.at(x, y));
  }
  return out;
}

bool allBlack(const FrameBuffer& frame) {
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (frame.at(x, y) != 0) return false;
    }
  }
  return true;
}

class CrawlerTest : public ::testing::Test {
 protected:
  void SetUp() override { crawler_.startUp(); }

  FakeArticleSource source_;
  CountingWindowHost host_;
  ScreenService screen_{&host_};
  KeyRing keys_;
  RecordingViewDrawer views_;
  Crawler crawler_{source_, screen_, keys_, views_, std::nullopt};
};

TEST_F(CrawlerTest, StartUpOpensTheSmallWindowWithEmptyState) {
  const CrawlCounters& c = crawler_.counters();
  EXPECT_EQ(c.nodeCount, 224u);
  EXPECT_EQ(c.pagesRead + c.distinctWords + c.wordsTotal + c.letterCount, 0u);
  EXPECT_EQ(c.charactersRead + c.lastSamplePosition, 0u);
  EXPECT_EQ(crawler_.viewCode(), '1');
  EXPECT_EQ(crawler_.sampleLog().size(), 1u);
  EXPECT_EQ(crawler_.sampleLog().record(0).wordsTotal, 0u);
  EXPECT_EQ(crawler_.trie().nodeCount(), 224u);
  EXPECT_EQ(crawler_.windowWidth(), 640);
  EXPECT_EQ(crawler_.windowHeight(), 480);
  EXPECT_EQ(screen_.frame().width(), 640);
  EXPECT_TRUE(allBlack(screen_.frame()));
  EXPECT_EQ(crawler_.timing().readingTime, 0.0);
}

TEST_F(CrawlerTest, PassWithoutParagraphTextOnlyCountsTheFetch) {
  keys_.push("3");
  const int framesBefore = host_.frames;
  source_.addReply("/wiki/Spezial", "HTTP/1.0 200 OK\r\n\r\n<html><div>kein Absatz</div></html>");
  EXPECT_EQ(crawler_.runPass(), Pass::kNoText);  // page without paragraphs
  EXPECT_EQ(crawler_.runPass(), Pass::kNoText);  // error text
  EXPECT_EQ(crawler_.counters().pagesRead, 2u);
  EXPECT_EQ(crawler_.counters().nodeCount, 224u);
  EXPECT_EQ(crawler_.counters().charactersRead, 0u);
  EXPECT_EQ(crawler_.timing().readingTime, 0.0);
  EXPECT_TRUE(views_.calls.empty());
  EXPECT_TRUE(allBlack(screen_.frame()));
  EXPECT_EQ(host_.frames, framesBefore);  // nothing was shown
  EXPECT_EQ(crawler_.viewCode(), '1');
  EXPECT_EQ(keys_.take(), "3");  // the key still waits
}

TEST_F(CrawlerTest, CountedArticleUpdatesCountersAndRedraws) {
  source_.addArticle("/wiki/Haus", "Haus und <b>Hof</b>");
  const int framesBefore = host_.frames;
  EXPECT_EQ(crawler_.runPass(), Pass::kCounted);
  EXPECT_EQ(host_.frames, framesBefore + 1);  // the whole picture at once
  EXPECT_EQ(screen_.lockDepth(), 0);
  const CrawlCounters& c = crawler_.counters();
  EXPECT_EQ(c.pagesRead, 1u);
  EXPECT_EQ(c.wordsTotal, 3u);
  EXPECT_EQ(c.letterCount, 10u);
  EXPECT_EQ(c.distinctWords, 3u);
  EXPECT_EQ(c.nodeCount, 224u + 3 + 2 + 2);
  EXPECT_EQ(c.charactersRead, 13u);  // "haus und hof" and the blank after the paragraph
  EXPECT_EQ(crawler_.articlePath(), "/wiki/Haus");
  EXPECT_EQ(crawler_.trie().lookupWord("hof"), 1u);
  EXPECT_GE(crawler_.timing().readingTime, 0.0);

  ASSERT_EQ(views_.calls.size(), 1u);
  EXPECT_EQ(views_.calls[0].viewCode, '1');
  EXPECT_EQ(views_.calls[0].cursorRow, 14);
  EXPECT_EQ(views_.calls[0].cursorColumn, 1);
  EXPECT_EQ(views_.calls[0].windowWidth, 640);
  EXPECT_EQ(views_.calls[0].sampleLogRecords, 1u);

  // Rows 2 to 13 are the statistics block (row 1 depends on the clock).
  CrawlTiming timing = crawler_.timing();
  const StatisticsRows rows = statisticsRows(c, timing, crawler_.articlePath(), 0.0);
  ScreenService expected;
  openSmallScreen(expected);
  expected.moveCursor(2, 1);
  for (std::size_t i = 1; i < rows.size(); ++i) expected.printText(rows[i], true);
  EXPECT_TRUE(sameRows(screen_.frame(), expected.frame(), 8, 8 * 13 - 1));
}

TEST_F(CrawlerTest, SeparatorsOnlyTextIsACountedArticle) {
  source_.addArticle("/wiki/Zeichen", ".,;:-+/");
  EXPECT_EQ(crawler_.runPass(), Pass::kCounted);
  EXPECT_EQ(crawler_.counters().charactersRead, 8u);
  EXPECT_EQ(crawler_.counters().wordsTotal, 0u);
  EXPECT_EQ(crawler_.counters().nodeCount, 224u);
  EXPECT_EQ(views_.calls.size(), 1u);
  EXPECT_FALSE(allBlack(screen_.frame()));
}

TEST_F(CrawlerTest, EscEndsOnlyAfterTheNextCountedArticle) {
  keys_.push("\x1b");
  source_.addReply("/wiki/Leer", "Error: Verbindung fehlgeschlagen");
  source_.addReply("/wiki/Leer", "HTTP/1.0 404 Not Found\r\n\r\n");
  source_.addArticle("/wiki/Ende", "Schluss");
  EXPECT_EQ(crawler_.runPass(), Pass::kNoText);
  EXPECT_EQ(crawler_.runPass(), Pass::kNoText);
  EXPECT_EQ(crawler_.runPass(), Pass::kEnd);
  EXPECT_EQ(crawler_.counters().pagesRead, 3u);
}

TEST_F(CrawlerTest, KeysAreTakenOnePerCountedArticleInOrder) {
  keys_.push("3");
  keys_.push("D");
  keys_.push("7");
  for (int i = 0; i < 4; ++i) source_.addArticle("/wiki/A", "wort");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(crawler_.runPass(), Pass::kCounted);
  ASSERT_EQ(views_.calls.size(), 4u);
  EXPECT_EQ(views_.calls[0].viewCode, '1');
  EXPECT_EQ(views_.calls[1].viewCode, '3');
  EXPECT_EQ(views_.calls[2].viewCode, '3');  // "D" matches nothing
  EXPECT_EQ(views_.calls[3].viewCode, '7');
}

TEST_F(CrawlerTest, KeyTableMatchesWholeOneByteTextsOnly) {
  for (const char* key : {"", "D", "9", "0", "33", "dd", "\xFFk", "\xFF\x1b", "\x1b\x1b"}) {
    EXPECT_FALSE(crawler_.handleKey(key)) << key;
    EXPECT_EQ(crawler_.viewCode(), '1') << key;
    EXPECT_EQ(crawler_.windowWidth(), 640) << key;
  }
  for (const char* key : {"1", "2", "3", "4", "5", "6", "7", "8"}) {
    EXPECT_FALSE(crawler_.handleKey(key));
    EXPECT_EQ(crawler_.viewCode(), key[0]);
  }
  EXPECT_TRUE(crawler_.handleKey("\x1b"));
}

TEST_F(CrawlerTest, PlusAndMinusSwitchWindowSizeAndTextGrid) {
  source_.addArticle("/wiki/A", "wort");
  crawler_.runPass();
  EXPECT_FALSE(crawler_.handleKey("+"));
  EXPECT_EQ(crawler_.windowWidth(), 1200);
  EXPECT_EQ(crawler_.windowHeight(), 800);
  EXPECT_EQ(screen_.frame().width(), 1200);
  EXPECT_TRUE(allBlack(screen_.frame()));
  EXPECT_EQ(screen_.textGrid(), std::make_pair(150, 100));

  source_.addArticle("/wiki/B", "wort");
  crawler_.runPass();
  EXPECT_EQ(views_.calls.back().windowWidth, 1200);
  EXPECT_EQ(views_.calls.back().windowHeight, 800);

  EXPECT_FALSE(crawler_.handleKey("-"));
  EXPECT_EQ(crawler_.windowWidth(), 640);
  EXPECT_EQ(screen_.frame().height(), 480);
  EXPECT_EQ(screen_.textGrid(), std::make_pair(80, 60));
}

TEST_F(CrawlerTest, SampleLogTakesFirstSampleAtTheWordReaching1000) {
  std::string paragraph;
  for (int i = 0; i < 120; ++i) paragraph += "wort ";  // 600 bytes, then the paragraph blank
  source_.addArticle("/wiki/A", paragraph);
  source_.addArticle("/wiki/B", paragraph);
  crawler_.runPass();
  EXPECT_EQ(crawler_.sampleLog().size(), 1u);
  crawler_.runPass();
  // Second text starts at 601; its word k ends at 601 + 5k + 4, which first reaches 1000 at k 79.
  EXPECT_EQ(crawler_.counters().lastSamplePosition, 1000u);
  ASSERT_EQ(crawler_.sampleLog().size(), 2u);
  EXPECT_EQ(crawler_.sampleLog().record(1).wordsTotal, 120u + 80u);  // wordsTotal at the sample

  for (int i = 0; i < 20; ++i) source_.addArticle("/wiki/C", paragraph);
  for (int i = 0; i < 20; ++i) crawler_.runPass();
  EXPECT_GE(crawler_.sampleLog().size(), 13u);
  EXPECT_LE(crawler_.sampleLog().size(), 1u + crawler_.counters().wordsTotal);
}

TEST_F(CrawlerTest, ShutDownKeepsTheStatisticsAndPrintsBelowThem) {
  source_.addArticle("/wiki/Haus", "Haus und Hof");
  crawler_.runPass();
  const auto statistics = pixelRows(screen_.frame(), 0, 12 * 8 - 1);
  crawler_.shutDown();
  EXPECT_EQ(pixelRows(screen_.frame(), 0, 12 * 8 - 1), statistics);

  ScreenService expected;
  openSmallScreen(expected);
  expected.moveCursor(14, 1);
  expected.printText("Abbau des Baums aus dem Speicher...  Fertig.", true);
  EXPECT_TRUE(sameRows(screen_.frame(), expected.frame(), 12 * 8, 479));
  EXPECT_EQ(screen_.cursorRow(), 15);
}

TEST(CrawlerDump, KeyDWritesTheDumpIntoTheGivenDirectory) {
  const fs::path dir = fs::temp_directory_path() / "ws_crawler_dump_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  FakeArticleSource source;
  ScreenService screen;
  RecordingViewDrawer views;
  KeyRing keys;
  Crawler crawler(source, screen, keys, views, dir);
  crawler.startUp();
  source.addArticle("/wiki/A", "Haus");
  crawler.runPass();
  EXPECT_FALSE(crawler.handleKey("d"));
  EXPECT_EQ(fs::file_size(dir / "wiki.txt"), 224u * 5 + 6 + 7 + 8);
  fs::remove_all(dir);

  Crawler noDirectory(source, screen, keys, views, std::nullopt);
  EXPECT_FALSE(noDirectory.handleKey("d"));  // nothing to write to, nothing reported
}

TEST(CrawlerClock, RunTimeAndReadingTimeRowsFollowTheClock) {
  SteppingClock clock(50.0, 1000.25);
  FakeArticleSource source;
  ScreenService screen;
  KeyRing keys;
  RecordingViewDrawer views;
  Crawler crawler(source, screen, keys, views, std::nullopt, clock);
  crawler.startUp();  // start 50
  source.addArticle("/wiki/A", "eins");
  source.addArticle("/wiki/B", "zwei");
  crawler.runPass();  // reading from 1050.25 to 2050.5, statistics at 3050.75
  crawler.runPass();  // reading from 4051 to 5051.25, statistics at 6051.5

  ScreenService expected;
  openSmallScreen(expected);
  expected.printText("                       Gesamtzeit: 1:40:01.5", true);
  expected.printText("Gesamtzeit zum Einlesen der Daten: 0:33:20.5", true);
  EXPECT_TRUE(sameRows(screen.frame(), expected.frame(), 0, 2 * 8 - 1));
}

TEST(CrawlerRun, RunsUntilEscAndReturnsZero) {
  FakeArticleSource source;
  ScreenService screen;
  KeyRing keys;
  RecordingViewDrawer views;
  Crawler crawler(source, screen, keys, views, std::nullopt);
  source.addReply("/wiki/X", "Error: Verbindung fehlgeschlagen");
  source.addArticle("/wiki/A", "eins");
  source.addArticle("/wiki/B", "zwei");
  keys.push("2");
  keys.push("\x1b");
  EXPECT_EQ(crawler.run(), 0);
  EXPECT_EQ(source.requests, 3);
  EXPECT_EQ(views.calls.size(), 2u);
  EXPECT_EQ(screen.cursorRow(), 15);
}

// A drawing that fails half-way still gives the frame lock back, so the window thread is not left
// waiting for a frame that never comes.
TEST(CrawlerRedraw, FailedDrawingReleasesTheFrameLock) {
  FakeArticleSource source;
  CountingWindowHost host;
  ScreenService screen(&host);
  struct FailingDrawer : ViewDrawer {
    explicit FailingDrawer(const ScreenService& screen) : screen(screen) {}
    void drawView(ViewCode, const ViewInputs&) override {
      depth = screen.lockDepth();
      throw std::runtime_error("view failed");
    }
    const ScreenService& screen;
    int depth = 0;
  } views(screen);
  KeyRing keys;
  Crawler crawler(source, screen, keys, views, std::nullopt);
  crawler.startUp();
  source.addArticle("/wiki/A", "eins zwei");
  EXPECT_THROW(crawler.runPass(), std::runtime_error);
  EXPECT_EQ(views.depth, 1);
  EXPECT_EQ(screen.lockDepth(), 0);
}

}  // namespace
}  // namespace ws
