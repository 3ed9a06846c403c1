#include "driver/word_dump.h"

#include <cstdio>
#include <system_error>

#include "screen/number_format.h"
#include "screen/program_name.h"
#include "trie/word_trie.h"

namespace ws {

namespace {

// Writes the whole trie to `path`; false on any failure.
bool writeDumpFile(const WordTrie& trie, const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  {
    WordDumpVisitor visitor(file);
    walkTrie(trie, visitor);
  }
  const bool written = std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

void WordDumpVisitor::visit(std::string_view word, std::uint32_t count, const NodeView&,
                            std::uint8_t) {
  line_.assign(word);
  line_ += ' ';
  line_ += unsignedText(count);
  line_ += "\r\n";
  std::fwrite(line_.data(), 1, line_.size(), file_);
}

bool dumpWords(const WordTrie& trie, const std::filesystem::path& directory) {
  const std::filesystem::path target = directory / kWordDumpFileName;
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  std::error_code error;
  if (!writeDumpFile(trie, temporary)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

std::optional<std::filesystem::path> executableDirectory() {
  const auto path = executablePath();
  if (!path) return std::nullopt;
  return path->parent_path();
}

}  // namespace ws
