#include "driver/program.h"

#include "driver/crawler.h"
#include "driver/view_drawer.h"
#include "net/article_fetch.h"
#include "net/socket_library.h"

namespace ws {

int runProgram(ProgramPlatform& platform, std::ostream& console) {
  const int startStatus =
      startSocketLibraryOrReport(console, [&platform] { return platform.startSocketLibrary(); });
  if (startStatus != 0) return startStatus;

  const int exitCode = platform.runWithWindow([&platform](ScreenService& screen) {
    const std::unique_ptr<ArticleSource> source = platform.makeArticleSource();
    PainterViewDrawer views;
    Crawler crawler(*source, screen, views, platform.dumpDirectory());
    crawler.pacePasses(platform.passPacing());
    crawler.stopWhen(platform.stopRequest());
    return crawler.run();
  });
  platform.stopSocketLibrary();
  return exitCode;
}

}  // namespace ws
