#include "header_case.h"

#include <cctype>

namespace ws {

void lowerCaseHeaderNames(std::string& reply) {
  std::size_t line = reply.find("\r\n");
  while (line != std::string::npos) {
    line += 2;
    const std::size_t end = reply.find("\r\n", line);
    if (end == line) return;  // the empty line: the body follows
    const std::size_t stop = end == std::string::npos ? reply.size() : end;
    for (std::size_t i = line; i < stop && reply[i] != ':'; ++i) {
      reply[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(reply[i])));
    }
    line = end;
  }
}

}  // namespace ws
