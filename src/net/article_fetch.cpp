#include "net/article_fetch.h"

#include <utility>

#include "net/http_client.h"

namespace ws {

std::string fetchRandomArticle(std::string_view host, std::string& articlePath) {
  articlePath = kRandomPagePath;
  std::string redirect = httpGet(host, kRandomPagePath, {});
  articlePath = cutArticlePath(redirect, host, Transport::kPlain);
  redirect = std::string();
  return httpGet(host, articlePath, {});
}

HttpArticleSource::HttpArticleSource(std::string host) : host_(std::move(host)) {}

std::string HttpArticleSource::fetchRandomArticle(std::string& articlePath) {
  return ws::fetchRandomArticle(host_, articlePath);
}

}  // namespace ws
