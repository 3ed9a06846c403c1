#include "net/get_request.h"

namespace ws {

std::string buildGetRequest(std::string_view host, std::string_view path,
                            std::string_view extraHeaders) {
  std::string request;
  request.reserve(path.size() + host.size() + extraHeaders.size() + 48);
  request.append("GET /").append(path).append(" HTTP/1.0\r\n");
  request.append("Host: ").append(host).append("\r\n");
  request.append("Connection: close\r\n");
  request.append(extraHeaders).append("\r\n");
  return request;
}

std::string userAgentHeader(std::string_view agent) {
  std::string line;
  line.reserve(agent.size() + 14);
  line.append("User-Agent: ").append(agent).append("\r\n");
  return line;
}

}  // namespace ws
