#include "net/article_fetch.h"

#include <utility>

#include "net/http_client.h"

namespace ws {
namespace {

constexpr std::string_view kMarkerStart = "Location: http://";
constexpr std::string_view kMarkerEnd = "/wiki/";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string locationMarker(std::string_view host) {
  std::string marker;
  marker.reserve(kMarkerStart.size() + host.size() + kMarkerEnd.size());
  marker.append(kMarkerStart).append(host).append(kMarkerEnd);
  return marker;
}

std::string cutArticlePath(std::string_view reply, std::string_view host) {
  const std::string marker = locationMarker(host);
  size_t line = reply.find(marker);
  if (line == std::string_view::npos) return {};
  size_t lineEnd = reply.find(kLineEnd, line + marker.size());
  if (lineEnd == std::string_view::npos) lineEnd = reply.size();
  // The path starts right after "Location: http://", the host and one "/", i.e. at "wiki/".
  size_t pathStart = line + kMarkerStart.size() + host.size() + 1;
  return std::string(reply.substr(pathStart, lineEnd - pathStart));
}

std::string fetchRandomArticle(std::string_view host, std::string& articlePath) {
  articlePath = kRandomPagePath;
  std::string redirect = httpGet(host, kRandomPagePath, {});
  articlePath = cutArticlePath(redirect, host);
  redirect = std::string();
  return httpGet(host, articlePath, {});
}

HttpArticleSource::HttpArticleSource(std::string host) : host_(std::move(host)) {}

std::string HttpArticleSource::fetchRandomArticle(std::string& articlePath) {
  return ws::fetchRandomArticle(host_, articlePath);
}

}  // namespace ws
