#include "driver/word_dump.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "screen/number_format.h"
#include "screen/program_name.h"
#include "trie/word_trie.h"

namespace ws {

namespace {

// Writes the whole trie to `path` and flushes it to the disk; false on any failure.
bool writeDumpFile(const WordTrie& trie, const std::filesystem::path& path,
                   DurableFileSystem& files) {
  const std::unique_ptr<DurableFile> file = files.create(path);
  if (!file) return false;
  WordDumpVisitor visitor(*file);
  walkTrie(trie, visitor);
  const bool written = visitor.flush();
  return file->finish() && written;
}

// Adds up the dump's line lengths: word, blank, count digits, CR LF.
class DumpSizeVisitor final : public TrieVisitor {
 public:
  void visit(std::string_view word, WordCount count, const NodeView&, std::uint8_t) override {
    std::uint64_t digits = 1;
    for (std::uint32_t rest = count; rest >= 10; rest /= 10) ++digits;
    size_ += word.size() + 1 + digits + 2;
  }
  std::uint64_t size() const { return size_; }

 private:
  std::uint64_t size_ = 0;
};

// Removes a temporary dump that a killed dump left behind; anything else of that name stays.
void removeStaleTemporary(const std::filesystem::path& temporary) {
  std::error_code error;
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(temporary, error))) {
    std::filesystem::remove(temporary, error);
  }
}

}  // namespace

void WordDumpVisitor::visit(std::string_view word, WordCount count, const NodeView&, std::uint8_t) {
  if (failed_) return;
  block_ += word;
  block_ += ' ';
  block_ += unsignedText(count);
  block_ += "\r\n";
  if (block_.size() >= kBlockSize) flush();
}

bool WordDumpVisitor::flush() {
  if (!failed_ && !block_.empty()) failed_ = !file_.write(block_);
  block_.clear();
  return !failed_;
}

std::uint64_t wordDumpSize(const WordTrie& trie) {
  DumpSizeVisitor visitor;
  walkTrie(trie, visitor);
  return visitor.size();
}

std::optional<std::uint64_t> freeSpaceOf(const std::filesystem::path& directory) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(directory, error);
  if (error) return std::nullopt;
  return space.available;
}

bool dumpFits(std::uint64_t dumpSize, std::uint64_t available) {
  constexpr std::uint64_t kMinimumMargin = std::uint64_t{64} << 20;
  const std::uint64_t margin = std::max(dumpSize / 20, kMinimumMargin);
  return available >= margin && available - margin >= dumpSize;
}

bool dumpWords(const WordTrie& trie, const std::filesystem::path& directory,
               const FreeSpaceProbe& freeSpace, DurableFileSystem& files) {
  const std::filesystem::path target = directory / kWordDumpFileName;
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  removeStaleTemporary(temporary);
  // Unknown free space (an odd file system) does not stop the dump; a missing directory fails
  // at the file's creation below.
  const std::optional<std::uint64_t> available = freeSpace(directory);
  if (available && !dumpFits(wordDumpSize(trie), *available)) return false;
  std::error_code error;
  if (!writeDumpFile(trie, temporary, files) || !files.replace(temporary, target)) {
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
