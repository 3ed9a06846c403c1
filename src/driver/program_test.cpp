#include "driver/program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/test_failing_allocator.h"
#include "driver/test_support.h"
#include "screen/key_ring.h"
#include "screen/screen_service.h"

namespace ws {
namespace {

using ws::testing::FakeArticleSource;
using ws::testing::FakeStopRequest;

// Runs the program in memory: the "window" is a ScreenService without a host, and the log
// records the order of the platform calls.
class FakePlatform : public ProgramPlatform {
 public:
  bool startSocketLibrary() override {
    log.push_back("start");
    return socketsStart;
  }
  void stopSocketLibrary() override { log.push_back("stop"); }
  int runWithWindow(const std::function<int(ScreenService&, KeyRing&)>& work) override {
    log.push_back("window");
    const int result = work(screen, keys);
    log.push_back("window closed");
    return result;
  }
  std::unique_ptr<ArticleSource> makeArticleSource(Clock&) override {
    if (duringFetch) return std::make_unique<ActingSource>(duringFetch);
    auto source = std::make_unique<FakeArticleSource>();
    source->addReply("/wiki/Leer", "Error: Verbindung fehlgeschlagen");
    source->addArticle("/wiki/Eins", "Ein kurzer Text");
    return source;
  }
  std::optional<std::filesystem::path> dumpDirectory() override { return std::nullopt; }
  const StopRequest* stopRequest() override { return &stop; }

  // A source that runs this on every fetch, when set.
  struct ActingSource : ArticleSource {
    explicit ActingSource(std::function<void()> act) : act(std::move(act)) {}
    std::string fetchRandomArticle(std::string&) override {
      act();
      return "Error: Verbindung fehlgeschlagen";
    }
    std::function<void()> act;
  };
  std::function<void()> duringFetch;

  bool socketsStart = true;
  FakeStopRequest stop;
  ScreenService screen;
  KeyRing keys;
  std::vector<std::string> log;
};

TEST(RunProgram, SocketStartFailureEndsWithMessageBeforeAnyWindow) {
  FakePlatform platform;
  platform.socketsStart = false;
  std::ostringstream console;
  EXPECT_EQ(runProgram(platform, console), 1);
  EXPECT_EQ(console.str(), "Error: WSAStartup failed\r\n");
  EXPECT_EQ(platform.log, std::vector<std::string>{"start"});
}

TEST(RunProgram, CrawlsUntilEscThenStopsSocketsAndReturnsZero) {
  FakePlatform platform;
  platform.keys.push("\x1b");
  std::ostringstream console;
  EXPECT_EQ(runProgram(platform, console), 0);
  EXPECT_EQ(console.str(), "");
  EXPECT_EQ(platform.log, (std::vector<std::string>{"start", "window", "window closed", "stop"}));
  EXPECT_EQ(platform.screen.cursorRow(), 15);  // the shut-down messages were printed
}

TEST(RunProgram, FailureInTheCrawlEndsWithItsLineAndExitCodeOne) {
  FakePlatform platform;
  platform.duringFetch = [] { throw std::runtime_error("Seite nicht lesbar"); };
  std::ostringstream console;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(runProgram(platform, console), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Fehler: Seite nicht lesbar.\n");
  EXPECT_EQ(platform.log, (std::vector<std::string>{"start", "window", "window closed", "stop"}));
}

TEST(RunProgramDeathTest, RefusedMemoryEndsWithTheMessageAndExitCodeOne) {
  GTEST_FLAG_SET(death_test_style, "fast");
  FakePlatform platform;
  platform.duringFetch = [] {
    testing::failAllocation(1);
    const std::string page(100, 'x');  // refused
    std::exit(3);
  };
  std::ostringstream console;
  EXPECT_EXIT(runProgram(platform, console), ::testing::ExitedWithCode(1),
              "^Fehler: Kein Speicher mehr frei.\n$");
}

// A signal during the first pass, which fails: Esc would wait for the next counted article, the
// stop request does not. The shut-down and the clean-up are those of Esc.
TEST(RunProgram, StopRequestEndsTheCrawlAfterAFailedPassWithTheNormalShutDown) {
  FakePlatform platform;
  platform.stop.stopAtAsk = 2;
  platform.keys.push("\x1b");  // ends the crawl after the second pass if the stop is missed
  std::ostringstream console;
  EXPECT_EQ(runProgram(platform, console), 0);
  EXPECT_EQ(platform.stop.asks, 2);
  EXPECT_EQ(platform.log, (std::vector<std::string>{"start", "window", "window closed", "stop"}));
  EXPECT_EQ(platform.screen.cursorRow(), 15);  // the shut-down messages were printed
  EXPECT_EQ(platform.screen.lockDepth(), 0);
}

}  // namespace
}  // namespace ws
