#include "page_renderer.h"

#include <cstdint>
#include <vector>

#include "inline_markup.h"
#include "page_random.h"
#include "percent_coding.h"

namespace ws {

namespace {

constexpr std::string_view kSiteName = "Freies Lexikon";

void appendHead(std::string& page, std::string_view title) {
  const std::string t = escapeHtml(title);
  page +=
      "<!DOCTYPE html>\n<html class=\"client-nojs\" lang=\"de\" dir=\"ltr\">\n<head>\n"
      "<meta charset=\"UTF-8\">\n<title>" +
      t + " – " + std::string(kSiteName) +
      "</title>\n"
      "<script>document.documentElement.className=\"client-js\";"
      "var seitenKonfiguration={\"seitenTitel\":\"" +
      t +
      "\",\"sprache\":\"de\",\"istArtikel\":true};"
      "if(window.innerWidth<720&&document.body){document.body.className+=\" schmal\";}</script>\n"
      "<style>\nbody{font-family:sans-serif;margin:0}\n#inhalt p{line-height:1.6;margin:.5em 0}\n"
      "p.hinweis{font-style:italic;padding-left:1.6em}\ntable.infobox{float:right;border:1px solid "
      "#a2a9b1}\n.reference{font-size:80%}\n</style>\n"
      "<link rel=\"stylesheet\" href=\"/w/load.php?modules=skin&amp;only=styles\">\n"
      "<meta name=\"viewport\" content=\"width=1000\">\n</head>\n";
}

void appendNavigation(std::string& page) {
  page +=
      "<div id=\"kopf\"><a class=\"logo\" href=\"/wiki/Hauptseite\" title=\"Hauptseite\"></a>\n"
      "<form id=\"suche\" action=\"/w/index.php\"><input type=\"search\" name=\"search\" "
      "placeholder=\"Suche im Lexikon\"><input type=\"submit\" value=\"Artikel\"></form></div>\n"
      "<div id=\"navigation\"><h3>Navigation</h3>\n<ul>\n"
      "<li><a href=\"/wiki/Hauptseite\">Hauptseite</a></li>\n"
      "<li><a href=\"/wiki/Themenportale\">Themenportale</a></li>\n"
      "<li><a href=\"/wiki/Spezial:Zuf%C3%A4llige_Seite\">Zufälliger Artikel</a></li>\n"
      "</ul>\n<h3>Mitmachen</h3>\n<ul>\n"
      "<li><a href=\"/wiki/Hilfe:%C3%9Cbersicht\">Hilfe</a></li>\n"
      "<li><a href=\"/wiki/Spezial:Letzte_%C3%84nderungen\">Letzte Änderungen</a></li>\n"
      "</ul></div>\n";
}

void appendInfobox(std::string& page, const Article& article) {
  if (article.infobox.empty()) return;
  page += "<table class=\"infobox\" cellspacing=\"5\">\n<tr><th colspan=\"2\">" +
          escapeHtml(article.title) + "</th></tr>\n";
  for (const auto& [key, value] : article.infobox) {
    page += "<tr><td>" + escapeHtml(key) + "</td><td>" + escapeHtml(value) + "</td></tr>\n";
  }
  page += "</table>\n";
}

std::string anchorOf(std::string_view heading) {
  return encodeTitle(heading);
}

void appendTableOfContents(std::string& page, const Article& article) {
  int count = 0;
  for (const ArticleSection& s : article.sections) count += s.heading.empty() ? 0 : 1;
  if (count < 3) return;
  page +=
      "<div id=\"toc\" class=\"toc\" role=\"navigation\"><div class=\"toctitle\"><h2>"
      "Inhaltsverzeichnis</h2></div>\n<ul>\n";
  int number = 0;
  for (const ArticleSection& s : article.sections) {
    if (s.heading.empty()) continue;
    ++number;
    page += "<li class=\"toclevel-1\"><a href=\"#" + anchorOf(s.heading) +
            "\"><span class=\"tocnumber\">" + std::to_string(number) +
            "</span> <span class=\"toctext\">" + escapeHtml(s.heading) + "</span></a></li>\n";
  }
  page += "</ul>\n</div>\n";
}

std::string noteSourceOf(const Article& article) {
  std::string source;
  for (const auto& [key, value] : article.infobox) {
    if (!source.empty()) source += ", ";
    source += key + " " + value;
  }
  return source.empty() ? article.title : source;
}

void appendSection(std::string& page, const ArticleSection& section, const Corpus& corpus,
                   PageRandom& random, ReferenceNotes& references) {
  if (!section.heading.empty()) {
    page += "<h2><span class=\"ueberschrift\" id=\"" + anchorOf(section.heading) + "\">" +
            escapeHtml(section.heading) +
            "</span><span class=\"bearbeiten\">[<a href=\"/w/index.php?action=edit\">Quelltext "
            "bearbeiten</a>]</span></h2>\n";
  }
  bool inList = false;
  for (const ArticleBlock& block : section.blocks) {
    const bool item = block.kind == ArticleBlock::Kind::kListItem;
    if (item != inList) {
      page += item ? "<ul>\n" : "</ul>\n";
      inList = item;
    }
    const std::string text = renderParagraphText(block.text, corpus, random, references);
    if (item) {
      page += "<li>" + text + "</li>\n";
    } else if (random.oneIn(15)) {
      page += "<p class=\"zitat\">" + text + "</p>\n";
    } else {
      page += "<p>" + text + "</p>\n";
    }
  }
  if (inList) page += "</ul>\n";
}

void appendSeeAlso(std::string& page, const Corpus& corpus, PageRandom& random) {
  page +=
      "<h2><span class=\"ueberschrift\" id=\"Weitere_Artikel\">Weitere Artikel</span></h2>\n<ul>\n";
  for (int i = 0; i < 3; ++i) {
    const Article& other = corpus.article(random.below(corpus.size()));
    page += "<li>" + articleLink(other.title, escapeHtml(other.title)) + "</li>\n";
  }
  page += "</ul>\n";
}

void appendReferences(std::string& page, const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  page +=
      "<h2><span class=\"ueberschrift\" id=\"Einzelnachweise\">Einzelnachweise</span></h2>\n"
      "<ol class=\"references\">\n";
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    page += "<li id=\"cite_note-" + n + "\"><span class=\"zurueck\"><a href=\"#cite_ref-" + n +
            "\">↑</a></span> <span class=\"quelle\">" + escapeHtml(notes[i]) + "</span></li>\n";
  }
  page += "</ol>\n";
}

void appendFooter(std::string& page, std::string_view title) {
  page += "<div id=\"fuss\">\n<P>Abgerufen von „" + articleHref(title) +
          "“</P>\n<ul id=\"fuss-info\">\n<li>Der Text ist unter einer freien Lizenz "
          "verfügbar; Informationen zu den Urhebern stehen auf der Beschreibungsseite.</li>\n"
          "<li><a href=\"/wiki/Lexikon:Datenschutz\">Datenschutz</a></li>\n</ul>\n</div>\n"
          "<script>(function(){var n=document.getElementsByTagName(\"sup\");"
          "for(var i=0;i<n.length&&i<500;i++){n[i].className+=\" bereit\";}})();</script>\n"
          "</body>\n</html>\n";
}

}  // namespace

std::string renderArticlePage(const Corpus& corpus, std::size_t index) {
  const Article& article = corpus.article(index);
  PageRandom random(article.title);
  std::string page;
  page.reserve(4096);
  appendHead(page, article.title);
  page += "<body class=\"seite artikel\">\n";
  appendNavigation(page);
  page += "<div id=\"inhalt\" role=\"main\">\n<h1 id=\"titel\" class=\"ueberschrift\">" +
          escapeHtml(article.title) +
          "</h1>\n<div id=\"untertitel\">aus dem Freien Lexikon</div>\n";
  if (random.oneIn(3)) {
    page += "<p class=\"hinweis\">Dieser Artikel behandelt " + escapeHtml(article.title) +
            ". Zu weiteren Bedeutungen siehe <a href=\"/wiki/Begriffskl%C3%A4rung\">"
            "Begriffsklärung</a>.</p>\n";
  }
  appendInfobox(page, article);
  ReferenceNotes references{noteSourceOf(article), {}};
  bool tocDone = false;
  for (const ArticleSection& section : article.sections) {
    if (!section.heading.empty() && !tocDone) {
      appendTableOfContents(page, article);
      tocDone = true;
    }
    appendSection(page, section, corpus, random, references);
  }
  appendSeeAlso(page, corpus, random);
  appendReferences(page, references.notes);
  page += "</div>\n";
  appendFooter(page, article.title);
  return page;
}

std::string renderNotFoundPage(std::string_view target) {
  std::string page;
  appendHead(page, "Seite nicht gefunden");
  page += "<body class=\"seite fehler\">\n";
  appendNavigation(page);
  page +=
      "<div id=\"inhalt\" role=\"main\">\n<h1 id=\"titel\">Diese Seite gibt es nicht</h1>\n"
      "<div class=\"fehlermeldung\">Unter der Adresse <code>" +
      escapeHtml(target) +
      "</code> steht kein Artikel.</div>\n<div>Vielleicht hilft die "
      "<a href=\"/wiki/Spezial:Suche\">Suche</a> weiter.</div>\n</div>\n"
      "</body>\n</html>\n";
  return page;
}

std::string renderRedirectPage(std::string_view location) {
  const std::string href = escapeHtml(location);
  return "<!DOCTYPE html>\n<html lang=\"de\">\n<head><meta charset=\"UTF-8\">"
         "<title>Weiterleitung</title></head>\n<body>\n<h1>Weiterleitung</h1>\n"
         "<div>Die Seite steht unter <a href=\"" +
         href + "\">" + href + "</a>.</div>\n</body>\n</html>\n";
}

}  // namespace ws
