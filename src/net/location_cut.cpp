#include "net/location_cut.h"

#include <algorithm>
#include <cctype>

namespace ws {
namespace {

constexpr std::string_view kPlainStart = "Location: http://";
constexpr std::string_view kTlsStart = "location: https://";
constexpr std::string_view kHeaderName = "location";
constexpr std::string_view kMarkerEnd = "/wiki/";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view markerStart(Transport transport) {
  return transport == Transport::kTls ? kTlsStart : kPlainStart;
}

bool equalsNoCase(std::string_view text, std::string_view lowerCase) {
  return text.size() == lowerCase.size() &&
         std::equal(lowerCase.begin(), lowerCase.end(), text.begin(), [](char l, char t) {
           return l == std::tolower(static_cast<unsigned char>(t));
         });
}

// Position of the first marker in `reply`, or npos. In the TLS form the part after the header
// name is searched exactly and the eight bytes before each hit are compared without case; the
// first hit so accepted is the first marker, since every marker ends in exactly one such hit.
size_t findMarker(std::string_view reply, const std::string& marker, Transport transport) {
  if (transport == Transport::kPlain) return reply.find(marker);
  const std::string_view tail = std::string_view(marker).substr(kHeaderName.size());
  for (size_t hit = reply.find(tail, kHeaderName.size()); hit != std::string_view::npos;
       hit = reply.find(tail, hit + 1)) {
    const size_t start = hit - kHeaderName.size();
    if (equalsNoCase(reply.substr(start, kHeaderName.size()), kHeaderName)) return start;
  }
  return std::string_view::npos;
}

}  // namespace

std::string locationMarker(std::string_view host, Transport transport) {
  const std::string_view start = markerStart(transport);
  std::string marker;
  marker.reserve(start.size() + host.size() + kMarkerEnd.size());
  marker.append(start).append(host).append(kMarkerEnd);
  return marker;
}

std::string cutArticlePath(std::string_view reply, std::string_view host, Transport transport) {
  const std::string marker = locationMarker(host, transport);
  size_t line = findMarker(reply, marker, transport);
  if (line == std::string_view::npos) return {};
  size_t lineEnd = reply.find(kLineEnd, line + marker.size());
  if (lineEnd == std::string_view::npos) lineEnd = reply.size();
  // The path starts right after the scheme, the host and one "/", i.e. at "wiki/".
  size_t pathStart = line + markerStart(transport).size() + host.size() + 1;
  return std::string(reply.substr(pathStart, lineEnd - pathStart));
}

}  // namespace ws
