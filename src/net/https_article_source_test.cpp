#include "net/https_article_source.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "net/get_request.h"

namespace ws {
namespace {

using std::chrono::milliseconds;

constexpr const char* kHost = "127.0.0.1:8443";
constexpr const char* kRedirect =
    "HTTP/1.1 302 Found\r\nlocation: https://127.0.0.1:8443/wiki/M%C3%BCnchen\r\n\r\n";
constexpr const char* kArticle = "HTTP/1.1 200 OK\r\n\r\n<p>Stadt</p>";
// What the real server's front end sends a client that asks too often.
constexpr const char* kThrottled =
    "HTTP/1.1 429 Too many requests\r\nretry-after: 120\r\ncontent-type: text/html\r\n\r\n"
    "<html><body><p>Too many requests</p><p>If you report this error, quote this.</p>";

// Answers each request with the next scripted reply and remembers the request bytes.
class ScriptedServer {
 public:
  explicit ScriptedServer(std::vector<std::string> replies)
      : replies_(replies.begin(), replies.end()) {}
  PageGetter getter(const std::string& agent = {}) {
    return [this, agent](std::string_view path) {
      requests.push_back(buildGetRequest(kHost, path, agent));
      std::string reply = replies_.empty() ? std::string() : replies_.front();
      if (!replies_.empty()) replies_.pop_front();
      return reply;
    };
  }
  std::vector<std::string> requests;

 private:
  std::deque<std::string> replies_;
};

// Both requests carry the User-Agent line once, after the three lines of the plain request, and
// the https redirect in lower case names the article.
TEST(HttpsArticleSource, SendsTheUserAgentLineAndFollowsTheLowerCaseHttpsRedirect) {
  ScriptedServer server({kRedirect, kArticle});
  const std::string agent = userAgentHeader("wortsammler/0.1.0 (https://example.org/kontakt)");
  HttpsArticleSource source(kHost, server.getter(agent), nullptr);
  std::string articlePath;
  EXPECT_EQ(source.fetchRandomArticle(articlePath), kArticle);
  EXPECT_EQ(articlePath, "wiki/M%C3%BCnchen");
  EXPECT_EQ(source.requestedPause(), milliseconds(0));
  const std::string lines =
      "Host: 127.0.0.1:8443\r\nConnection: close\r\n"
      "User-Agent: wortsammler/0.1.0 (https://example.org/kontakt)\r\n\r\n";
  EXPECT_EQ(server.requests,
            (std::vector<std::string>{"GET /wiki/Spezial:Zuf%C3%A4llige_Seite HTTP/1.0\r\n" + lines,
                                      "GET /wiki/M%C3%BCnchen HTTP/1.0\r\n" + lines}));
}

TEST(HttpsArticleSource, OnlyARedirectWithTheMarkerLeadsOnAndOnlyA2xxArticleIsReturned) {
  const std::string markerInA200 =
      "HTTP/1.1 200 OK\r\nlocation: https://127.0.0.1:8443/wiki/X\r\n\r\n<p>Hauptseite</p>";
  const std::string redirectElsewhere =
      "HTTP/1.1 302 Found\r\nlocation: https://anderer-server.invalid/wiki/X\r\n\r\n";
  for (const std::string& first :
       {markerInA200, redirectElsewhere, std::string(kThrottled), std::string("garbage <p>x</p>"),
        std::string("Error: Couldn't connect to host"), std::string()}) {
    ScriptedServer server({first, kArticle});
    HttpsArticleSource source(kHost, server.getter(), nullptr);
    std::string articlePath;
    EXPECT_EQ(source.fetchRandomArticle(articlePath), "") << first;
    EXPECT_EQ(articlePath, "") << first;
    EXPECT_EQ(server.requests.size(), 1u) << first;  // no second request
  }
  for (const std::string& second :
       {std::string(kThrottled), std::string("HTTP/1.1 404 Not Found\r\n\r\n<p>Fehlt</p>"),
        std::string("HTTP/1.1 301 Moved\r\n\r\n<p>x</p>"), std::string("<p>no status</p>")}) {
    ScriptedServer server({kRedirect, second});
    HttpsArticleSource source(kHost, server.getter(), nullptr);
    std::string articlePath;
    EXPECT_EQ(source.fetchRandomArticle(articlePath), "") << second;
    EXPECT_EQ(articlePath, "wiki/M%C3%BCnchen");
    EXPECT_EQ(server.requests.size(), 2u);
  }
}

TEST(HttpsArticleSource, A429Or503AsksForItsRetryAfterAndIsReported) {
  std::ostringstream out;
  FailureReport report(out, "127.0.0.1:8443");
  ScriptedServer server(
      {kThrottled, kRedirect, "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 7\r\n\r\n",
       kRedirect, "HTTP/1.1 429 Too many requests\r\nRetry-After: soon\r\n\r\n", kRedirect,
       "HTTP/1.1 500 Internal Server Error\r\nRetry-After: 9\r\n\r\n", kRedirect, kArticle});
  HttpsArticleSource source(kHost, server.getter(), &report);
  std::string path;
  const std::vector<milliseconds> expected{milliseconds(120000), milliseconds(7000),
                                           milliseconds(0), milliseconds(0), milliseconds(0)};
  for (const milliseconds pause : expected) {
    source.fetchRandomArticle(path);
    EXPECT_EQ(source.requestedPause(), pause);
  }
  EXPECT_EQ(path, "wiki/M%C3%BCnchen");
  EXPECT_EQ(out.str(),
            "wortsammler: HTTP 429 Too many requests from 127.0.0.1:8443; waiting 120 s "
            "(Retry-After)\n"
            "wortsammler: HTTP 503 Service Unavailable from 127.0.0.1:8443; waiting 7 s "
            "(Retry-After)\n"
            "wortsammler: HTTP 500 Internal Server Error from 127.0.0.1:8443; backing off\n");
}

}  // namespace
}  // namespace ws
