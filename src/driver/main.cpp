// Wortsammler: the crawler in its window, against the ArticleServer fixed at build time.
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "driver/counter_start.h"
#include "driver/program.h"
#include "driver/stop_signals.h"
#include "driver/word_dump.h"
#include "net/article_address.h"
#include "net/article_fetch.h"
#include "net/article_host.h"
#include "net/failure_report.h"
#include "net/get_request.h"
#include "net/host_port.h"
#include "net/https_article_source.h"
#include "net/https_client.h"
#include "net/interrupted_calls.h"
#include "net/socket_library.h"
#include "screen/window.h"

namespace {

using std::chrono::milliseconds;

// "name:port", the port written even when it is the default one.
std::string shownServer(const std::string& host) {
  const std::optional<ws::Endpoint> endpoint = ws::splitHostPort(host, ws::kHttpsDefaultPort);
  return endpoint ? endpoint->name + ":" + std::to_string(endpoint->port) : host;
}

class DesktopPlatform final : public ws::ProgramPlatform {
 public:
  explicit DesktopPlatform(ws::StopSignals& stopSignals)
      : stopSignals_(stopSignals),
        built_(ws::builtArticleServer()),
        address_(ws::parseArticleAddress(built_.address)),
        failures_(std::cerr, shownServer(address_.host)) {}

  bool startSocketLibrary() override { return ws::startSocketLibrary(); }
  void stopSocketLibrary() override { ws::stopSocketLibrary(); }
  int runWithWindow(const std::function<int(ws::ScreenService&, ws::KeyRing&)>& work) override {
    return ws::runWithWindow([this, &work](ws::ScreenService& screen, ws::KeyRing& keys) {
      stopSignals_.takeOnThisThread();
      return work(screen, keys);
    });
  }
  std::unique_ptr<ws::ArticleSource> makeArticleSource(ws::Clock& clock) override {
    if (address_.transport == ws::Transport::kPlain) {
      return std::make_unique<ws::HttpArticleSource>(address_.host);
    }
    ws::TlsSettings settings{std::string(built_.caFile), milliseconds(built_.connectTimeoutMs),
                             milliseconds(built_.receiveTimeoutMs),
                             milliseconds(built_.replyDeadlineMs)};
    return std::make_unique<ws::HttpsArticleSource>(
        address_.host, std::move(settings), ws::userAgentHeader(built_.userAgent), &failures_,
        [&clock] { return clock.seconds(); });
  }
  std::optional<std::filesystem::path> dumpDirectory() override {
    return ws::executableDirectory();
  }
  const ws::CounterStart& counterStart() override { return ws::builtCounterStart(); }
  ws::PassPacing passPacing() override {
    if (address_.transport == ws::Transport::kPlain) return {};
    return {.paced = true, .minInterval = milliseconds(built_.minIntervalMs)};
  }
  const ws::StopRequest* stopRequest() override { return &stopSignals_; }

 private:
  ws::StopSignals& stopSignals_;
  const ws::BuiltArticleServer& built_;
  ws::ArticleAddress address_;
  ws::FailureReport failures_;
};

}  // namespace

// SIGINT and SIGTERM end the crawl like Esc; afterwards the process ends by the signal itself,
// so that a shell sees why. That is done here, last: after runProgram's clean-up, once the window
// and its threads are gone, on the thread whose mask StopSignals set before any other started.
int main() {
  ws::StopSignals stopSignals;
  ws::giveUpInterruptedCallsWhen(&ws::StopSignals::received);
  DesktopPlatform platform(stopSignals);
  const int exitCode = ws::runProgram(platform, std::cout);
  std::cout.flush();
  stopSignals.endByReceivedSignal();
  return exitCode;
}
