#include "net/paragraph_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace ws {
namespace {

constexpr std::string_view kParagraphOpen = "<p>";
constexpr std::string_view kParagraphClose = "</p>";
constexpr unsigned char kUtf8Lead = 0xC3;

// Latin-1 byte for each byte that follows 0xC3; "?" where the letter has no place here.
constexpr std::array<char, 256> makeFoldTable() {
  std::array<char, 256> table{};
  for (char& entry : table) entry = '?';
  for (unsigned follower : {0x84u, 0x96u, 0x9Cu, 0x9Fu, 0xA0u, 0xA1u, 0xA4u, 0xA8u, 0xA9u, 0xB2u,
                            0xB6u, 0xBAu, 0xBCu}) {
    table[follower] = static_cast<char>(follower + 0x40);
  }
  table[0xA7] = 'c';  // c with cedilla loses its cedilla
  return table;
}
constexpr std::array<char, 256> kFoldTable = makeFoldTable();

// Index of the first occurrence of `needle` in data[from, size), or size if there is none.
// Scans for the first byte with memchr: on HTML this beats a general substring search.
size_t findFrom(const char* data, size_t size, size_t from, std::string_view needle) {
  while (from + needle.size() <= size) {
    const void* lead = std::memchr(data + from, needle[0], size - from - needle.size() + 1);
    if (!lead) return size;
    size_t at = static_cast<size_t>(static_cast<const char*>(lead) - data);
    if (std::memcmp(data + at + 1, needle.data() + 1, needle.size() - 1) == 0) return at;
    from = at + 1;
  }
  return size;
}

// Index of the first "<" or ">" in data[from, end), or end. The two bytes differ only in bit 1,
// so eight bytes at a time are tested for (byte | 2) == '>'.
size_t findAngle(const char* data, size_t from, size_t end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    while (from + 8 <= end) {
      uint64_t word;
      std::memcpy(&word, data + from, 8);
      uint64_t probe = (word | (kOnes * 0x02)) ^ (kOnes * '>');
      uint64_t zeros = (probe - kOnes) & ~probe & kHighs;
      if (zeros) return from + (std::countr_zero(zeros) >> 3);
      from += 8;
    }
  }
  while (from < end && (static_cast<unsigned char>(data[from]) | 0x02) != '>') ++from;
  return from;
}

// Moves the bytes of data[from, end) that stand outside tags down to data[write...]; returns
// the new write position. "<" enters a tag, ">" leaves it; both are dropped, and the state
// starts outside. REQUIRES: write <= from.
size_t compactParagraph(char* data, size_t from, size_t end, size_t write) {
  bool insideTag = false;
  while (from < end) {
    if (insideTag) {
      const void* close = std::memchr(data + from, '>', end - from);
      if (!close) break;
      from = static_cast<size_t>(static_cast<const char*>(close) - data) + 1;
      insideTag = false;
      continue;
    }
    size_t angle = findAngle(data, from, end);
    std::memmove(data + write, data + from, angle - from);
    write += angle - from;
    if (angle == end) break;
    insideTag = data[angle] == '<';
    from = angle + 1;
  }
  return write;
}

}  // namespace

size_t foldUtf8Latin1InPlace(char* data, size_t size) {
  const void* lead = std::memchr(data, kUtf8Lead, size);
  if (!lead) return size;
  size_t read = static_cast<size_t>(static_cast<const char*>(lead) - data);
  size_t write = read;
  while (read < size) {
    // data[read] is a 0xC3; it takes the byte after it, if there is one.
    if (read + 1 < size) {
      data[write++] = kFoldTable[static_cast<unsigned char>(data[read + 1])];
      read += 2;
    } else {
      data[write++] = '?';
      read += 1;
    }
    const void* next = std::memchr(data + read, kUtf8Lead, size - read);
    size_t runEnd = next ? static_cast<size_t>(static_cast<const char*>(next) - data) : size;
    std::memmove(data + write, data + read, runEnd - read);
    write += runEnd - read;
    read = runEnd;
  }
  return write;
}

std::string foldUtf8Latin1(std::string_view text) {
  std::string folded(text);
  folded.resize(foldUtf8Latin1InPlace(folded.data(), folded.size()));
  return folded;
}

void extractParagraphText(std::string& reply) {
  char* data = reply.data();
  const size_t size = reply.size();
  // Each paragraph writes at most its content plus one blank while consuming at least its
  // seven marker bytes, so the write position stays behind every byte still to be read.
  size_t write = 0;
  size_t search = 0;
  for (;;) {
    size_t open = findFrom(data, size, search, kParagraphOpen);
    if (open == size) break;
    size_t content = open + kParagraphOpen.size();
    size_t close = findFrom(data, size, content, kParagraphClose);
    if (close == size) {
      // An unclosed paragraph keeps nothing but its blank and ends the scan.
      data[write++] = ' ';
      break;
    }
    write = compactParagraph(data, content, close, write);
    data[write++] = ' ';
    // The closing marker cannot itself begin a "<p>", so the next search starts after it.
    search = close + kParagraphClose.size();
  }
  reply.resize(write == 0 ? 0 : foldUtf8Latin1InPlace(data, write));
}

}  // namespace ws
