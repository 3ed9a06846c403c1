#include "http_request.h"

#include <algorithm>
#include <cctype>

namespace ws {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Position just past the empty line that ends the head, or npos.
std::size_t headEnd(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\n') continue;
    if (i + 1 < s.size() && s[i + 1] == '\n') return i + 2;
    if (i + 2 < s.size() && s[i + 1] == '\r' && s[i + 2] == '\n') return i + 3;
  }
  return std::string_view::npos;
}

bool parseRequestLine(std::string_view line, HttpRequest& request) {
  line = trim(line);
  const std::size_t a = line.find(' ');
  if (a == std::string_view::npos || a == 0) return false;
  const std::string_view method = line.substr(0, a);
  if (!std::all_of(method.begin(), method.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
    return false;
  }
  std::string_view rest = trim(line.substr(a + 1));
  const std::size_t b = rest.find(' ');
  const std::string_view target = b == std::string_view::npos ? rest : rest.substr(0, b);
  const std::string_view version =
      b == std::string_view::npos ? std::string_view() : trim(rest.substr(b + 1));
  if (target.empty() || version.find(' ') != std::string_view::npos) return false;
  if (!version.empty() && version.substr(0, 5) != "HTTP/") return false;
  request.method = std::string(method);
  request.target = std::string(target);
  request.version = std::string(version);
  return true;
}

}  // namespace

bool isUsableHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  return std::all_of(host.begin(), host.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
  });
}

RequestStatus parseRequestHead(std::string_view received, HttpRequest& request) {
  if (received.find('\0') != std::string_view::npos) return RequestStatus::kMalformed;
  const std::size_t end = headEnd(received);
  if (end == std::string_view::npos) {
    return received.size() >= kMaxRequestHeadBytes ? RequestStatus::kMalformed
                                                   : RequestStatus::kIncomplete;
  }
  if (end > kMaxRequestHeadBytes) return RequestStatus::kMalformed;
  std::string_view head = received.substr(0, end);
  request = HttpRequest{};
  std::size_t lineEnd = head.find('\n');
  if (!parseRequestLine(head.substr(0, lineEnd), request)) return RequestStatus::kMalformed;
  std::size_t pos = lineEnd + 1;
  while (pos < head.size()) {
    lineEnd = head.find('\n', pos);
    const std::string_view line = head.substr(pos, lineEnd - pos);
    pos = lineEnd + 1;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = trim(line.substr(0, colon));
    if (equalsNoCase(name, "User-Agent")) ++request.userAgents;
    if (equalsNoCase(name, "Host") && request.host.empty()) {
      const std::string_view value = trim(line.substr(colon + 1));
      if (isUsableHost(value)) request.host = std::string(value);
    }
  }
  return RequestStatus::kComplete;
}

}  // namespace ws
