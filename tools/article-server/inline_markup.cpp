#include "inline_markup.h"

#include "percent_coding.h"

namespace ws {

namespace {

bool isLetterStart(std::string_view word) {
  if (word.empty()) return false;
  const auto c = static_cast<unsigned char>(word[0]);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0;
}

bool isAllDigits(std::string_view word) {
  if (word.empty()) return false;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string articleHref(std::string_view title) {
  return "/wiki/" + encodeTitle(title);
}

std::string articleLink(std::string_view title, std::string_view html) {
  return "<a href=\"" + articleHref(title) + "\" title=\"" + escapeHtml(title) + "\">" +
         std::string(html) + "</a>";
}

std::string renderParagraphText(std::string_view text, const Corpus& corpus, PageRandom& random,
                                ReferenceNotes& references) {
  std::string out;
  std::size_t pos = 0;
  bool first = true;
  char separator = ' ';
  while (pos <= text.size()) {
    // Words end at a blank or at the verse mark, which becomes a line break.
    std::size_t end = text.find_first_of(" \x7f", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(pos, end - pos);
    const char before = separator;
    separator = end < text.size() ? text[end] : ' ';
    pos = end + 1;
    if (!first) out += before == ' ' ? std::string_view(" ") : std::string_view("<br />\n");
    first = false;
    if (word.empty()) continue;

    // Punctuation at the end stays outside of links and highlighting.
    std::size_t core = word.size();
    while (core > 0 &&
           std::string_view(".,;:!?)\"").find(word[core - 1]) != std::string_view::npos) {
      --core;
    }
    const std::string coreText = escapeHtml(word.substr(0, core));
    const std::string tail = escapeHtml(word.substr(core));
    std::string rendered;
    if (core >= 5 && isLetterStart(word) && random.oneIn(13)) {
      rendered = articleLink(corpus.article(random.below(corpus.size())).title, coreText);
    } else if (core >= 4 && random.oneIn(45)) {
      rendered = "<i>" + coreText + "</i>";
    } else if (core >= 4 && random.oneIn(70)) {
      rendered = "<b>" + coreText + "</b>";
    } else {
      rendered = coreText;
    }
    out += rendered;
    out += tail;
    if (!tail.empty() && tail.back() == '.' && random.oneIn(9)) {
      references.notes.push_back(references.source + ", Abschnitt " +
                                 std::to_string(references.notes.size() + 1));
      const std::string n = std::to_string(references.notes.size());
      out += "<sup id=\"cite_ref-" + n + "\" class=\"reference\"><a href=\"#cite_note-" + n +
             "\">[" + n + "]</a></sup>";
    }
    // A number and the word after it are kept together by a no-break space.
    if (isAllDigits(word) && separator == ' ' && pos < text.size()) {
      out += "&nbsp;";
      first = true;
    }
  }
  return out;
}

std::string escapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

}  // namespace ws
