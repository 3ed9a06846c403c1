#include "net/article_fetch.h"

#include <gtest/gtest.h>

#include "net/test_server.h"

namespace ws {
namespace {

using testing::LoopbackServer;

std::string requestFor(const std::string& host, const std::string& path) {
  return "GET /" + path + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
}

std::string redirectTo(const std::string& location) {
  return "HTTP/1.0 302 Found\r\nServer: stand-in\r\nLocation: " + location +
         "\r\nContent-Length: 0\r\n\r\n";
}

class FetchRandomArticleTest : public ::testing::Test {
 protected:
  // The server answers the first request with `firstReply` and the second with a page.
  void serve(const std::string& firstReply) {
    server_.setReplies({{.chunks = {firstReply}}, {.chunks = {kPage}}});
  }
  std::string locationHeader(const std::string& title) const {
    return redirectTo("http://" + server_.host() + "/wiki/" + title);
  }
  std::vector<std::string> requestLines() const {
    std::vector<std::string> lines;
    for (const std::string& request : server_.requests()) {
      lines.push_back(request.substr(0, request.find("\r\n")));
    }
    return lines;
  }

  static constexpr const char* kPage = "HTTP/1.0 200 OK\r\n\r\n<p>Stadt</p>";
  LoopbackServer server_;
  HttpArticleSource source_{server_.host()};
  std::string articlePath_ = "unchanged";
};

TEST_F(FetchRandomArticleTest, RequestsTheArticleNamedByTheRedirect) {
  serve(locationHeader("M%C3%BCnchen"));
  EXPECT_EQ(source_.fetchRandomArticle(articlePath_), kPage);
  EXPECT_EQ(articlePath_, "wiki/M%C3%BCnchen");
  ASSERT_EQ(server_.requests().size(), 2u);
  EXPECT_EQ(server_.requests()[0], requestFor(server_.host(), "wiki/Spezial:Zuf%C3%A4llige_Seite"));
  EXPECT_EQ(server_.requests()[1], requestFor(server_.host(), "wiki/M%C3%BCnchen"));
}

TEST_F(FetchRandomArticleTest, FirstOfTwoMarkersWins) {
  serve(locationHeader("Heidelberg") + "Location: http://" + server_.host() + "/wiki/Mannheim\r\n");
  source_.fetchRandomArticle(articlePath_);
  EXPECT_EQ(articlePath_, "wiki/Heidelberg");
  EXPECT_EQ(requestLines().back(), "GET /wiki/Heidelberg HTTP/1.0");
}

TEST_F(FetchRandomArticleTest, MissingMarkerLeadsToARequestForTheRoot) {
  std::string lowerCase = locationHeader("Heidelberg");
  lowerCase[lowerCase.find("Location")] = 'l';
  serve(lowerCase);
  EXPECT_EQ(source_.fetchRandomArticle(articlePath_), kPage);
  EXPECT_EQ(articlePath_, "");
  EXPECT_EQ(requestLines(),
            (std::vector<std::string>{"GET /wiki/Spezial:Zuf%C3%A4llige_Seite HTTP/1.0",
                                      "GET / HTTP/1.0"}));
}

TEST_F(FetchRandomArticleTest, ErrorTextOfTheFirstRequestLeadsToARequestForTheRoot) {
  // The server never answers the first request: it receives only the second.
  HttpArticleSource unreachable("127.0.0.1:" + std::to_string(testing::closedLoopbackPort()));
  EXPECT_EQ(unreachable.fetchRandomArticle(articlePath_), "Error: Couldn't connect to host");
  EXPECT_EQ(articlePath_, "");
  // Same flow when the first reply is itself an error text.
  serve("Error: Couldn't connect to host");
  EXPECT_EQ(source_.fetchRandomArticle(articlePath_), kPage);
  EXPECT_EQ(requestLines().back(), "GET / HTTP/1.0");
}

}  // namespace
}  // namespace ws
