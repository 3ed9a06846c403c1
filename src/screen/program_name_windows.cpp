// The running executable on Windows: GetModuleFileNameW.
#include <windows.h>

#include "screen/program_name.h"

namespace ws {

std::optional<std::filesystem::path> executablePath() {
  // A path may be longer than MAX_PATH; a full buffer means it was cut, so it is asked again.
  constexpr size_t kLongestPath = 32768;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path);
    }
    if (path.size() >= kLongestPath) return std::nullopt;
    path.resize(path.size() * 2);
  }
}

std::string programName() {
  const auto path = executablePath();
  if (!path) return "wortsammler";
  const std::u8string name = path->filename().u8string();
  return baseNameWithoutExtension(std::string(name.begin(), name.end()));
}

}  // namespace ws
