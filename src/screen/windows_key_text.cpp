#include "screen/windows_key_text.h"

#include "screen/code_page_437.h"

namespace ws {
namespace {

// Windows' virtual-key codes of the modifier keys (winuser.h).
bool isModifierKey(unsigned virtualKey) {
  switch (virtualKey) {
    case 0x10:  // VK_SHIFT
    case 0x11:  // VK_CONTROL
    case 0x12:  // VK_MENU (Alt)
    case 0x5B:  // VK_LWIN
    case 0x5C:  // VK_RWIN
    case 0xA0:  // VK_LSHIFT
    case 0xA1:  // VK_RSHIFT
    case 0xA2:  // VK_LCONTROL
    case 0xA3:  // VK_RCONTROL
    case 0xA4:  // VK_LMENU
    case 0xA5:  // VK_RMENU (AltGr)
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<std::string> keyTextOfCharacter(char32_t character) {
  switch (character) {
    case 27:  // Esc
    case 13:  // Enter
    case 8:   // Backspace
    case 9:   // Tab
      return std::string(1, static_cast<char>(character));
    default:
      break;
  }
  if (const auto byte = codePage437Byte(character)) {
    return std::string(1, static_cast<char>(*byte));
  }
  return std::nullopt;
}

std::optional<std::string> keyTextOfKey(unsigned virtualKey, unsigned scanCode,
                                        bool typesCharacter) {
  if (typesCharacter || isModifierKey(virtualKey)) return std::nullopt;
  return std::string{'\xFF', static_cast<char>(scanCode & 0xFF)};
}

}  // namespace ws
