#pragma once
// What the stand-in server answers: the random-article redirect, article
// pages, the not-found page, and the content faults applied to them.

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "corpus.h"
#include "fault_plan.h"
#include "http_request.h"
#include "reply.h"

namespace ws {

// The address whose GET answers with a redirect to a random article.
inline constexpr std::string_view kRandomArticleTarget = "/wiki/Spezial:Zuf%C3%A4llige_Seite";
// Size of the reply sent for FaultMode::kHuge (at least this many bytes).
inline constexpr std::uint64_t kHugeReplyBytes = 50ull * 1024 * 1024;
// The host named by FaultMode::kOtherHost.
inline constexpr std::string_view kOtherHostName = "anderer-server.invalid";

// How the site imitates the real encyclopedia's server (all off: the plain stand-in).
struct SiteStyle {
  bool lowerCaseHeaderNames = false;  // every header name of every reply in lower case
  bool requireUserAgent = false;      // 403 for a request without exactly one User-Agent line
  bool httpsLocations = false;        // redirects name https://<host>/wiki/...
  // After every throttleEvery article pages served (0: never), the next request is answered
  // "429 Too many requests" with "retry-after: throttleSeconds" and an error page whose text
  // stands in "<p>" paragraphs, as the real server's front end throttles.
  std::uint32_t throttleEvery = 0;
  std::uint32_t throttleSeconds = 1;
};

class ArticleSite {
 public:
  // The corpus must outlive the site. The seed fixes the sequence of random articles.
  // REQUIRES: corpus.size() > 0.
  ArticleSite(const Corpus& corpus, std::uint64_t seed, SiteStyle style = {});

  // The reply to one request. fallbackHost is written into a redirect when the
  // request named no usable host. Content faults (zero byte, location faults,
  // huge, no paragraphs, garbage) are applied here; delivery faults are not.
  Reply answer(const HttpRequest& request, std::string_view fallbackHost, FaultMode fault);

  // The 400 reply for a request that could not be read.
  static Reply badRequest();

  // Index of the next random article (advances the sequence).
  std::size_t nextRandomArticle();

  const Corpus& corpus() const { return corpus_; }

 private:
  Reply styledAnswer(const HttpRequest& request, std::string_view fallbackHost, FaultMode fault);
  Reply redirect(std::string_view host, FaultMode fault);
  Reply article(std::size_t index, FaultMode fault);
  // The fault-free reply for an article, rendered once and then shared.
  Reply cachedArticle(std::size_t index);
  Reply garbage();
  // The 429 reply of the throttle.
  Reply throttled() const;

  const Corpus& corpus_;
  SiteStyle style_;
  std::mt19937_64 random_;         // the sequence of random articles only
  std::mt19937_64 garbageRandom_;  // garbage replies draw from their own sequence
  std::vector<std::shared_ptr<const std::string>> pageCache_;  // by article index
  std::uint32_t articlesSinceThrottle_ = 0;
};

}  // namespace ws
