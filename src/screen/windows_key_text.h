#pragma once
// Key texts from a Windows window's keyboard messages, the same as the SDL binding makes
// (key_translation.h): a typed character (WM_CHAR) enters as its code page 437 byte, Esc, Enter,
// Backspace and Tab as 27, 13, 8 and 9; a key that types no character (WM_KEYDOWN) enters as 255
// and the low byte of its scan code; modifier keys enter nothing. Free of Windows headers, so that
// it is tested everywhere.

#include <optional>
#include <string>

namespace ws {

// The text of a typed character (one UTF-16 unit of WM_CHAR); nothing for characters that code
// page 437 lacks, other control characters and surrogate halves.
std::optional<std::string> keyTextOfCharacter(char32_t character);

// The text of a pressed key (WM_KEYDOWN's virtual-key code and scan code) when it types no
// character (`typesCharacter` false: no WM_CHAR follows it); nothing for modifier keys and for
// keys that type one, whose WM_CHAR enters instead.
std::optional<std::string> keyTextOfKey(unsigned virtualKey, unsigned scanCode,
                                        bool typesCharacter);

}  // namespace ws
