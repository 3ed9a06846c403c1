#pragma once
// The article corpus the stand-in server answers from: German articles with a
// title, an infobox and sections of paragraphs and list items.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ws {

struct ArticleBlock {
  enum class Kind { kParagraph, kListItem };
  Kind kind = Kind::kParagraph;
  std::string text;  // UTF-8, no CR or LF; 0x7F marks a line break inside verse
};

struct ArticleSection {
  std::string heading;  // empty for the lead section
  std::vector<ArticleBlock> blocks;
};

struct Article {
  std::string title;  // unique within the corpus, UTF-8
  std::vector<std::pair<std::string, std::string>> infobox;
  std::vector<ArticleSection> sections;
};

// An immutable set of articles, looked up by index or by exact title.
class Corpus {
 public:
  // Parses the line format written by tools/corpus/build_corpus.py:
  //   "T title", "I key<TAB>value", "H heading", "P text", "L text".
  // Lines of unknown kind and records before the first "T" are ignored; a
  // repeated title keeps its first article.
  static Corpus parse(std::string_view text);
  // Reads and parses a corpus file; nullopt (and *error set) if unreadable or empty.
  static std::optional<Corpus> load(const std::string& path, std::string* error);

  std::size_t size() const { return articles_.size(); }
  // REQUIRES: index < size().
  const Article& article(std::size_t index) const { return articles_[index]; }
  // Index of the article with exactly this title, or nullopt.
  std::optional<std::size_t> find(std::string_view title) const;

 private:
  std::vector<Article> articles_;
  std::unordered_map<std::string, std::size_t> byTitle_;
};

}  // namespace ws
