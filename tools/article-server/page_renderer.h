#pragma once
// HTML pages of the stand-in server, shaped like encyclopedia articles.
//
// An article page carries a head with scripts and styles, navigation, an
// infobox table, a table of contents, headings, lists, a reference list and
// the running text in plain "<p>" paragraphs with links, bold and italic
// words, "<sup>" reference marks and entities. Notes and quotations are set
// as '<p class="...">' or "<P>" elements. The page depends only on the corpus
// and the article's index, so the same title always gives the same bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "corpus.h"
#include "inline_markup.h"

namespace ws {

// REQUIRES: index < corpus.size().
std::string renderArticlePage(const Corpus& corpus, std::size_t index);

// The page for an unknown address; it holds no "<p>" at all.
std::string renderNotFoundPage(std::string_view target);

// The short page sent with a redirect; it holds no "<p>" at all.
std::string renderRedirectPage(std::string_view location);

}  // namespace ws
