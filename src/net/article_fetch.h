// Fetching one random article from the ArticleServer.
#pragma once

#include <string>
#include <string_view>

namespace ws {

// The server's random-page path, already percent-encoded and without a leading "/".
inline constexpr std::string_view kRandomPagePath = "wiki/Spezial:Zuf%C3%A4llige_Seite";

// "Location: http://" + host + "/wiki/", matched byte for byte (case included).
std::string locationMarker(std::string_view host);

// The article path named by the first location marker of `reply`: everything from "wiki/"
// up to (not including) the first CR LF after the marker, or to the end of the reply when no
// CR LF follows. Empty when the reply holds no marker. The title stays percent-encoded.
std::string cutArticlePath(std::string_view reply, std::string_view host);

// Requests the random page from `host`, cuts the article path out of the redirect into
// `articlePath` (empty when there is none) and returns the raw reply of the request for that
// path (the request for "/" when it is empty), or an error text of httpGet. `articlePath`
// holds kRandomPagePath while the first request runs.
std::string fetchRandomArticle(std::string_view host, std::string& articlePath);

// Where the crawl loop gets its articles from.
class ArticleSource {
 public:
  virtual ~ArticleSource() = default;
  // Returns the raw reply (or an error text) of one random article and sets `articlePath`
  // to its path, as fetchRandomArticle does.
  virtual std::string fetchRandomArticle(std::string& articlePath) = 0;
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
