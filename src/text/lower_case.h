#pragma once
// The one lower-case mapping of the program, used for article texts and for the
// words looked up in the trie, so that both always agree. It does not depend on
// any locale: "A".."Z" and the Latin-1 capitals 0xC0..0xDE (except 0xD7, the
// multiplication sign) become their small forms (+0x20); every other byte stays.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ws {

namespace detail {
constexpr std::array<unsigned char, 256> makeLowerTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
    table[b] = static_cast<unsigned char>(capital ? b + 0x20 : b);
  }
  return table;
}
}  // namespace detail

inline constexpr std::array<unsigned char, 256> kLowerTable = detail::makeLowerTable();

constexpr unsigned char lowerByte(unsigned char b) {
  return kLowerTable[b];
}

// Lower-cases every byte of `text`; the length stays the same.
void lowerCaseInPlace(std::string& text);

std::string lowerCased(std::string_view text);

}  // namespace ws
