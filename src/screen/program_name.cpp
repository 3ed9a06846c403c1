#include "screen/program_name.h"

#include <errno.h>

#include <system_error>

namespace ws {

std::string baseNameWithoutExtension(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::optional<std::filesystem::path> executablePath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || path.empty()) return std::nullopt;
  return path;
}

std::string programName() {
  const auto path = executablePath();
  if (path) return baseNameWithoutExtension(path->native());
  return baseNameWithoutExtension(program_invocation_name);
}

}  // namespace ws
