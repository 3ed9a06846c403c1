#pragma once
// The running text of a paragraph as HTML: escaped, with some words linked to
// other articles or set in italics or bold, reference marks after some
// sentences, no-break spaces after numbers and line breaks in verse.

#include <string>
#include <string_view>
#include <vector>

#include "corpus.h"
#include "page_random.h"

namespace ws {

// The notes behind the reference marks of one page, in mark order.
struct ReferenceNotes {
  std::string source;  // what every note cites
  std::vector<std::string> notes;
};

// REQUIRES: corpus.size() > 0 (links point at its articles).
// Mark n (from 1) refers to references.notes[n-1], which this call appends.
std::string renderParagraphText(std::string_view text, const Corpus& corpus, PageRandom& random,
                                ReferenceNotes& references);

// Text made HTML-safe: "&", "<", ">" and '"' become entities.
std::string escapeHtml(std::string_view text);

// "/wiki/" + the encoded title.
std::string articleHref(std::string_view title);
// A link to the article, showing html (already escaped).
std::string articleLink(std::string_view title, std::string_view html);

}  // namespace ws
