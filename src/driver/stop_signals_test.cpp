#include "driver/stop_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

namespace ws {
namespace {

using namespace std::chrono_literals;

// The program's way with a signal, in a process of its own: made on the main thread, taken on
// a crawl thread that blocks in a read. Ends by the signal, or with exit code 1 when the read was
// not interrupted by it.
[[noreturn]] void crawlUntilSignalled(int number) {
  StopSignals signals;
  int wake[2];
  if (pipe(wake) != 0) std::_Exit(2);
  std::atomic<bool> reading{false};
  std::promise<bool> interrupted;
  std::future<bool> outcome = interrupted.get_future();
  std::thread crawl([&] {
    signals.takeOnThisThread();
    reading = true;
    char byte;
    const bool failed = read(wake[0], &byte, 1) < 0;
    interrupted.set_value(failed && errno == EINTR && signals.stopRequested());
  });
  while (!reading) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(50ms);
  kill(getpid(), number);  // to the process: only the crawl thread may take it
  if (outcome.wait_for(5s) != std::future_status::ready) {
    if (write(wake[1], "x", 1) != 1) std::_Exit(2);
  }
  const bool ok = outcome.get();
  crawl.join();
  if (!ok) std::_Exit(1);
  signals.endByReceivedSignal();
  std::_Exit(3);
}

TEST(StopSignalsDeathTest, SignalInterruptsTheCrawlThreadAndEndsTheProcessAfterTheCleanUp) {
  // The child runs afresh, with no thread of other tests in it.
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(crawlUntilSignalled(SIGTERM), ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EXIT(crawlUntilSignalled(SIGINT), ::testing::KilledBySignal(SIGINT), "");
  // Without a signal the clean-up returns, and the program ends with its own exit code.
  EXPECT_EXIT(
      {
        StopSignals signals;
        signals.endByReceivedSignal();
        std::_Exit(signals.stopRequested() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  GTEST_FLAG_SET(death_test_style, style);
}

}  // namespace
}  // namespace ws
