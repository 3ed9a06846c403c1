#pragma once
// The pseudo-random choices of page rendering. Seeded from the article's
// title, so a page never depends on the standard library's engines, the
// platform or what was rendered before.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ws {

// splitmix64 over an FNV-1a hash of the seed text.
class PageRandom {
 public:
  explicit PageRandom(std::string_view seedText) {
    std::uint64_t h = 1469598103934665603ULL;
    for (const char c : seedText) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ULL;
    }
    state_ = h;
  }
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // True with probability 1/n.
  bool oneIn(std::uint64_t n) { return next() % n == 0; }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

 private:
  std::uint64_t state_;
};

}  // namespace ws
