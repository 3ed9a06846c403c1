#include "net/article_fetch.h"

#include <utility>

#include "net/http_client.h"

namespace ws {

std::string fetchRandomArticle(std::string_view host, Transport transport, const PageGetter& get,
                               std::string& articlePath) {
  articlePath = kRandomPagePath;
  std::string redirect = get(kRandomPagePath);
  articlePath = cutArticlePath(redirect, host, transport);
  redirect = std::string();
  return get(articlePath);
}

std::string fetchRandomArticle(std::string_view host, std::string& articlePath) {
  return fetchRandomArticle(
      host, Transport::kPlain, [host](std::string_view path) { return httpGet(host, path, {}); },
      articlePath);
}

HttpArticleSource::HttpArticleSource(std::string host) : host_(std::move(host)) {}

std::string HttpArticleSource::fetchRandomArticle(std::string& articlePath) {
  return ws::fetchRandomArticle(host_, articlePath);
}

}  // namespace ws
