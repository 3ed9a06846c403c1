// The running executable on Linux: /proc/self/exe, else the name it was invoked by.
#include <errno.h>

#include <system_error>

#include "screen/program_name.h"

namespace ws {

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
