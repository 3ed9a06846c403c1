#pragma once
// Key texts from the window's events: what a key press puts into the key buffer.
//
// A key that produces a character enters as that character's code page 437 byte; Esc, Enter,
// Backspace and Tab enter as 27, 13, 8 and 9. A key without a character enters as two bytes:
// 255 and the low byte of its scancode. The window's close button enters 255 and 'k'.
// Pure modifier keys (Shift, Ctrl, Alt, AltGr, the logo keys) enter nothing: they only change
// what the next key produces. Held-down keys enter once per repetition.

#include <SDL_events.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "screen/code_page_437.h"

namespace ws {

// Turns the window's events, in the order they arrive, into key texts handed to the sink.
//
// A key press that may still be followed by the text it produces is held back until the next
// event shows whether it is: a following text event replaces it (so such a key enters once), any
// other event or flush() lets it enter as a two-byte text. Call flush() whenever the event queue
// has been drained, so that no key waits for the next event.
class KeyTranslator {
 public:
  using KeySink = std::function<void(std::string_view keyText)>;

  // REQUIRES: sink is callable for the translator's whole life.
  explicit KeyTranslator(KeySink sink);

  void translate(const SDL_Event& event);
  void flush();

 private:
  void onKeyDown(const SDL_KeyboardEvent& key);
  void onText(const char* utf8);

  KeySink sink_;
  std::optional<std::string> heldKey_;  // a key whose text may still follow
  bool lastWasWindowClose_ = false;
};

}  // namespace ws
