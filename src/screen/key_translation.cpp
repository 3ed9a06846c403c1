#include "screen/key_translation.h"

#include <SDL_keycode.h>

#include <utility>

namespace ws {
namespace {

bool isModifierKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
    case SDLK_LCTRL:
    case SDLK_RCTRL:
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_LGUI:
    case SDLK_RGUI:
    case SDLK_MODE:
      return true;
    default:
      return false;
  }
}

// Keys whose character is a control byte: the window system sends no text for them.
std::optional<uint8_t> controlByte(SDL_Keycode key) {
  switch (key) {
    case SDLK_ESCAPE:
      return 27;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    default:
      return std::nullopt;
  }
}

}  // namespace

KeyTranslator::KeyTranslator(KeySink sink) : sink_(std::move(sink)) {}

void KeyTranslator::translate(const SDL_Event& event) {
  const bool isWindowClose =
      event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
  if (event.type == SDL_TEXTINPUT) {
    heldKey_.reset();  // the held key is the one that produced this text
    onText(event.text.text);
  } else {
    flush();
    if (event.type == SDL_KEYDOWN) onKeyDown(event.key);
    // Closing the last window makes the window system add a quit request right after the close
    // request; both stand for the one press of the close button.
    if (isWindowClose || (event.type == SDL_QUIT && !lastWasWindowClose_)) sink_(kCloseKeyText);
  }
  lastWasWindowClose_ = isWindowClose;
}

void KeyTranslator::flush() {
  if (!heldKey_) return;
  std::string key = std::move(*heldKey_);
  heldKey_.reset();
  sink_(key);
}

void KeyTranslator::onKeyDown(const SDL_KeyboardEvent& key) {
  const SDL_Keycode code = key.keysym.sym;
  if (isModifierKey(code)) return;
  if (const auto byte = controlByte(code)) {
    sink_(std::string(1, static_cast<char>(*byte)));
    return;
  }
  heldKey_ = std::string{'\xFF', static_cast<char>(key.keysym.scancode & 0xFF)};
}

void KeyTranslator::onText(const char* utf8) {
  for (const char32_t codePoint : decodeUtf8(utf8)) {
    if (const auto byte = codePage437Byte(codePoint)) {
      sink_(std::string(1, static_cast<char>(*byte)));
    }
  }
}

}  // namespace ws
