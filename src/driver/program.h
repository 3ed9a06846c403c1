#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "driver/counter_start.h"
#include "driver/pass_pacing.h"
#include "screen/clock.h"

namespace ws {

class ArticleSource;
class KeyRing;
class ScreenService;
class StopRequest;

// Everything the program needs from outside its in-memory parts.
class ProgramPlatform {
 public:
  virtual ~ProgramPlatform() = default;
  virtual bool startSocketLibrary() = 0;
  virtual void stopSocketLibrary() = 0;
  // Opens the window, runs `work` with the window's screen service and returns its result once
  // `work` has returned; the window is gone afterwards.
  virtual int runWithWindow(const std::function<int(ScreenService&, KeyRing&)>& work) = 0;
  // The source of articles, reading the run's one clock. `clock` outlives the source.
  virtual std::unique_ptr<ArticleSource> makeArticleSource(Clock& clock) = 0;
  // Where the word dump goes (the executable's directory); nullopt disables it.
  virtual std::optional<std::filesystem::path> dumpDirectory() = 0;
  // How the crawl loop paces its passes; by default not at all.
  virtual PassPacing passPacing() { return {}; }
  // The run's one clock: the crawler's and the article source's; by default the steady clock.
  virtual Clock& clock() { return steadyClock(); }
  // Where the counters start; by default at zero.
  virtual const CounterStart& counterStart() {
    static const CounterStart zero;
    return zero;
  }
  // What may end the crawl like Esc from outside the window (signals); null: nothing. It must
  // outlive runProgram.
  virtual const StopRequest* stopRequest() { return nullptr; }
};

// The program's main line: starts the socket library (on failure writes the error text and a
// line end to `console` and returns 1 before any window opens), crawls in the window until Esc
// or the stop request, stops the socket library and returns 0. A crawl that fails ends with a
// "Fehler: " line on standard error and 1; refused memory ends the process at once with its own
// line and 1 (driver/allocation_failure.h).
int runProgram(ProgramPlatform& platform, std::ostream& console);

}  // namespace ws
