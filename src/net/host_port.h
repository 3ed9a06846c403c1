// Splitting a "name[:port]" host text. Pure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

struct Endpoint {
  std::string name;  // dotted address or host name, without the port
  uint16_t port = 0;
};

// Splits "name[:port]"; without a port the default is taken. nullopt unless the port is a
// decimal number 1..65535.
std::optional<Endpoint> splitHostPort(std::string_view host, uint16_t defaultPort);

}  // namespace ws
