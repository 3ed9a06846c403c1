#include "driver/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace ws {
namespace {

class PosixDurableFile final : public DurableFile {
 public:
  explicit PosixDurableFile(int fd) : fd_(fd) {}
  ~PosixDurableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixDurableFile(const PosixDurableFile&) = delete;
  PosixDurableFile& operator=(const PosixDurableFile&) = delete;

  bool write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  bool finish() override {
    const bool flushed = ::fsync(fd_) == 0;
    // close() is not retried: on Linux the descriptor is gone either way.
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return flushed && closed;
  }

 private:
  int fd_;
};

// A rename is an entry of its directory: it reaches the disk with the directory's flush.
void flushDirectory(const std::filesystem::path& directory) {
  const int fd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

class PosixFileSystem final : public DurableFileSystem {
 public:
  std::unique_ptr<DurableFile> create(const std::filesystem::path& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixDurableFile>(fd);
  }

  bool replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    flushDirectory(to.parent_path());
    return true;
  }
};

}  // namespace

DurableFileSystem& platformFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace ws
