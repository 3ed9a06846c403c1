#include "article_site.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "percent_coding.h"
#include "test_pages.h"

namespace ws {
namespace {

const Corpus& corpus() {
  static const Corpus c = Corpus::parse(
      "T München\nP Die Stadt an der Isar.\nH Geschichte\nP Gegründet 1158.\n"
      "T Bahnhof\nP Wo geht es zum Bahnhof?\n"
      "T Straße_mit Unterstrich\nP Ein Titel mit Unterstrich.\n"
      "T Zitronenfalter\nP Faltet keine Zitronen.\n");
  return c;
}

HttpRequest get(std::string target, std::string host = "lexikon.test:8080", int userAgents = 0) {
  return HttpRequest{"GET", std::move(target), "HTTP/1.0", std::move(host), userAgents};
}

std::string headerBlock(const std::string& reply) {
  return reply.substr(0, reply.find("\r\n\r\n"));
}
std::string body(const std::string& reply) {
  return reply.substr(reply.find("\r\n\r\n") + 4);
}

std::string locationOf(const std::string& reply) {
  const std::size_t at = reply.find("\r\nLocation: ");
  if (at == std::string::npos) return "";
  const std::size_t start = at + 12;
  return reply.substr(start, reply.find("\r\n", start) - start);
}

TEST(ArticleSite, RedirectNamesARandomArticleOnTheHostTheClientUsed) {
  ArticleSite site(corpus(), 1);
  const std::string reply =
      site.answer(get(std::string(kRandomArticleTarget)), "x:1", FaultMode::kNone).flatten();
  EXPECT_EQ(reply.rfind("HTTP/1.0 302 Found\r\n", 0), 0u);
  const std::string location = locationOf(reply);
  ASSERT_EQ(location.rfind("http://lexikon.test:8080/wiki/", 0), 0u) << reply;
  const auto title = decodeTitle(location.substr(30));
  ASSERT_TRUE(title);
  EXPECT_TRUE(corpus().find(*title)) << *title;
  EXPECT_EQ(ws::testing::paragraphsOf(reply).size(), 0u);
}

// The style that imitates the real server: lower-case header names everywhere, https
// redirects, and no answer but 403 without exactly one User-Agent line.
TEST(ArticleSite, StyledSiteImitatesTheRealServer) {
  ArticleSite plain(corpus(), 1);
  ArticleSite styled(
      corpus(), 1,
      {.lowerCaseHeaderNames = true, .requireUserAgent = true, .httpsLocations = true});
  const HttpRequest random = get(std::string(kRandomArticleTarget), "lexikon.test", 1);
  const std::string plainRedirect = plain.answer(random, "x:1", FaultMode::kNone).flatten();
  const std::string redirect = styled.answer(random, "x:1", FaultMode::kNone).flatten();
  const std::string title =
      locationOf(plainRedirect).substr(std::string("http://lexikon.test/wiki/").size());
  EXPECT_EQ(headerBlock(redirect),
            "HTTP/1.0 302 Found\r\nlocation: https://lexikon.test/wiki/" + title +
                "\r\ncontent-type: text/html; charset=UTF-8\r\n"
                "content-length: " +
                std::to_string(body(redirect).size()) + "\r\nconnection: close");
  EXPECT_NE(body(redirect).find("https://lexikon.test/wiki/"), std::string::npos);
  EXPECT_EQ(body(redirect).find("http://"), std::string::npos);

  const std::string page =
      styled.answer(get("/wiki/Bahnhof", "h", 1), "x:1", FaultMode::kNone).flatten();
  EXPECT_EQ(body(page),
            body(plain.answer(get("/wiki/Bahnhof"), "x:1", FaultMode::kNone).flatten()));
  EXPECT_NE(headerBlock(page).find("\r\ncontent-type: text/html"), std::string::npos);
  for (int agents : {0, 2}) {
    const std::string refused =
        styled.answer(get("/wiki/Bahnhof", "h", agents), "x:1", FaultMode::kNone).flatten();
    EXPECT_EQ(refused.rfind("HTTP/1.0 403 Forbidden\r\n", 0), 0u) << agents;
    // Its text stands in paragraphs, as on the real server's error pages.
    EXPECT_EQ(ws::testing::paragraphsOf(refused).size(), 2u);
  }
}

// After every N article pages one request is throttled; the sequence of articles goes on as if
// it had not been asked.
TEST(ArticleSite, ThrottleAnswersOne429AfterEveryNArticlesWithoutTouchingTheSequence) {
  ArticleSite plain(corpus(), 3);
  ArticleSite throttling(corpus(), 3,
                         {.lowerCaseHeaderNames = true, .throttleEvery = 2, .throttleSeconds = 7});
  const HttpRequest random = get(std::string(kRandomArticleTarget), "h");
  std::vector<std::string> statuses;
  for (int pass = 0; pass < 3; ++pass) {
    for (int article = 0; article < 2; ++article) {
      const std::string redirect = throttling.answer(random, "x:1", FaultMode::kNone).flatten();
      const std::string location =
          locationOf(plain.answer(random, "x:1", FaultMode::kNone).flatten());
      EXPECT_EQ(redirect.find("location: " + location + "\r\n"), redirect.find("\r\n") + 2);
      const HttpRequest page = get(location.substr(std::string("http://h").size()), "h");
      const std::string reply = throttling.answer(page, "x:1", FaultMode::kNone).flatten();
      statuses.push_back(reply.substr(0, reply.find("\r\n")));
      // A 404 is no article and moves nothing.
      if (article == 0) throttling.answer(get("/wiki/Gibt_es_nicht", "h"), "x:1", FaultMode::kNone);
    }
    const std::string refused = throttling.answer(random, "x:1", FaultMode::kNone).flatten();
    EXPECT_EQ(headerBlock(refused).rfind("HTTP/1.0 429 Too many requests\r\nretry-after: 7\r\n", 0),
              0u);
    EXPECT_EQ(ws::testing::paragraphsOf(refused).size(), 3u);
  }
  EXPECT_EQ(statuses, std::vector<std::string>(6, "HTTP/1.0 200 OK"));
}

TEST(ArticleSite, RedirectWithoutHostUsesTheServersOwnAddress) {
  ArticleSite site(corpus(), 1);
  const std::string reply =
      site.answer(get(std::string(kRandomArticleTarget), ""), "127.0.0.1:4711", FaultMode::kNone)
          .flatten();
  EXPECT_EQ(locationOf(reply).rfind("http://127.0.0.1:4711/wiki/", 0), 0u);
}

std::vector<std::string> redirects(std::uint64_t seed, int n) {
  ArticleSite site(corpus(), seed);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) {
    // Garbage replies in between must not disturb the sequence of articles.
    site.answer(get("/wiki/Bahnhof"), "h", FaultMode::kGarbage);
    out.push_back(locationOf(
        site.answer(get(std::string(kRandomArticleTarget)), "h", FaultMode::kNone).flatten()));
  }
  return out;
}

TEST(ArticleSite, SeedFixesTheSequenceOfArticles) {
  EXPECT_EQ(redirects(42, 20), redirects(42, 20));
  EXPECT_NE(redirects(42, 20), redirects(43, 20));
  const auto seq = redirects(42, 40);
  EXPECT_GT(std::set<std::string>(seq.begin(), seq.end()).size(), 2u);  // not stuck on one article
}

TEST(ArticleSite, ServesArticlesByEncodedTitle) {
  ArticleSite site(corpus(), 1);
  for (const char* title : {"München", "Straße_mit Unterstrich"}) {
    const std::string reply =
        site.answer(get("/wiki/" + encodeTitle(title)), "h", FaultMode::kNone).flatten();
    EXPECT_EQ(reply.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << title;
    EXPECT_NE(headerBlock(reply).find("Content-Length: " + std::to_string(body(reply).size())),
              std::string::npos);
    EXPECT_FALSE(ws::testing::paragraphsOf(reply).empty()) << title;
  }
  // The same article, asked with a query or as raw UTF-8.
  const std::string withQuery =
      site.answer(get("/wiki/M%C3%BCnchen?x=1"), "h", FaultMode::kNone).flatten();
  EXPECT_EQ(withQuery.rfind("HTTP/1.0 200 OK", 0), 0u);
}

TEST(ArticleSite, EverythingElseIsNotFoundWithoutParagraphs) {
  ArticleSite site(corpus(), 1);
  for (const char* target : {"/", "/wiki/", "/wiki/Unbekannt", "/wiki/%ZZ", "/w/index.php",
                             "/wiki/Spezial:Zuf%C3%A4llige_Seite/", "wiki/Bahnhof"}) {
    const std::string reply = site.answer(get(target), "h", FaultMode::kNone).flatten();
    EXPECT_EQ(reply.rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u) << target;
    EXPECT_EQ(reply.find("<p>"), std::string::npos) << target;
  }
  const std::string post =
      site.answer(HttpRequest{"POST", "/wiki/Bahnhof", "HTTP/1.0", "h"}, "h", FaultMode::kNone)
          .flatten();
  EXPECT_EQ(post.rfind("HTTP/1.0 501", 0), 0u);
  const std::string head =
      site.answer(HttpRequest{"HEAD", "/wiki/Bahnhof", "HTTP/1.0", "h"}, "h", FaultMode::kNone)
          .flatten();
  EXPECT_EQ(head.rfind("HTTP/1.0 200 OK", 0), 0u);
  EXPECT_EQ(body(head), "");
}

TEST(ArticleSite, LocationFaultsBreakExactlyWhatTheyName) {
  ArticleSite site(corpus(), 5);
  const HttpRequest r = get(std::string(kRandomArticleTarget));
  const std::string lower = site.answer(r, "h", FaultMode::kLowerCaseLocation).flatten();
  EXPECT_NE(lower.find("\r\nlocation: http://lexikon.test:8080/wiki/"), std::string::npos);
  EXPECT_EQ(lower.find("Location:"), std::string::npos);
  const std::string https = site.answer(r, "h", FaultMode::kHttpsLocation).flatten();
  EXPECT_EQ(locationOf(https).rfind("https://lexikon.test:8080/wiki/", 0), 0u);
  const std::string other = site.answer(r, "h", FaultMode::kOtherHost).flatten();
  EXPECT_EQ(locationOf(other).rfind("http://" + std::string(kOtherHostName) + "/wiki/", 0), 0u);
}

TEST(ArticleSite, ZeroByteStandsInsideTheBodyAndIsCounted) {
  ArticleSite site(corpus(), 1);
  const std::string reply = site.answer(get("/wiki/Bahnhof"), "h", FaultMode::kZeroByte).flatten();
  EXPECT_EQ(headerBlock(reply).find('\0'), std::string::npos);
  const std::string b = body(reply);
  const std::size_t zero = b.find('\0');
  ASSERT_NE(zero, std::string::npos);
  EXPECT_GT(zero, 0u);
  EXPECT_LT(zero, b.size() - 1);
  EXPECT_NE(headerBlock(reply).find("Content-Length: " + std::to_string(b.size())),
            std::string::npos);
}

TEST(ArticleSite, NoParagraphPageKeepsItsTextButNoParagraph) {
  ArticleSite site(corpus(), 1);
  const std::string reply =
      site.answer(get("/wiki/Bahnhof"), "h", FaultMode::kNoParagraphs).flatten();
  EXPECT_EQ(reply.rfind("HTTP/1.0 200 OK", 0), 0u);
  EXPECT_EQ(reply.find("<p>"), std::string::npos);
  EXPECT_NE(reply.find("Wo geht es zum Bahnhof?"), std::string::npos);
}

TEST(ArticleSite, HugeReplyIsAWellFormedPageOfFiftyMegabytes) {
  ArticleSite site(corpus(), 1);
  const Reply reply = site.answer(get("/wiki/M%C3%BCnchen"), "h", FaultMode::kHuge);
  ASSERT_GE(reply.size(), kHugeReplyBytes);
  EXPECT_LT(reply.size(), kHugeReplyBytes + (1u << 20));
  const std::size_t headEnd = reply.head.find("\r\n\r\n") + 4;
  EXPECT_NE(reply.head.find("Content-Length: " + std::to_string(reply.size() - headEnd)),
            std::string::npos);
  ASSERT_TRUE(reply.repeated);
  // The repeated block holds whole paragraphs, so every "<p>" has its "</p>".
  const auto& block = *reply.repeated;
  std::size_t opens = 0, closes = 0;
  for (std::size_t p = 0; (p = block.find("<p>", p)) != std::string::npos; ++p) ++opens;
  for (std::size_t p = 0; (p = block.find("</p>", p)) != std::string::npos; ++p) ++closes;
  EXPECT_GT(opens, 0u);
  EXPECT_EQ(opens, closes);
  EXPECT_NE(reply.tail.find("</html>"), std::string::npos);
}

TEST(ArticleSite, GarbageIsNoHttpReply) {
  ArticleSite site(corpus(), 1);
  const std::string reply = site.answer(get("/wiki/Bahnhof"), "h", FaultMode::kGarbage).flatten();
  EXPECT_GE(reply.size(), 1000u);
  EXPECT_NE(reply.rfind("HTTP/", 0), 0u);
}

}  // namespace
}  // namespace ws
