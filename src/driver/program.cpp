#include "driver/program.h"

#include <exception>

#include "driver/allocation_failure.h"
#include "driver/crawler.h"
#include "driver/view_drawer.h"
#include "net/article_fetch.h"
#include "net/socket_library.h"

namespace ws {

int runProgram(ProgramPlatform& platform, std::ostream& console) {
  endOnAllocationFailure();
  const int startStatus =
      startSocketLibraryOrReport(console, [&platform] { return platform.startSocketLibrary(); });
  if (startStatus != 0) return startStatus;

  const int exitCode = platform.runWithWindow([&platform](ScreenService& screen, KeyRing& keys) {
    // Whatever ends the crawl otherwise than Esc ends the program with exit code 1 and a line
    // that says why, never with an exception out of main.
    try {
      Clock& clock = platform.clock();
      const std::unique_ptr<ArticleSource> source = platform.makeArticleSource(clock);
      PainterViewDrawer views;
      Crawler crawler(*source, screen, keys, views, platform.dumpDirectory(), clock);
      crawler.pacePasses(platform.passPacing());
      crawler.startCountersAt(platform.counterStart());
      crawler.stopWhen(platform.stopRequest());
      return crawler.run();
    } catch (const std::exception& failure) {
      reportFailure(failure.what());
    } catch (...) {
      reportFailure("Unbekannter Abbruch des Einlesens");
    }
    return 1;
  });
  platform.stopSocketLibrary();
  return exitCode;
}

}  // namespace ws
