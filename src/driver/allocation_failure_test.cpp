#include "driver/allocation_failure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/crawler.h"
#include "driver/test_failing_allocator.h"
#include "driver/test_support.h"
#include "driver/view_drawer.h"
#include "screen/screen_service.h"
#include "views/sample_log.h"

namespace ws {
namespace {

using ::testing::ExitedWithCode;

constexpr const char* kMessage = "Fehler: Kein Speicher mehr frei";

std::string paragraph(int n) {
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text += "Die Stadt an der Donau und ihr Hafen " + std::to_string(n * 1000 + i) + " ";
  }
  return text;
}

// A crawler after two counted articles, with `view` chosen; built the same way every time, so
// that its next pass allocates the same blocks in the same order.
struct ReadyCrawler {
  explicit ReadyCrawler(ViewCode view, const std::filesystem::path& dumpDir)
      : crawler(source, screen, keys, views, dumpDir, clock) {
    crawler.startUp();
    for (int n = 0; n < 3; ++n) source.addArticle("/wiki/A" + std::to_string(n), paragraph(n));
    crawler.runPass();
    crawler.runPass();
    crawler.handleKey(std::string(1, view));
  }
  // The next pass, and a dump after it when asked.
  void pass(bool dump) {
    crawler.runPass();
    if (dump) crawler.handleKey("d");
  }

  testing::SteppingClock clock{100.0, 0.25};
  testing::FakeArticleSource source;
  ScreenService screen;
  KeyRing keys;
  PainterViewDrawer views;
  Crawler crawler;
};

// Refuses each allocation of one counted pass in turn — the page, its paragraph text, the words,
// the samples, the statistics block, the drawing of each view, the dump — and expects every one to
// end the program with the message and exit code 1: never an exception, and never a pass that
// goes on with what it could not get.
TEST(AllocationFailureDeathTest, EveryAllocationOfAPassEndsTheProgramWithTheMessage) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "oom_dump";
  std::filesystem::create_directories(dir);
  for (const char key : std::string("12345678d")) {
    const ViewCode view = key == 'd' ? '3' : key;
    std::uint64_t allocations = 0;
    {
      ReadyCrawler counted(view, dir);
      const std::uint64_t before = testing::allocationsMade();
      counted.pass(key == 'd');
      allocations = testing::allocationsMade() - before;
    }
    ASSERT_GT(allocations, 0u);
    ReadyCrawler crawler(view, dir);
    for (std::uint64_t n = 1; n <= allocations; ++n) {
      EXPECT_EXIT(
          {
            endOnAllocationFailure();
            testing::failAllocation(n);
            crawler.pass(key == 'd');
            std::exit(3);
          },
          ExitedWithCode(1), kMessage)
          << "key " << key << ", allocation " << n << " of " << allocations;
    }
  }
}

TEST(AllocationFailureDeathTest, SampleLogGrowthEndsTheProgramWithTheMessage) {
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        endOnAllocationFailure();
        SampleLog log;
        testing::failAllocation(1);
        for (std::uint32_t i = 1; i < 10'000'000; ++i) log.appendSample(i / 2, i, 224 + i);
        std::exit(0);
      },
      ExitedWithCode(1), kMessage);
}

}  // namespace
}  // namespace ws
