// Replacing a file so that it survives a crash or a power loss: the platform seam of the word
// dump. A new file is written beside the old one, flushed to the disk and only then moved over
// it, and the move itself is made durable; the old content is lost only once the new one is safe.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace ws {

// One new file being written, bytes in order. Nothing of it is known to be on the disk before
// finish() returns true. Destroying it unfinished closes it and leaves its content unspecified.
class DurableFile {
 public:
  virtual ~DurableFile() = default;
  // Appends `bytes`; false when they could not all be written (the file is then of no use).
  virtual bool write(std::string_view bytes) = 0;
  // Flushes everything written to the disk, then closes the file. True only when every write,
  // the flush and the close succeeded. REQUIRES: called at most once, after the last write.
  virtual bool finish() = 0;
};

// The file operations of one platform that a durable replacement needs.
class DurableFileSystem {
 public:
  virtual ~DurableFileSystem() = default;
  // A new, empty file at `path` for writing (an existing file there is truncated); null when it
  // cannot be made.
  virtual std::unique_ptr<DurableFile> create(const std::filesystem::path& path) = 0;
  // Moves `from` over `to` in one step (at any moment `to` names the old file or the new one),
  // then makes the move durable. False when `from` was not moved; a move made that cannot be
  // made durable still counts as made, as it cannot be taken back.
  // REQUIRES: `from` and `to` are in the same directory; `from` was finished.
  virtual bool replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
};

// This platform's file system (POSIX: write, fsync of the file, rename, fsync of its directory;
// Windows: WriteFile, FlushFileBuffers, MoveFileExW replacing and writing through).
// It lives as long as the program.
DurableFileSystem& platformFileSystem();

}  // namespace ws
