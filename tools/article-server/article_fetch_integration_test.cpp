// The crawler's article source against the stand-in server: redirect, path
// cut, second request and paragraph extraction over real loopback sockets.

#include <gtest/gtest.h>

#include <string>

#include "article_site.h"
#include "corpus.h"
#include "net/article_fetch.h"
#include "net/http_client.h"
#include "net/paragraph_text.h"
#include "page_renderer.h"
#include "percent_coding.h"
#include "testkit/server_process.h"

namespace ws {
namespace {

using testkit::ServerProcess;

const Corpus& bundledCorpus() {
  static const Corpus corpus = [] {
    std::string error;
    auto c = Corpus::load(WS_TEST_ARTICLE_CORPUS, &error);
    return c ? std::move(*c) : Corpus();
  }();
  return corpus;
}

std::string paragraphText(std::string page) {
  extractParagraphText(page);
  return page;
}

TEST(ArticleFetch, FetchesTheArticleTheRedirectNames) {
  ASSERT_GT(bundledCorpus().size(), 0u);
  ServerProcess server({"--seed", "2024"});
  ASSERT_TRUE(server.ok()) << server.startError();
  bool sawEncodedTitle = false;
  for (int i = 0; i < 60; ++i) {
    std::string articlePath;
    const std::string reply = fetchRandomArticle(server.hostAndPort(), articlePath);
    ASSERT_EQ(articlePath.rfind("wiki/", 0), 0u) << articlePath;
    const auto title = decodeTitle(articlePath.substr(5));
    ASSERT_TRUE(title) << articlePath;
    const auto index = bundledCorpus().find(*title);
    ASSERT_TRUE(index) << *title;
    sawEncodedTitle |= articlePath.find("%C3") != std::string::npos;
    // The page is the rendering of exactly that article, so the text the
    // crawler counts is known in advance.
    const std::string expected = paragraphText(renderArticlePage(bundledCorpus(), *index));
    EXPECT_FALSE(expected.empty()) << *title;
    EXPECT_EQ(paragraphText(reply), expected) << *title;
  }
  EXPECT_TRUE(sawEncodedTitle);  // umlaut titles travel percent-encoded and still arrive
}

TEST(ArticleFetch, LocationsOfTheWrongFormLeadToTheRootPage) {
  for (const char* fault : {"lowercase", "https", "otherhost"}) {
    ServerProcess server({"--fault", fault});
    ASSERT_TRUE(server.ok()) << server.startError();
    std::string articlePath = "unchanged";
    const std::string reply = fetchRandomArticle(server.hostAndPort(), articlePath);
    EXPECT_EQ(articlePath, "") << fault;
    EXPECT_EQ(reply.rfind("HTTP/1.0 404 Not Found", 0), 0u) << fault;  // "GET / HTTP/1.0"
    EXPECT_EQ(paragraphText(reply), "") << fault;
  }
}

TEST(ArticleFetch, FailuresBecomeTextsWithoutParagraphs) {
  {
    ServerProcess server({"--fault", "refuse"});
    std::string articlePath;
    EXPECT_EQ(fetchRandomArticle(server.hostAndPort(), articlePath), kConnectErrorText);
    EXPECT_EQ(articlePath, "");
  }
  {
    ServerProcess server({"--fault", "close"});
    std::string articlePath;
    EXPECT_EQ(fetchRandomArticle(server.hostAndPort(), articlePath), "");
  }
  {
    ServerProcess server({"--fault", "garbage"});
    std::string articlePath;
    const std::string reply = fetchRandomArticle(server.hostAndPort(), articlePath);
    EXPECT_EQ(reply.find('\0'), std::string::npos);
  }
}

TEST(ArticleFetch, ZeroByteCostsTheRestOfItsBlockOnly) {
  ServerProcess clean({"--seed", "9"});
  ServerProcess faulty({"--seed", "9", "--fault", "zero:2"});
  std::string cleanPath, faultyPath;
  const std::string whole = fetchRandomArticle(clean.hostAndPort(), cleanPath);
  const std::string cut = fetchRandomArticle(faulty.hostAndPort(), faultyPath);
  ASSERT_EQ(cleanPath, faultyPath);  // the redirect (connection 1) is fault-free
  EXPECT_EQ(cut.find('\0'), std::string::npos);
  EXPECT_LT(cut.size(), whole.size() - 1);
  // Up to the zero byte the page is the same (the length header counts the zero byte).
  const std::string wholeBody = whole.substr(whole.find("\r\n\r\n"));
  const std::string cutBody = cut.substr(cut.find("\r\n\r\n"));
  EXPECT_EQ(wholeBody.substr(0, 1000), cutBody.substr(0, 1000));
}

}  // namespace
}  // namespace ws
