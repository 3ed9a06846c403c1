#pragma once
// Reading an HTTP/1.0 request head as it arrives, bounded in size.

#include <cstddef>
#include <string>
#include <string_view>

namespace ws {

// A request head is refused once this many bytes arrived without its end.
inline constexpr std::size_t kMaxRequestHeadBytes = 16384;

struct HttpRequest {
  std::string method;   // as sent, e.g. "GET"
  std::string target;   // as sent, e.g. "/wiki/M%C3%BCnchen"
  std::string version;  // "HTTP/1.0", or empty for a bare "GET /path" line
  std::string host;     // value of the Host header; empty if absent or unusable
  int userAgents = 0;   // number of User-Agent header lines
};

enum class RequestStatus { kIncomplete, kComplete, kMalformed };

// Parses the bytes received so far. kIncomplete until the head ends with an
// empty line (CR LF or bare LF line ends); kMalformed for a head too long, a
// request line that is not "METHOD TARGET [VERSION]" (METHOD in capitals) or a zero byte.
// A Host value that could break a header line written back with it (control
// bytes, blanks, anything but host-name and address characters) is dropped.
RequestStatus parseRequestHead(std::string_view received, HttpRequest& request);

// True for a host[:port] text made only of letters, digits and ".-_:[]".
bool isUsableHost(std::string_view host);

}  // namespace ws
