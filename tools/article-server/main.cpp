// article-server: an offline stand-in for the encyclopedia's HTTP server.
// Serves a random-article redirect and article pages from a German corpus on
// 127.0.0.1, optionally with injected faults.

#include <unistd.h>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>

#include "article_site.h"
#include "corpus.h"
#include "event_server.h"
#include "fault_plan.h"
#include "percent_coding.h"
#include "tls_front.h"

namespace {

ws::EventServer* runningServer = nullptr;
ws::TlsFront* runningFront = nullptr;

extern "C" void onTerminate(int) {
  if (runningServer != nullptr) runningServer->stop();
  if (runningFront != nullptr) runningFront->stop();
}

void printUsage() {
  std::cerr
      << "usage: article-server --port N [--corpus PATH] [--seed S] [--latency-ms M]\n"
         "                      [--fault MODE[:K]]... [--tls CERT KEY] [--header-case lower]\n"
         "                      [--require-user-agent] [--location-scheme https]\n"
         "                      [--throttle N[:SECONDS]] [--log-tls]\n"
         "       article-server [--corpus PATH] [--seed S] --print-sequence COUNT\n"
         "       article-server [--corpus PATH] --print-reply PATH\n"
         "  --print-sequence writes the paths (\"wiki/...\") of the first COUNT random\n"
         "  articles for the seed, one a line; --print-reply writes the exact reply to\n"
         "  \"GET /PATH\"; both without opening a port.\n"
         "  --port 0 picks a free port; the first line printed names it.\n"
         "  --fault MODE applies to every connection, MODE:K to every K-th;\n"
         "  several rules may be given, the first that applies wins.\n"
         "  --tls serves the site over TLS with the PEM certificate chain CERT and key KEY;\n"
         "  --header-case lower writes header names in lower case; --require-user-agent\n"
         "  answers 403 to a request without one User-Agent line; --location-scheme https\n"
         "  makes redirects name https://. Together they imitate the real server.\n"
         "  --throttle N[:SECONDS] answers the request after every N article pages with\n"
         "  429 and retry-after: SECONDS (default 1); --log-tls writes a line per TLS\n"
         "  connection to stderr saying whether its session was resumed.\n"
         "  modes: "
      << ws::faultNameList() << "\n";
}

template <class Number>
bool parseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// "N" or "N:SECONDS": a 429 after every N article pages, asking for SECONDS (default 1).
bool parseThrottle(std::string_view text, ws::SiteStyle& style) {
  const std::size_t colon = text.find(':');
  if (!parseNumber(text.substr(0, colon), style.throttleEvery) || style.throttleEvery == 0) {
    return false;
  }
  return colon == std::string_view::npos ||
         parseNumber(text.substr(colon + 1), style.throttleSeconds);
}

// The bundled corpus: beside the executable first, then where the build put it.
std::string defaultCorpusPath() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const auto beside = self.parent_path() / "corpus" / "corpus.txt";
    if (std::filesystem::exists(beside, error)) return beside.string();
  }
  return ARTICLE_SERVER_CORPUS;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  ws::ServerOptions options;
  std::string corpusPath;
  std::uint64_t seed = std::random_device{}();
  seed = (seed << 32) ^ std::random_device{}();
  bool havePort = false;
  std::optional<std::size_t> printSequence;
  std::optional<std::string> printReply;
  std::optional<std::pair<std::string, std::string>> tls;
  ws::SiteStyle style;
  bool logTls = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--require-user-agent") {
      style.requireUserAgent = true;
      continue;
    }
    if (arg == "--log-tls") {
      logTls = true;
      continue;
    }
    if (arg == "--tls" && i + 2 < argc) {
      tls.emplace(argv[i + 1], argv[i + 2]);
      i += 2;
      continue;
    }
    const bool hasValue = i + 1 < argc;
    const std::string_view value = hasValue ? std::string_view(argv[i + 1]) : std::string_view();
    bool ok = hasValue;
    if (arg == "--port") {
      ok = ok && parseNumber(value, options.port);
      havePort = true;
    } else if (arg == "--corpus") {
      corpusPath = std::string(value);
    } else if (arg == "--seed") {
      ok = ok && parseNumber(value, seed);
    } else if (arg == "--latency-ms") {
      ok = ok && parseNumber(value, options.latencyMs);
    } else if (arg == "--fault") {
      ok = ok && options.faults.add(value);
    } else if (arg == "--print-sequence") {
      std::size_t count = 0;
      ok = ok && parseNumber(value, count);
      printSequence = count;
    } else if (arg == "--header-case") {
      ok = ok && value == "lower";
      style.lowerCaseHeaderNames = true;
    } else if (arg == "--location-scheme") {
      ok = ok && (value == "https" || value == "http");
      style.httpsLocations = value == "https";
    } else if (arg == "--throttle") {
      ok = ok && parseThrottle(value, style);
    } else if (arg == "--print-reply") {
      printReply = std::string(value);
    } else {
      ok = false;
    }
    if (!ok) {
      std::cerr << "article-server: bad argument " << arg << (hasValue ? " " : "") << value << "\n";
      printUsage();
      return 2;
    }
    ++i;
  }
  const bool printing = printSequence || printReply;
  if (havePort == printing) {
    printUsage();
    return 2;
  }
  if (corpusPath.empty()) corpusPath = defaultCorpusPath();
  std::string error;
  const auto corpus = ws::Corpus::load(corpusPath, &error);
  if (!corpus) {
    std::cerr << "article-server: " << error << "\n";
    return 1;
  }
  ws::ArticleSite site(*corpus, seed, style);
  if (printSequence) {
    for (std::size_t i = 0; i < *printSequence; ++i) {
      std::cout << "wiki/" << ws::encodeTitle(corpus->article(site.nextRandomArticle()).title)
                << "\n";
    }
    return 0;
  }
  if (printReply) {
    std::string target = *printReply;
    if (target.empty() || target[0] != '/') target = "/" + target;
    const ws::HttpRequest request{"GET", target, "HTTP/1.0", ""};
    const ws::Reply reply = site.answer(request, "127.0.0.1:8080", ws::FaultMode::kNone);
    const std::string bytes = reply.flatten();
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes.rfind("HTTP/1.0 200", 0) == 0 ? 0 : 1;
  }
  // With TLS the plain server listens on a free inner port and the front on the given one.
  const std::uint16_t port = options.port;
  if (tls) options.port = 0;
  ws::EventServer server(site, options);
  ws::TlsFront front;
  front.logConnections(logTls);
  if (!server.start(&error) ||
      (tls && !front.start(tls->first, tls->second, port, server.port(), &error))) {
    std::cerr << "article-server: " << error << "\n";
    return 1;
  }
  runningServer = &server;
  if (tls) runningFront = &front;
  std::signal(SIGINT, onTerminate);
  std::signal(SIGTERM, onTerminate);
  std::cout << "listening on 127.0.0.1:" << (tls ? front.port() : server.port()) << std::endl;
  std::cerr << "article-server: " << corpus->size() << " articles from " << corpusPath
            << (tls ? " over TLS" : "") << "\n";
  if (tls) {
    std::thread plain([&server] { server.run(); });
    front.run();
    server.stop();
    plain.join();
  } else {
    server.run();
  }
  runningServer = nullptr;
  runningFront = nullptr;
  return 0;
}
