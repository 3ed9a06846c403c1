#include "net/reply_head.h"

namespace ws {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The line at the start of `text` without its line end, and where the next line begins;
// npos as the next start when no LF ends the line.
std::string_view lineAt(std::string_view text, size_t& next) {
  const size_t lf = text.find('\n');
  next = lf == std::string_view::npos ? std::string_view::npos : lf + 1;
  std::string_view line = text.substr(0, lf);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

std::optional<StatusLine> parseStatusLine(std::string_view reply) {
  size_t next = 0;
  const std::string_view line = lineAt(reply, next);
  // "HTTP/1.1 200" is 12 characters; the reason phrase follows after one blank.
  if (next == std::string_view::npos || line.size() < 12 || line.substr(0, 5) != "HTTP/" ||
      !isDigit(line[5]) || line[6] != '.' || !isDigit(line[7]) || line[8] != ' ' ||
      !isDigit(line[9]) || !isDigit(line[10]) || !isDigit(line[11]) || line[9] == '0') {
    return std::nullopt;
  }
  if (line.size() > 12 && line[12] != ' ') return std::nullopt;
  StatusLine status;
  status.code = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
  status.reason = line.size() > 13 ? line.substr(13) : std::string_view();
  return status;
}

std::optional<std::string_view> headerValue(std::string_view reply, std::string_view name) {
  if (!parseStatusLine(reply)) return std::nullopt;
  size_t next = 0;
  lineAt(reply, next);
  while (next != std::string_view::npos && next < reply.size()) {
    reply.remove_prefix(next);
    const std::string_view line = lineAt(reply, next);
    if (line.empty()) break;  // the end of the head
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos && sameNoCase(line.substr(0, colon), name)) {
      return trimmed(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

}  // namespace ws
