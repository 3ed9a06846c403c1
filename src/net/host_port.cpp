#include "net/host_port.h"

#include <charconv>

namespace ws {

std::optional<Endpoint> splitHostPort(std::string_view host, uint16_t defaultPort) {
  Endpoint endpoint;
  endpoint.port = defaultPort;
  size_t colon = host.rfind(':');
  if (colon == std::string_view::npos) {
    endpoint.name = host;
    return endpoint;
  }
  std::string_view portText = host.substr(colon + 1);
  unsigned port = 0;
  auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
      port == 0 || port > 65535) {
    return std::nullopt;
  }
  endpoint.name = host.substr(0, colon);
  endpoint.port = static_cast<uint16_t>(port);
  return endpoint;
}

}  // namespace ws
