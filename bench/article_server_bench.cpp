// Throughput of the stand-in article server on loopback, and of the crawler's
// random-article fetch against it. The server runs as a child process; the
// client threads run here, so both share the machine's cores.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "corpus.h"
#include "net/article_fetch.h"
#include "page_renderer.h"
#include "testkit/raw_client.h"
#include "testkit/server_process.h"

namespace {

using ws::testkit::exchange;
using ws::testkit::getRequest;
using ws::testkit::ServerProcess;

constexpr std::string_view kRandom = "/wiki/Spezial:Zuf%C3%A4llige_Seite";

struct SharedServer {
  ServerProcess process{{"--seed", "1"}};
  std::vector<std::string> articleRequests;  // ready-made requests for known articles

  SharedServer() {
    const std::string host = process.hostAndPort();
    const std::string marker = "Location: http://" + host;
    for (int i = 0; i < 256 && process.ok(); ++i) {
      const std::string reply = exchange(process.port(), getRequest(kRandom, host)).data;
      const std::size_t at = reply.find(marker);
      if (at == std::string::npos) continue;
      const std::size_t start = at + marker.size();
      articleRequests.push_back(
          getRequest(reply.substr(start, reply.find("\r\n", start) - start), host));
    }
  }
};

SharedServer& server() {
  static SharedServer shared;
  return shared;
}

// One article page per iteration: connect, request, read until close.
void BM_ServerArticleRequest(benchmark::State& state) {
  SharedServer& s = server();
  if (s.articleRequests.empty()) {
    state.SkipWithError("server did not start");
    return;
  }
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * 31;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    const auto r = exchange(s.process.port(), s.articleRequests[i++ % s.articleRequests.size()],
                            std::chrono::seconds(10), false);
    bytes += r.bytes;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ServerArticleRequest)->Threads(1)->Threads(4)->Threads(8)->UseRealTime()->MinTime(2.0);

// The crawler's pair of requests: the redirect, then the article it names.
void BM_ServerRedirectAndArticle(benchmark::State& state) {
  SharedServer& s = server();
  const std::string host = s.process.hostAndPort();
  const std::string marker = "Location: http://" + host;
  const std::string redirectRequest = getRequest(kRandom, host);
  for (auto _ : state) {
    const std::string reply = exchange(s.process.port(), redirectRequest).data;
    const std::size_t at = reply.find(marker);
    if (at == std::string::npos) {
      state.SkipWithError("no redirect");
      break;
    }
    const std::size_t start = at + marker.size();
    const std::string path = reply.substr(start, reply.find("\r\n", start) - start);
    benchmark::DoNotOptimize(
        exchange(s.process.port(), getRequest(path, host), std::chrono::seconds(10), false));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ServerRedirectAndArticle)->Threads(1)->Threads(4)->UseRealTime()->MinTime(2.0);

// Rendering alone, without the network.
void BM_RenderArticlePage(benchmark::State& state) {
  std::string error;
  static const auto corpus = ws::Corpus::load(WS_BENCH_ARTICLE_CORPUS, &error);
  if (!corpus) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::size_t i = 0;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    const std::string page = ws::renderArticlePage(*corpus, (i++ * 7919) % corpus->size());
    bytes += page.size();
    benchmark::DoNotOptimize(page.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_RenderArticlePage);

// Article pairs per second as the crawl loop gets them: fetchRandomArticle.
void BM_FetchRandomArticle(benchmark::State& state) {
  SharedServer& s = server();
  const std::string host = s.process.hostAndPort();
  std::string articlePath;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ws::fetchRandomArticle(host, articlePath));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FetchRandomArticle)->Threads(1)->Threads(4)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
