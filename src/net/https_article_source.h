// Articles fetched over HTTPS: the https build's article source.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/article_fetch.h"
#include "net/failure_report.h"
#include "net/https_client.h"

namespace ws {

// Both requests of a fetch go over TLS to one host with one extra header (the User-Agent
// line); the redirect is cut in the TLS Location form. The server's status is heeded: only a
// 3xx reply to the random page that carries the location marker leads to the article request,
// and only a 2xx reply to that is returned. Any other reply ends the fetch with the empty text,
// a page without text; a 429 or 503 with a Retry-After field sets requestedPause() to the wait it
// asks for (at most kLongestRetryAfter). Every failure and every refused status is noted in the
// failure report, at the time `now` gives (seconds; the run's clock, the steady clock unless
// given). LIFETIME: `report` (may be null: no report) must outlive the source.
class HttpsArticleSource : public ArticleSource {
 public:
  using Now = std::function<double()>;

  HttpsArticleSource(std::string host, TlsSettings settings, std::string extraHeaders,
                     FailureReport* report, Now now = {});
  // The same over `get` in place of the TLS client (a seam for tests).
  HttpsArticleSource(std::string host, PageGetter get, FailureReport* report);
  ~HttpsArticleSource() override;

  std::string fetchRandomArticle(std::string& articlePath) override;
  std::chrono::milliseconds requestedPause() const override { return pause_; }

 private:
  // One GET of `path`: the reply when its status class is `wantedClass`, nullopt (noted, and
  // the pause set when the server asks for one) otherwise.
  std::optional<std::string> request(std::string_view path, int wantedClass);

  std::string host_;
  std::unique_ptr<HttpsClient> client_;  // null when a getter was given
  PageGetter get_;
  FailureReport* report_;
  Now now_;
  std::chrono::milliseconds pause_{0};
};

}  // namespace ws
