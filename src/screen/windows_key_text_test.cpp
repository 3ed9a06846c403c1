#include "screen/windows_key_text.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

// The crawler's keys arrive as their bytes, from the main keyboard and the keypad alike (both
// type the same WM_CHAR), and Esc as 27.
TEST(WindowsKeyText, TypedCharactersEnterAsTheirCodePage437Bytes) {
  for (const char32_t key : {U'1', U'8', U'd', U'+', U'-'}) {
    EXPECT_EQ(keyTextOfCharacter(key), std::string(1, static_cast<char>(key)));
  }
  EXPECT_EQ(keyTextOfCharacter(27), "\x1b");
  EXPECT_EQ(keyTextOfCharacter(13), "\r");
  EXPECT_EQ(keyTextOfCharacter(U'\u00E4'), "\x84");  // a umlaut
  EXPECT_EQ(keyTextOfCharacter(1), std::nullopt);    // Ctrl+A
  EXPECT_EQ(keyTextOfCharacter(0x20AC), std::nullopt);
  EXPECT_EQ(keyTextOfCharacter(0xD83D), std::nullopt);  // a surrogate half
}

TEST(WindowsKeyText, KeysWithoutACharacterEnterTwoBytesAndModifiersNothing) {
  EXPECT_EQ(keyTextOfKey(0x70, 0x3B, false), "\xFF\x3B");    // F1
  EXPECT_EQ(keyTextOfKey(0x44, 0x20, true), std::nullopt);   // "d": its WM_CHAR enters
  EXPECT_EQ(keyTextOfKey(0x10, 0x2A, false), std::nullopt);  // Shift
  EXPECT_EQ(keyTextOfKey(0xA5, 0x38, false), std::nullopt);  // AltGr
}

}  // namespace
}  // namespace ws
