#include "corpus.h"

#include <gtest/gtest.h>

#include <set>

#include "percent_coding.h"

namespace ws {
namespace {

TEST(Corpus, ParsesArticlesSectionsAndInfobox) {
  const Corpus c = Corpus::parse(
      "P stray paragraph before any title\n"
      "T Zeilenorientierter Texteditor\n"
      "I Befehl\ted\n"
      "P Einleitung.\n"
      "H Optionen\n"
      "L -h zeigt Hilfe\n"
      "P Schluss.\r\n"
      "T Bahnhof\n"
      "X unknown record\n"
      "P Wo geht es zum Bahnhof?\n");
  ASSERT_EQ(c.size(), 2u);
  const Article& ed = c.article(0);
  EXPECT_EQ(ed.title, "Zeilenorientierter Texteditor");
  ASSERT_EQ(ed.infobox.size(), 1u);
  EXPECT_EQ(ed.infobox[0].second, "ed");
  ASSERT_EQ(ed.sections.size(), 2u);
  EXPECT_EQ(ed.sections[0].heading, "");
  EXPECT_EQ(ed.sections[0].blocks.at(0).text, "Einleitung.");
  EXPECT_EQ(ed.sections[1].heading, "Optionen");
  EXPECT_EQ(ed.sections[1].blocks.at(0).kind, ArticleBlock::Kind::kListItem);
  EXPECT_EQ(ed.sections[1].blocks.at(1).text, "Schluss.");
  EXPECT_EQ(c.find("Bahnhof"), 1u);
  EXPECT_FALSE(c.find("bahnhof"));
}

TEST(Corpus, RepeatedTitleKeepsItsFirstArticle) {
  const Corpus c = Corpus::parse("T A\nP eins\nT A\nP zwei\nT B\nP drei\n");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c.article(0).sections.at(0).blocks.size(), 1u);
  EXPECT_EQ(c.article(1).title, "B");
  EXPECT_EQ(c.article(1).sections.at(0).blocks.at(0).text, "drei");
}

TEST(Corpus, LoadReportsMissingOrEmptyFiles) {
  std::string error;
  EXPECT_FALSE(Corpus::load("/nonexistent/corpus.txt", &error));
  EXPECT_NE(error.find("/nonexistent/corpus.txt"), std::string::npos);
}

// The corpus shipped with the server: big enough, German, and every title
// survives the trip through a URL.
TEST(Corpus, BundledCorpusIsLargeGermanAndAddressable) {
  std::string error;
  const auto corpus = Corpus::load(WS_TEST_ARTICLE_CORPUS, &error);
  ASSERT_TRUE(corpus) << error;
  EXPECT_GE(corpus->size(), 2000u);
  std::size_t paragraphBytes = 0;
  std::size_t umlautTitles = 0;
  for (std::size_t i = 0; i < corpus->size(); ++i) {
    const Article& a = corpus->article(i);
    for (const auto& s : a.sections) {
      for (const auto& b : s.blocks) {
        if (b.kind == ArticleBlock::Kind::kParagraph) paragraphBytes += b.text.size();
      }
    }
    if (a.title.find("\xC3\xA4") != std::string::npos ||
        a.title.find("\xC3\xB6") != std::string::npos ||
        a.title.find("\xC3\xBC") != std::string::npos) {
      ++umlautTitles;
    }
    const auto back = decodeTitle(encodeTitle(a.title));
    ASSERT_TRUE(back && *back == a.title) << a.title;
    ASSERT_EQ(corpus->find(a.title), i) << a.title;
  }
  EXPECT_GE(paragraphBytes, 5u * 1000 * 1000);
  EXPECT_GE(umlautTitles, 100u);
}

}  // namespace
}  // namespace ws
