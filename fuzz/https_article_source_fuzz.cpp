// Checks how the https article source heeds the server's replies, on any pair of replies: the
// random page's reply and the article's. Only a 3xx reply with the location marker leads to a
// second request, for the path cut from it; only a 2xx reply to that is returned, byte for byte;
// a refused 429 or 503 asks for the wait of its Retry-After field; the report writes at most one
// line, and a refusal's line is printable ASCII of bounded length, whatever the reason holds.
// Input: a flags byte and two 2-byte codes, then the two replies' bytes split at the first zero
// byte (replies never hold one). Flag bit 0 (bit 1) puts "HTTP/1.1 " and the first (second) code,
// 100 + (code % 900), before the first (second) reply's bytes, so that every status is one
// mutation away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "net/failure_report.h"
#include "net/https_article_source.h"
#include "net/location_cut.h"
#include "net/reply_head.h"
#include "net/retry_after.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::string_view kHost = "de.example.org";
// Clocks before and after any the fuzzer runs at; the wait of a date shrinks as the clock goes.
constexpr std::time_t kEarliest = 0;
constexpr std::time_t kLatest = 4102444800;  // 2100-01-01

bool hasClass(const std::optional<ws::StatusLine>& status, int wantedClass) {
  return status && status->code / 100 == wantedClass;
}

// Checks the report of the one reply that ended the fetch, or that there is none.
void checkReport(const std::string& out, const std::string* ender) {
  if (ender == nullptr) {
    if (!out.empty()) std::abort();
    return;
  }
  const std::optional<ws::StatusLine> status = ws::parseStatusLine(*ender);
  if (!status) {
    if (ender->rfind("Error: ", 0) != 0) {
      if (!out.empty()) std::abort();
      return;
    }
    // One printable line of bounded length, whatever the server sent after "Error: ".
    const std::string end = " (" + std::string(kHost) + "); retrying\n";
    const size_t longest = 13 + ws::FailureReport::kErrorLength + end.size();
    if (out.rfind("wortsammler: Error: ", 0) != 0 || out.size() > longest ||
        out.compare(out.size() - end.size(), end.size(), end) != 0) {
      std::abort();
    }
    for (size_t i = 0; i + 1 < out.size(); ++i) {
      if (out[i] < ' ' || out[i] > '~') std::abort();
    }
    return;
  }
  const std::string start = "wortsammler: HTTP " + std::to_string(status->code);
  const size_t longest = start.size() + 1 + ws::FailureReport::kReasonLength + 200;
  if (out.rfind(start, 0) != 0 || out.size() > longest || out.back() != '\n') std::abort();
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] < ' ' || out[i] > '~') std::abort();
  }
}

// Checks the pause the fetch asked for after `refused` (null: no reply was refused).
void checkPause(milliseconds pause, const std::string* refused) {
  if (pause < milliseconds(0) || pause > ws::kLongestRetryAfter) std::abort();
  const std::optional<ws::StatusLine> status =
      refused ? ws::parseStatusLine(*refused) : std::nullopt;
  if (!status || (status->code != 429 && status->code != 503)) {
    if (pause != milliseconds(0)) std::abort();
    return;
  }
  const std::optional<seconds> most = ws::retryAfter(*refused, kEarliest);
  const std::optional<seconds> least = ws::retryAfter(*refused, kLatest);
  if (!most) {
    if (pause != milliseconds(0)) std::abort();
  } else if (pause < *least || pause > *most) {
    std::abort();
  }
}

std::string statusPrefix(const uint8_t* code) {
  return "HTTP/1.1 " + std::to_string(100 + ((code[0] << 8) | code[1]) % 900);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 5, size - 5);
  const size_t split = input.find('\0');
  std::string first = input.substr(0, split);
  std::string second;
  if (split != std::string::npos) {
    const size_t end = input.find('\0', split + 1);
    second = input.substr(split + 1, end == std::string::npos ? end : end - split - 1);
  }
  if (data[0] & 1) first = statusPrefix(data + 1) + first;
  if (data[0] & 2) second = statusPrefix(data + 3) + second;
  const std::string replies[] = {first, second};

  std::vector<std::string> paths;
  std::ostringstream out;
  ws::FailureReport report(out, std::string(kHost));
  ws::HttpsArticleSource source(
      std::string(kHost),
      [&](std::string_view path) {
        paths.emplace_back(path);
        return paths.size() <= 2 ? replies[paths.size() - 1] : std::string();
      },
      &report);
  std::string articlePath = "before";
  const std::string article = source.fetchRandomArticle(articlePath);

  const std::optional<ws::StatusLine> redirect = ws::parseStatusLine(first);
  const std::string cut =
      hasClass(redirect, 3) ? ws::cutArticlePath(first, kHost, ws::Transport::kTls) : "";
  if (articlePath != cut || paths.empty() || paths[0] != ws::kRandomPagePath) std::abort();
  if (cut.empty()) {
    if (paths.size() != 1 || !article.empty()) std::abort();
    const std::string* refused = hasClass(redirect, 3) ? nullptr : &first;
    checkReport(out.str(), refused);
    checkPause(source.requestedPause(), refused);
    return 0;
  }
  if (paths.size() != 2 || paths[1] != cut) std::abort();
  const bool accepted = hasClass(ws::parseStatusLine(second), 2);
  if (article != (accepted ? second : std::string())) std::abort();
  checkReport(out.str(), accepted ? nullptr : &second);
  checkPause(source.requestedPause(), accepted ? nullptr : &second);
  return 0;
}
