#include "reply.h"

namespace ws {

std::uint64_t Reply::size() const {
  const std::uint64_t middle = repeated ? repeated->size() * repeatCount : 0;
  return head.size() + middle + tail.size();
}

std::string_view Reply::bytesAt(std::uint64_t offset) const {
  if (offset < head.size()) return std::string_view(head).substr(offset);
  offset -= head.size();
  if (repeated && !repeated->empty()) {
    const std::uint64_t middle = repeated->size() * repeatCount;
    if (offset < middle) return std::string_view(*repeated).substr(offset % repeated->size());
    offset -= middle;
  }
  if (offset < tail.size()) return std::string_view(tail).substr(offset);
  return {};
}

std::string Reply::flatten() const {
  std::string all;
  all.reserve(size());
  for (std::uint64_t at = 0; at < size();) {
    const std::string_view piece = bytesAt(at);
    all += piece;
    at += piece.size();
  }
  return all;
}

}  // namespace ws
