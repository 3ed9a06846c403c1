#include "net/https_article_source.h"

#include <ctime>
#include <utility>

#include "net/location_cut.h"
#include "net/reply_head.h"
#include "net/retry_after.h"

namespace ws {
namespace {

constexpr int kRedirectClass = 3;
constexpr int kSuccessClass = 2;
constexpr int kTooManyRequests = 429;
constexpr int kServiceUnavailable = 503;

double steadySeconds() {
  using Seconds = std::chrono::duration<double>;
  return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

HttpsArticleSource::HttpsArticleSource(std::string host, TlsSettings settings,
                                       std::string extraHeaders, FailureReport* report, Now now)
    : HttpsArticleSource(std::move(host), PageGetter(), report) {
  if (now) now_ = std::move(now);
  client_ = std::make_unique<HttpsClient>(std::move(settings));
  get_ = [this, extraHeaders = std::move(extraHeaders)](std::string_view path) {
    return client_->get(host_, path, extraHeaders);
  };
}

HttpsArticleSource::HttpsArticleSource(std::string host, PageGetter get, FailureReport* report)
    : host_(std::move(host)), get_(std::move(get)), report_(report), now_(steadySeconds) {}

HttpsArticleSource::~HttpsArticleSource() = default;

std::string HttpsArticleSource::fetchRandomArticle(std::string& articlePath) {
  pause_ = {};
  articlePath = kRandomPagePath;
  std::optional<std::string> redirect = request(kRandomPagePath, kRedirectClass);
  articlePath = redirect ? cutArticlePath(*redirect, host_, Transport::kTls) : std::string();
  if (articlePath.empty()) return {};
  redirect.reset();
  return request(articlePath, kSuccessClass).value_or(std::string());
}

std::optional<std::string> HttpsArticleSource::request(std::string_view path, int wantedClass) {
  std::string reply = get_(path);
  const double now = now_();
  const std::optional<StatusLine> status = parseStatusLine(reply);
  if (!status) {
    if (report_ != nullptr) report_->note(reply, now);
    return std::nullopt;
  }
  if (status->code / 100 == wantedClass) return reply;
  std::optional<std::chrono::seconds> wait;
  if (status->code == kTooManyRequests || status->code == kServiceUnavailable) {
    wait = retryAfter(reply, std::time(nullptr));
    if (wait) pause_ = *wait;
  }
  if (report_ != nullptr) report_->noteRefusal(*status, wait, now);
  return std::nullopt;
}

}  // namespace ws
