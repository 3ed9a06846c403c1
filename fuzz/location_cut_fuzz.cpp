// Checks cutArticlePath against a literal model of the cut with 1-based positions, in both
// Location forms, and that the article request built from the cut path keeps its lines: the
// server's redirect cannot add a CR LF line to it. The first input byte gives the host's length
// (and, by its top bit, the form), the next bytes the host, the rest is the reply.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/get_request.h"
#include "net/location_cut.h"

namespace {

long findAt(const std::string& text, long start, const std::string& needle) {
  if (start < 1 || start > static_cast<long>(text.size())) return 0;
  size_t found = text.find(needle, static_cast<size_t>(start - 1));
  return found == std::string::npos ? 0 : static_cast<long>(found) + 1;
}

// The TLS form: the first position at which the marker stands with "location" in any case.
long findNoCaseNameAt(const std::string& text, const std::string& marker) {
  for (size_t at = 0; at + marker.size() <= text.size(); ++at) {
    bool same = true;
    for (size_t i = 0; i < marker.size() && same; ++i) {
      const char c = text[at + i];
      same = i < 8 ? std::tolower(static_cast<unsigned char>(c)) == marker[i] : c == marker[i];
    }
    if (same) return static_cast<long>(at) + 1;
  }
  return 0;
}

std::string modelCut(const std::string& reply, const std::string& host, bool tls) {
  const std::string marker = (tls ? "location: https://" : "Location: http://") + host + "/wiki/";
  const long h = static_cast<long>(host.size()) + (tls ? 1 : 0);
  long p = tls ? findNoCaseNameAt(reply, marker) : findAt(reply, 1, marker);
  long e = findAt(reply, p + static_cast<long>(marker.size()), "\r\n");
  std::string line;
  if (p != 0) {
    line = e != 0 ? reply.substr(static_cast<size_t>(p - 1), static_cast<size_t>(e - p))
                  : reply.substr(static_cast<size_t>(p - 1));
  }
  if (static_cast<long>(line.size()) < 19 + h) return {};
  return line.substr(static_cast<size_t>(18 + h));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool tls = (data[0] & 0x80) != 0;
  size_t hostLength = std::min<size_t>(data[0] % 24, size - 1);
  const std::string host(reinterpret_cast<const char*>(data) + 1, hostLength);
  const std::string reply(reinterpret_cast<const char*>(data) + 1 + hostLength,
                          size - 1 - hostLength);

  const std::string path =
      ws::cutArticlePath(reply, host, tls ? ws::Transport::kTls : ws::Transport::kPlain);
  if (path != modelCut(reply, host, tls)) std::abort();
  if (!path.empty() && path.compare(0, 5, "wiki/") != 0) std::abort();
  if (path.find("\r\n") != std::string::npos) std::abort();

  // The request line, Host, Connection and the empty line: four CR LF, the last two at the end.
  // The host is the build's, which holds no line ends.
  if (host.find_first_of("\r\n") == std::string::npos) {
    const std::string request = ws::buildGetRequest(host, path, {});
    size_t lineEnds = 0;
    for (size_t at = request.find("\r\n"); at != std::string::npos;
         at = request.find("\r\n", at + 1)) {
      ++lineEnds;
    }
    if (lineEnds != 4 || request.find("\r\n\r\n") != request.size() - 4) std::abort();
  }
  return 0;
}
