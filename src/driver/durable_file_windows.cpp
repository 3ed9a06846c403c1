// Durable replacement on Windows: WriteFile, FlushFileBuffers of the file, then MoveFileExW with
// write-through, which returns only once the move itself is on the disk.
#include <windows.h>

#include <algorithm>

#include "driver/durable_file.h"

namespace ws {
namespace {

// WriteFile takes a 32-bit count.
constexpr size_t kLargestWrite = size_t{1} << 30;

class WindowsDurableFile final : public DurableFile {
 public:
  explicit WindowsDurableFile(HANDLE file) : file_(file) {}
  ~WindowsDurableFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  WindowsDurableFile(const WindowsDurableFile&) = delete;
  WindowsDurableFile& operator=(const WindowsDurableFile&) = delete;

  bool write(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const auto size = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
      if (!WriteFile(file_, bytes.data(), size, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool finish() override {
    const bool flushed = FlushFileBuffers(file_) != 0;
    const bool closed = CloseHandle(file_) != 0;
    file_ = INVALID_HANDLE_VALUE;
    return flushed && closed;
  }

 private:
  HANDLE file_;
};

class WindowsFileSystem final : public DurableFileSystem {
 public:
  std::unique_ptr<DurableFile> create(const std::filesystem::path& path) override {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsDurableFile>(file);
  }

  bool replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
};

}  // namespace

DurableFileSystem& platformFileSystem() {
  static WindowsFileSystem fileSystem;
  return fileSystem;
}

}  // namespace ws
