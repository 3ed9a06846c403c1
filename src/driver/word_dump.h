#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "trie/trie_walk.h"

namespace ws {

class WordTrie;

// Writes one dump line per visited node: the word's bytes, a blank, the unsigned count, CR LF.
// Keeps no state between visits; write errors stay in the stream's error flag.
// REQUIRES: `file` is open for binary writing for the visitor's whole life.
class WordDumpVisitor : public TrieVisitor {
 public:
  explicit WordDumpVisitor(std::FILE* file) : file_(file) {}
  void visit(std::string_view word, std::uint32_t count, const NodeView& node,
             std::uint8_t linkNumber) override;

 private:
  std::FILE* file_;
  std::string line_;  // reused buffer, no meaning between visits
};

// The dump file's name inside the executable's directory.
inline constexpr std::string_view kWordDumpFileName = "wiki.txt";

// Writes every trie node, in walk order, to `directory`/wiki.txt as raw bytes, replacing any
// earlier dump. The new content goes to a temporary file beside it that is then renamed over
// the old one, so an earlier dump survives intact if writing fails part-way. Failures are
// silent: returns false when nothing was replaced.
bool dumpWords(const WordTrie& trie, const std::filesystem::path& directory);

// The directory holding the running program's executable, from /proc/self/exe;
// nullopt when it cannot be determined.
std::optional<std::filesystem::path> executableDirectory();

}  // namespace ws
