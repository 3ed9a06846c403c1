// Speed of the screen's hot paths: the scrolling lists of the word views and the dot fields.
#include <benchmark/benchmark.h>

#include <string>

#include "screen/screen_service.h"

namespace ws {
namespace {

void openScreen(ScreenService& screen) {
  screen.openWindow(640, 480);
  screen.setTextGrid(80, 60);
}

// A word list of 10,000 lines scrolling through a viewport of 43 rows (18..60), one lock.
void BM_ScrollTenThousandLines(benchmark::State& state) {
  ScreenService screen;
  openScreen(screen);
  const std::string line = "1234 wortsammlung";
  for (auto _ : state) {
    screen.lockScreen();
    screen.setTextViewport(18, 60);
    for (int i = 0; i < 10000; ++i) screen.printText(line, true);
    screen.unlockScreen(-1, -1);
    benchmark::DoNotOptimize(screen.frame().at(0, 479));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  state.SetLabel("items = lines");
}
BENCHMARK(BM_ScrollTenThousandLines)->Unit(benchmark::kMillisecond);

// A dot field of one million nodes: one plotPixel per node inside one lock.
void BM_MillionPlotPixels(benchmark::State& state) {
  ScreenService screen;
  openScreen(screen);
  for (auto _ : state) {
    screen.lockScreen();
    for (int n = 1; n <= 1000000; ++n) {
      const auto x = static_cast<float>(n % 640 + 1);
      const auto y = static_cast<float>(479 - n / 640);  // rows above the window are dropped
      screen.plotPixel(x, y, 0xFF000000u + static_cast<Colour>(n) * 2654435761u % 0x1000000u);
    }
    screen.unlockScreen(-1, -1);
    benchmark::DoNotOptimize(screen.frame().at(2, 479));
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
  state.SetLabel("items = pixels");
}
BENCHMARK(BM_MillionPlotPixels)->Unit(benchmark::kMillisecond);

// The same pixel calls made outside a lock: each locks, marks its row and unlocks itself.
void BM_PlotPixelOutsideALock(benchmark::State& state) {
  ScreenService screen;
  openScreen(screen);
  int n = 0;
  for (auto _ : state) {
    screen.plotPixel(static_cast<float>(n % 640), static_cast<float>(n % 480), kYellow);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlotPixelOutsideALock);

// A line between end points far outside the window costs no more than its visible part.
void BM_FarAwayLine(benchmark::State& state) {
  ScreenService screen;
  openScreen(screen);
  screen.lockScreen();
  for (auto _ : state) screen.drawLine(-1e9f, -4e8f, 1e9f, 4e8f, kWhite, 0xFFFF);
  screen.unlockScreen();
}
BENCHMARK(BM_FarAwayLine);

}  // namespace
}  // namespace ws

BENCHMARK_MAIN();
