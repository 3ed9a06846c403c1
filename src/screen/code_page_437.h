#pragma once
// Key texts are code page 437 bytes: what the window bindings turn typed characters into.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

// The two-byte key text of the window's close button, in every window binding.
inline constexpr std::string_view kCloseKeyText = "\xFFk";

// The code page 437 byte whose glyph is the Unicode code point, or nothing when the code page has
// no such glyph. Control code points (below 32, and 127) have none.
std::optional<uint8_t> codePage437Byte(char32_t codePoint);

// Splits UTF-8 text into code points; malformed or truncated sequences are skipped byte by byte.
std::u32string decodeUtf8(std::string_view text);

}  // namespace ws
