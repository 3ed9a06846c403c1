#include "page_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "test_pages.h"

namespace ws {
namespace {

using ws::testing::paragraphsOf;
using ws::testing::withoutTags;

Corpus sampleCorpus() {
  return Corpus::parse(
      "T Über Bahnhöfe\n"
      "I Sammlung\tbahnhof\n"
      "P Ein Mensch in einer fremden Stadt fragt: Wissen Sie, wo es zum Bahnhof geht?\n"
      "P Wenn a < b & c > d gilt, dann \"stimmt\" etwas nicht.\n"
      "P Erste Zeile\x7fZweite Zeile\x7f"
      "Dritte Zeile\n"
      "H Geschichte\n"
      "P Im Jahr 1835 fuhr die erste Eisenbahn zwischen Nürnberg und Fürth.\n"
      "L Ein Listenpunkt\n"
      "H Bahnhöfe in Städten\n"
      "P Große Städte haben viele Bahnhöfe.\n"
      "H Literatur\n"
      "P Darüber gibt es viele Bücher.\n"
      "T Zweiter Artikel\n"
      "P Noch ein Absatz.\n");
}

TEST(PageRenderer, SameArticleGivesTheSameBytes) {
  const Corpus c = sampleCorpus();
  EXPECT_EQ(renderArticlePage(c, 0), renderArticlePage(c, 0));
  EXPECT_NE(renderArticlePage(c, 0), renderArticlePage(c, 1));
}

TEST(PageRenderer, ArticleHasTheShapeOfAnEncyclopediaPage) {
  const Corpus c = sampleCorpus();
  const std::string page = renderArticlePage(c, 0);
  for (const char* part :
       {"<!DOCTYPE html>", "<head>", "<script>", "<style>", "id=\"navigation\"", "<h1",
        "class=\"infobox\"", "id=\"toc\"", "<h2>", "<ul>", "<li>", "<P>", "</html>"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  EXPECT_NE(page.find("Über Bahnhöfe"), std::string::npos);
  EXPECT_NE(page.find("1835&nbsp;fuhr"), std::string::npos);
  // List items are lists, never paragraphs.
  EXPECT_NE(page.find("<li>Ein Listenpunkt</li>"), std::string::npos);
}

// Inline markup only wraps the corpus text: with tags, reference marks,
// no-break spaces and verse breaks taken away, each plain paragraph is
// exactly a corpus paragraph (HTML-escaped).
std::string normalised(const std::string& paragraph) {
  std::string text = withoutTags(paragraph);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '[') {
      std::size_t j = i + 1;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      if (j > i + 1 && j < text.size() && text[j] == ']') {
        i = j;
        continue;
      }
    }
    if (text.compare(i, 6, "&nbsp;") == 0) {
      out += ' ';
      i += 5;
      continue;
    }
    if (text[i] != '\n') out += text[i];
  }
  return out;
}

TEST(PageRenderer, ParagraphsCarryExactlyTheCorpusText) {
  const Corpus c = sampleCorpus();
  std::set<std::string> expected;
  for (const auto& s : c.article(0).sections) {
    for (const auto& b : s.blocks) {
      std::string text = escapeHtml(b.text);
      std::erase(text, '\x7f');
      if (b.kind == ArticleBlock::Kind::kParagraph) expected.insert(text);
    }
  }
  const std::string page = renderArticlePage(c, 0);
  EXPECT_NE(page.find("a &lt; b &amp; c &gt; d"), std::string::npos);
  EXPECT_NE(page.find("<br />\n"), std::string::npos);  // verse keeps its line ends
  const auto paragraphs = paragraphsOf(page);
  ASSERT_GE(paragraphs.size(), 3u);
  for (const auto& p : paragraphs) {
    EXPECT_EQ(expected.count(normalised(p)), 1u) << p << "\n=> " << normalised(p);
  }
}

TEST(PageRenderer, PagesWithoutArticlesHaveNoParagraphs) {
  const std::string missing = renderNotFoundPage("/wiki/<p>Nichts</p>");
  EXPECT_EQ(missing.find("<p>"), std::string::npos);
  EXPECT_NE(missing.find("&lt;p&gt;Nichts"), std::string::npos);
  const std::string moved = renderRedirectPage("http://h/wiki/A\"<p>");
  EXPECT_EQ(moved.find("<p>"), std::string::npos);
}

// Over the bundled corpus, pages mix the markup a reader must cope with.
TEST(PageRenderer, BundledPagesCarryTheInlineMarkupAReaderMustSkip) {
  std::string error;
  const auto corpus = Corpus::load(WS_TEST_ARTICLE_CORPUS, &error);
  ASSERT_TRUE(corpus) << error;
  std::size_t withLinks = 0, withSup = 0, withClassP = 0, withEntity = 0, withParagraphs = 0;
  const std::size_t n = std::min<std::size_t>(corpus->size(), 300);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string page = renderArticlePage(*corpus, i);
    const auto paragraphs = paragraphsOf(page);
    withParagraphs += paragraphs.empty() ? 0 : 1;
    std::string joined;
    for (const auto& p : paragraphs) joined += p;
    withLinks += joined.find("<a href=\"/wiki/") != std::string::npos;
    withSup += joined.find("<sup") != std::string::npos;
    withEntity +=
        joined.find("&amp;") != std::string::npos || joined.find("&nbsp;") != std::string::npos;
    withClassP += page.find("<p class=") != std::string::npos;
  }
  EXPECT_GE(withParagraphs, n * 9 / 10);
  EXPECT_GE(withLinks, n / 2);
  EXPECT_GE(withSup, n / 4);
  EXPECT_GE(withEntity, n / 10);
  EXPECT_GE(withClassP, n / 4);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The saved pages other tests read are what the renderer produces today.
TEST(PageRenderer, SavedPagesMatchTheRenderer) {
  std::string error;
  const auto corpus = Corpus::load(WS_TEST_ARTICLE_CORPUS, &error);
  ASSERT_TRUE(corpus) << error;
  for (const auto& [file, title] :
       {std::pair{"article_ed.http", "Zeilenorientierter Texteditor"},
        std::pair{"article_disketten.http", "Disketten-Ger\xC3\xA4te"}}) {
    const std::string saved = readFile(std::string(WS_TEST_ARTICLE_TESTDATA) + "/" + file);
    const std::size_t bodyAt = saved.find("\r\n\r\n");
    ASSERT_NE(bodyAt, std::string::npos) << file;
    const auto index = corpus->find(title);
    ASSERT_TRUE(index) << title;
    EXPECT_TRUE(saved.substr(bodyAt + 4) == renderArticlePage(*corpus, *index)) << file;
  }
}

}  // namespace
}  // namespace ws
