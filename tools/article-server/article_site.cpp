#include "article_site.h"

#include <memory>

#include "header_case.h"
#include "page_renderer.h"
#include "percent_coding.h"

namespace ws {

namespace {

Reply htmlReply(std::string_view status, std::string_view extraHeaders, std::string body) {
  Reply reply;
  reply.head =
      "HTTP/1.0 " + std::string(status) + "\r\n" + std::string(extraHeaders) +
      "Content-Type: text/html; charset=UTF-8\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nConnection: close\r\n\r\n" + body;
  return reply;
}

// Every "<p>" and "</p>" turned into a division, so nothing is a paragraph.
std::string withoutParagraphs(std::string page) {
  std::string out;
  out.reserve(page.size() + page.size() / 16);
  for (std::size_t i = 0; i < page.size();) {
    if (page.compare(i, 3, "<p>") == 0) {
      out += "<div class=\"absatz\">";
      i += 3;
    } else if (page.compare(i, 4, "</p>") == 0) {
      out += "</div>";
      i += 4;
    } else {
      out += page[i++];
    }
  }
  return out;
}

// Zero byte in the middle of the body of a reply held in head only.
void insertZeroByte(Reply& reply) {
  const std::size_t bodyStart = reply.head.find("\r\n\r\n");
  const std::size_t start = bodyStart == std::string::npos ? 0 : bodyStart + 4;
  const std::size_t at = start + (reply.head.size() - start) / 2;
  reply.head.insert(at, 1, '\0');
  // The length header must count the inserted byte.
  const std::string key = "Content-Length: ";
  const std::size_t k = reply.head.find(key);
  if (k != std::string::npos && k < start) {
    const std::size_t e = reply.head.find("\r\n", k);
    const std::uint64_t length = std::stoull(reply.head.substr(k + key.size(), e - k - key.size()));
    reply.head.replace(k + key.size(), e - k - key.size(), std::to_string(length + 1));
  }
}

}  // namespace

ArticleSite::ArticleSite(const Corpus& corpus, std::uint64_t seed, SiteStyle style)
    : corpus_(corpus), style_(style), random_(seed), garbageRandom_(seed ^ 0x5DEECE66DULL) {}

std::size_t ArticleSite::nextRandomArticle() {
  return static_cast<std::size_t>(random_() % corpus_.size());
}

Reply ArticleSite::badRequest() {
  return htmlReply("400 Bad Request", "",
                   "<!DOCTYPE html>\n<html><head><title>Fehlerhafte Anfrage</title></head>"
                   "<body><h1>Fehlerhafte Anfrage</h1></body></html>\n");
}

Reply ArticleSite::answer(const HttpRequest& request, std::string_view fallbackHost,
                          FaultMode fault) {
  if (fault == FaultMode::kGarbage) return garbage();
  if (style_.throttleEvery != 0 && articlesSinceThrottle_ >= style_.throttleEvery) {
    articlesSinceThrottle_ = 0;
    return throttled();
  }
  Reply reply = styledAnswer(request, fallbackHost, fault);
  if (reply.bytesAt(0).substr(0, 12).ends_with(" 200")) ++articlesSinceThrottle_;
  if (style_.lowerCaseHeaderNames) lowerCaseHeaderNames(reply.head);
  return reply;
}

Reply ArticleSite::throttled() const {
  return htmlReply(
      "429 Too many requests", "retry-after: " + std::to_string(style_.throttleSeconds) + "\r\n",
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Server "
      "Error</title></head>\n<body><div class=\"content\"><h1>Error</h1>\n"
      "<p>Our servers are currently under maintenance or experiencing a technical problem. "
      "Too many requests. Please try again in a few minutes.</p>\n"
      "<p>If you report this error to the operators, please include the details below.</p>\n"
      "<p>Request served via the stand-in, request number 1234567</p>\n</div></body></html>\n");
}

Reply ArticleSite::styledAnswer(const HttpRequest& request, std::string_view fallbackHost,
                                FaultMode fault) {
  Reply reply;
  if (style_.requireUserAgent && request.userAgents != 1) {
    return htmlReply("403 Forbidden", "",
                     "<!DOCTYPE html>\n<html><head><title>Zugriff verweigert</title></head><body>"
                     "<h1>Zugriff verweigert</h1><p>Anfragen ohne User-Agent werden nicht "
                     "beantwortet.</p><p>Bitte nennen Sie im User-Agent, wie man Sie erreicht."
                     "</p></body></html>\n");
  }
  if (request.method != "GET" && request.method != "HEAD") {
    reply = htmlReply("501 Not Implemented", "",
                      "<!DOCTYPE html>\n<html><head><title>Nicht unterstuetzt</title></head>"
                      "<body><h1>Methode nicht unterstuetzt</h1></body></html>\n");
  } else if (request.target == kRandomArticleTarget) {
    reply = redirect(request.host.empty() ? fallbackHost : std::string_view(request.host), fault);
  } else {
    std::optional<std::size_t> index;
    if (request.target.rfind("/wiki/", 0) == 0) {
      std::string_view segment = std::string_view(request.target).substr(6);
      segment = segment.substr(0, segment.find_first_of("?#"));
      if (const auto title = decodeTitle(segment)) index = corpus_.find(*title);
    }
    if (index && fault == FaultMode::kNone && request.method == "GET") {
      return cachedArticle(*index);
    }
    if (index) {
      reply = article(*index, fault);
      if (fault == FaultMode::kHuge) return reply;
    } else {
      reply = htmlReply("404 Not Found", "", renderNotFoundPage(request.target));
    }
  }
  if (fault == FaultMode::kZeroByte) insertZeroByte(reply);
  if (request.method == "HEAD") {
    reply.head.erase(reply.head.find("\r\n\r\n") + 4);
  }
  return reply;
}

Reply ArticleSite::redirect(std::string_view host, FaultMode fault) {
  const std::string title = encodeTitle(corpus_.article(nextRandomArticle()).title);
  const bool https = style_.httpsLocations || fault == FaultMode::kHttpsLocation;
  std::string scheme = https ? "https://" : "http://";
  std::string where =
      fault == FaultMode::kOtherHost ? std::string(kOtherHostName) : std::string(host);
  const std::string location = scheme + where + "/wiki/" + title;
  const std::string header = fault == FaultMode::kLowerCaseLocation ? "location: " : "Location: ";
  return htmlReply("302 Found", header + location + "\r\n", renderRedirectPage(location));
}

Reply ArticleSite::cachedArticle(std::size_t index) {
  if (pageCache_.size() != corpus_.size()) pageCache_.resize(corpus_.size());
  auto& cached = pageCache_[index];
  if (!cached) {
    std::string page = article(index, FaultMode::kNone).head;
    if (style_.lowerCaseHeaderNames) lowerCaseHeaderNames(page);
    cached = std::make_shared<const std::string>(std::move(page));
  }
  Reply reply;
  reply.repeated = cached;
  reply.repeatCount = 1;
  return reply;
}

Reply ArticleSite::article(std::size_t index, FaultMode fault) {
  std::string page = renderArticlePage(corpus_, index);
  if (fault == FaultMode::kNoParagraphs) page = withoutParagraphs(std::move(page));
  if (fault != FaultMode::kHuge) return htmlReply("200 OK", "", std::move(page));

  // The page's running text repeated until the reply reaches its size; the
  // repeated block holds whole paragraphs so the page stays well formed.
  const std::size_t bodyStart = page.find("<div id=\"inhalt\"");
  const std::size_t bodyEnd = page.rfind("<h2><span class=\"ueberschrift\" id=\"Weitere_Artikel\"");
  Reply reply;
  std::string block = page.substr(bodyStart, bodyEnd - bodyStart);
  std::string blockText;
  while (blockText.size() < 65536) blockText += block;
  reply.repeated = std::make_shared<const std::string>(std::move(blockText));
  std::string head = page.substr(0, bodyStart);
  reply.tail = page.substr(bodyEnd);
  const std::uint64_t blockSize = reply.repeated->size();
  reply.repeatCount = (kHugeReplyBytes + blockSize - 1) / blockSize;
  const std::uint64_t length = head.size() + blockSize * reply.repeatCount + reply.tail.size();
  reply.head = "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Length: " +
               std::to_string(length) + "\r\nConnection: close\r\n\r\n" + head;
  return reply;
}

Reply ArticleSite::garbage() {
  Reply reply;
  const std::size_t length = 1000 + static_cast<std::size_t>(garbageRandom_() % 64000);
  reply.head.resize(length);
  for (char& c : reply.head) c = static_cast<char>(garbageRandom_() & 0xFF);
  return reply;
}

}  // namespace ws
