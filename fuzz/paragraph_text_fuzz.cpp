// Checks extractParagraphText and foldUtf8Latin1 against a slow, literal model of the
// paragraph scan (1-based positions, "0" for not found, a separate output buffer) and of the
// fold as a repeated "replace the first 0xC3 and start again".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/paragraph_text.h"

namespace {

char modelFoldByte(unsigned char follower) {
  switch (follower) {
    case 0x84: case 0x96: case 0x9C: case 0x9F: case 0xA0: case 0xA1: case 0xA4:
    case 0xA8: case 0xA9: case 0xB2: case 0xB6: case 0xBA: case 0xBC:
      return static_cast<char>(follower + 0x40);
    case 0xA7:
      return 'c';
    default:
      return '?';
  }
}

std::string modelFold(std::string text) {
  for (;;) {
    size_t lead = text.find('\xC3');
    if (lead == std::string::npos) return text;
    if (lead + 1 == text.size()) {
      text.replace(lead, 1, "?");
    } else {
      text.replace(lead, 2, 1, modelFoldByte(static_cast<unsigned char>(text[lead + 1])));
    }
  }
}

// Position (1-based) of `needle` in `text` at or after `start`; 0 if none or start is outside.
long findAt(const std::string& text, long start, const std::string& needle) {
  if (start < 1 || start > static_cast<long>(text.size())) return 0;
  size_t found = text.find(needle, static_cast<size_t>(start - 1));
  return found == std::string::npos ? 0 : static_cast<long>(found) + 1;
}

std::string modelExtract(const std::string& reply) {
  const long n = static_cast<long>(reply.size());
  std::string written;
  long s = 1;
  for (;;) {
    long o = findAt(reply, s, "<p>");
    if (o == 0) break;
    long a = o + 3;
    long c = findAt(reply, a, "</p>");
    s = c - 1;
    bool inside = false;
    for (long i = a; c != 0 && i <= c - 1; ++i) {
      char b = reply[static_cast<size_t>(i - 1)];
      if (b == '<') {
        inside = true;
      } else if (b == '>') {
        inside = false;
      } else if (!inside) {
        written += b;
      }
    }
    written += ' ';
    if (!(s < n)) break;
  }
  return written.empty() ? std::string() : modelFold(written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const std::string folded = ws::foldUtf8Latin1(input);
  if (folded != modelFold(input)) std::abort();
  if (folded.size() > input.size() || folded.find('\xC3') != std::string::npos) std::abort();
  if (folded.empty() != input.empty()) std::abort();

  std::string reply = input;
  ws::extractParagraphText(reply);
  if (reply != modelExtract(input)) std::abort();
  if (reply.empty() != (input.find("<p>") == std::string::npos)) std::abort();
  if (reply.size() > input.size()) std::abort();
  return 0;
}
