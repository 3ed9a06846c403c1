// Fetching one random article from the ArticleServer.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "net/location_cut.h"
#include "net/transport.h"

namespace ws {

// The server's random-page path, already percent-encoded and without a leading "/".
inline constexpr std::string_view kRandomPagePath = "wiki/Spezial:Zuf%C3%A4llige_Seite";

// One GET of `path` (no leading "/") from the fetch's server: the raw reply or an error text.
using PageGetter = std::function<std::string(std::string_view path)>;

// Requests the random page with httpGet (no extra headers), cuts the article path out of the
// redirect (see location_cut.h) into `articlePath` (empty when there is none) and returns the raw
// reply of the request for that path (the request for "/" when it is empty), or an error text.
// `articlePath` holds kRandomPagePath while the first request runs.
std::string fetchRandomArticle(std::string_view host, std::string& articlePath);

// Where the crawl loop gets its articles from.
class ArticleSource {
 public:
  virtual ~ArticleSource() = default;
  // Returns the raw reply (or an error text) of one random article and sets `articlePath`
  // to its path, as fetchRandomArticle does.
  virtual std::string fetchRandomArticle(std::string& articlePath) = 0;
  // The least time the server asked the client to wait, from the end of the last fetch, before
  // it asks again; zero when it asked for nothing and the caller's own pacing applies.
  virtual std::chrono::milliseconds requestedPause() const { return {}; }
};

// Articles fetched over HTTP from one host.
class HttpArticleSource : public ArticleSource {
 public:
  explicit HttpArticleSource(std::string host);
  std::string fetchRandomArticle(std::string& articlePath) override;
  const std::string& host() const { return host_; }

 private:
  std::string host_;
};

}  // namespace ws
