#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "driver/durable_file.h"
#include "trie/trie_walk.h"

namespace ws {

class WordTrie;

// Writes one dump line per visited node: the word's bytes, a blank, the unsigned count, CR LF.
// Lines are gathered and written in blocks of at least kBlockSize bytes; the last block goes
// out with flush(). After a failed write nothing more is written.
// LIFETIME: `file` must outlive the visitor.
class WordDumpVisitor : public TrieVisitor {
 public:
  static constexpr std::size_t kBlockSize = 1 << 16;

  explicit WordDumpVisitor(DurableFile& file) : file_(file) {}
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) override;
  // Writes what is gathered; true when every write so far succeeded.
  bool flush();

 private:
  DurableFile& file_;
  std::string block_;  // lines not yet written
  bool failed_ = false;
};

// The dump file's name inside the executable's directory.
inline constexpr std::string_view kWordDumpFileName = "wiki.txt";

// The exact size in bytes of the dump of `trie`, from one walk that writes nothing. Every line
// carries its node's whole word, so a dump grows with the square of its longest word.
std::uint64_t wordDumpSize(const WordTrie& trie);

// How many bytes files in a directory may still take; nullopt when that cannot be told.
using FreeSpaceProbe =
    std::function<std::optional<std::uint64_t>(const std::filesystem::path& directory)>;
// The free space of the file system holding `directory`, for an unprivileged writer.
std::optional<std::uint64_t> freeSpaceOf(const std::filesystem::path& directory);

// Whether a dump of `dumpSize` bytes may be written where `available` bytes are free: it must
// leave a margin of 5 % of its size, and at least 64 MiB, for everything else on the disk.
bool dumpFits(std::uint64_t dumpSize, std::uint64_t available);

// Writes every trie node, in walk order, to `directory`/wiki.txt as raw bytes, replacing any
// earlier dump. The new content goes to wiki.txt.tmp beside it, which is flushed to the disk and
// then moved over the old one (DurableFileSystem::replace), so an earlier dump survives intact
// if writing, flushing or closing fails, and also a crash or power loss at any point; the
// temporary file is then removed. A wiki.txt.tmp left by a dump that was killed is removed
// first. A dump that would not fit the free space (dumpFits) writes nothing. Failures are
// silent: returns false when nothing was replaced.
bool dumpWords(const WordTrie& trie, const std::filesystem::path& directory,
               const FreeSpaceProbe& freeSpace = freeSpaceOf,
               DurableFileSystem& files = platformFileSystem());

// The directory holding the running program's executable (screen/program_name.h);
// nullopt when it cannot be determined.
std::optional<std::filesystem::path> executableDirectory();

}  // namespace ws
