#include "corpus.h"

#include <fstream>
#include <sstream>

namespace ws {

namespace {

ArticleSection& currentSection(Article& article) {
  if (article.sections.empty()) article.sections.emplace_back();
  return article.sections.back();
}

}  // namespace

Corpus Corpus::parse(std::string_view text) {
  Corpus corpus;
  Article* current = nullptr;
  bool skipping = false;  // inside the records of a repeated title
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < 2 || line[1] != ' ') continue;
    const char kind = line[0];
    const std::string_view body = line.substr(2);
    if (kind == 'T') {
      if (body.empty() || corpus.byTitle_.count(std::string(body)) != 0) {
        skipping = true;
        current = nullptr;
        continue;
      }
      skipping = false;
      corpus.byTitle_.emplace(std::string(body), corpus.articles_.size());
      corpus.articles_.push_back(Article{std::string(body), {}, {}});
      current = &corpus.articles_.back();
      continue;
    }
    if (skipping || current == nullptr) continue;
    switch (kind) {
      case 'I': {
        const std::size_t tab = body.find('\t');
        if (tab == std::string_view::npos) break;
        current->infobox.emplace_back(std::string(body.substr(0, tab)),
                                      std::string(body.substr(tab + 1)));
        break;
      }
      case 'H':
        current->sections.push_back(ArticleSection{std::string(body), {}});
        break;
      case 'P':
        currentSection(*current).blocks.push_back(
            ArticleBlock{ArticleBlock::Kind::kParagraph, std::string(body)});
        break;
      case 'L':
        currentSection(*current).blocks.push_back(
            ArticleBlock{ArticleBlock::Kind::kListItem, std::string(body)});
        break;
      default:
        break;
    }
  }
  return corpus;
}

std::optional<Corpus> Corpus::load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open corpus file " + path;
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  Corpus corpus = parse(content.str());
  if (corpus.size() == 0) {
    if (error) *error = "corpus file " + path + " holds no articles";
    return std::nullopt;
  }
  return corpus;
}

std::optional<std::size_t> Corpus::find(std::string_view title) const {
  const auto it = byTitle_.find(std::string(title));
  if (it == byTitle_.end()) return std::nullopt;
  return it->second;
}

}  // namespace ws
