#include "percent_coding.h"

#include <cstring>

namespace ws {

namespace {

bool isSafe(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != 0 && std::strchr("-.~()!*,:'", c) != nullptr;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string encodeTitle(std::string_view title) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(title.size() * 3);
  for (const char ch : title) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') {
      out += '_';
    } else if (isSafe(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> decodeTitle(std::string_view segment) {
  std::string out;
  out.reserve(segment.size());
  for (std::size_t i = 0; i < segment.size(); ++i) {
    const char c = segment[i];
    if (c == '%') {
      if (i + 2 >= segment.size()) return std::nullopt;
      const int hi = hexValue(segment[i + 1]);
      const int lo = hexValue(segment[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else if (c == '_') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ws
