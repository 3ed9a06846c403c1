#include "trie/wide_counts.h"

namespace ws {

void WideCounts::addBeyond(std::string_view word, WordCount times) {
  if (times == 0) return;
  const auto found = beyond_.find(word);
  if (found != beyond_.end()) {
    found->second += times;
  } else {
    beyond_.emplace(std::string(word), times);
  }
}

WordCount WideCounts::beyondOf(std::string_view word) const {
  const auto found = beyond_.find(word);
  return found == beyond_.end() ? 0 : found->second;
}

}  // namespace ws
