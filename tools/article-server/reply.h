#pragma once
// The bytes of one reply: a head, an optional block repeated many times (so
// that very large replies need not be held in memory) and a tail.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ws {

struct Reply {
  std::string head;
  std::shared_ptr<const std::string> repeated;  // may be null; non-empty when set
  std::uint64_t repeatCount = 0;
  std::string tail;

  std::uint64_t size() const;
  // The contiguous bytes that start at offset (up to the end of the piece that
  // holds it); empty at or beyond size().
  std::string_view bytesAt(std::uint64_t offset) const;
  // The whole reply in one string (tests and small replies only).
  std::string flatten() const;
};

}  // namespace ws
