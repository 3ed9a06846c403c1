#include "screen/program_name.h"

#include <errno.h>
#include <unistd.h>

#include <array>

namespace ws {

std::string baseNameWithoutExtension(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string programName() {
  std::array<char, 4096> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length > 0) return baseNameWithoutExtension(std::string_view(path.data(), length));
  return baseNameWithoutExtension(program_invocation_name);
}

}  // namespace ws
