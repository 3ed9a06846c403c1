// Wortsammler: the crawler in its window, against the ArticleServer fixed at build time.
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "driver/program.h"
#include "driver/word_dump.h"
#include "net/article_fetch.h"
#include "net/article_host.h"
#include "net/socket_library.h"
#include "screen/sdl_window.h"

namespace {

class DesktopPlatform final : public ws::ProgramPlatform {
 public:
  bool startSocketLibrary() override { return ws::startSocketLibrary(); }
  void stopSocketLibrary() override { ws::stopSocketLibrary(); }
  int runWithWindow(const std::function<int(ws::ScreenService&)>& work) override {
    return ws::runWithWindow(work);
  }
  std::unique_ptr<ws::ArticleSource> makeArticleSource() override {
    return std::make_unique<ws::HttpArticleSource>(std::string(ws::articleHost()));
  }
  std::optional<std::filesystem::path> dumpDirectory() override {
    return ws::executableDirectory();
  }
};

}  // namespace

int main() {
  DesktopPlatform platform;
  return ws::runProgram(platform, std::cout);
}
