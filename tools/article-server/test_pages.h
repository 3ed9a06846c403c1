#pragma once
// Test helpers: what a reader of exact "<p>" ... "</p>" paragraphs sees in a page.

#include <string>
#include <string_view>
#include <vector>

namespace ws::testing {

// The inner HTML of every exact "<p>" ... "</p>" paragraph, in order.
inline std::vector<std::string> paragraphsOf(std::string_view page) {
  std::vector<std::string> found;
  std::size_t pos = 0;
  while ((pos = page.find("<p>", pos)) != std::string_view::npos) {
    const std::size_t end = page.find("</p>", pos + 3);
    if (end == std::string_view::npos) break;
    found.emplace_back(page.substr(pos + 3, end - pos - 3));
    pos = end;
  }
  return found;
}

// Markup removed, nothing else changed.
inline std::string withoutTags(std::string_view html) {
  std::string text;
  bool inTag = false;
  for (const char c : html) {
    if (c == '<') {
      inTag = true;
    } else if (c == '>') {
      inTag = false;
    } else if (!inTag) {
      text += c;
    }
  }
  return text;
}

}  // namespace ws::testing
