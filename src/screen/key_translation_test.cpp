#include "screen/key_translation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ws {
namespace {

SDL_Event keyDown(SDL_Keycode key, SDL_Scancode scancode, bool repeat = false) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = scancode;
  event.key.repeat = repeat ? 1 : 0;
  return event;
}

SDL_Event keyUp(SDL_Keycode key, SDL_Scancode scancode) {
  SDL_Event event = keyDown(key, scancode);
  event.type = SDL_KEYUP;
  return event;
}

SDL_Event textInput(const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
  return event;
}

SDL_Event windowEvent(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

SDL_Event quitEvent() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return event;
}

std::string twoBytes(int second) {
  return std::string{'\xFF', static_cast<char>(second)};
}

// Feeds the events as one drained batch of the event queue and returns the key texts entered.
std::vector<std::string> keysOf(const std::vector<SDL_Event>& events) {
  std::vector<std::string> keys;
  KeyTranslator translator([&keys](std::string_view key) { keys.emplace_back(key); });
  for (const SDL_Event& event : events) translator.translate(event);
  translator.flush();
  return keys;
}

using Keys = std::vector<std::string>;

TEST(KeyTranslator, CharacterKeyEntersOnceThoughItSendsKeyAndText) {
  EXPECT_EQ(keysOf({keyDown(SDLK_a, SDL_SCANCODE_A), textInput("a"), keyUp(SDLK_a, SDL_SCANCODE_A),
                    keyDown(SDLK_PLUS, SDL_SCANCODE_EQUALS), textInput("+")}),
            (Keys{"a", "+"}));
}

TEST(KeyTranslator, ControlKeysEnterTheirControlBytes) {
  EXPECT_EQ(
      keysOf({keyDown(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), keyDown(SDLK_RETURN, SDL_SCANCODE_RETURN),
              keyDown(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER),
              keyDown(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE),
              keyDown(SDLK_TAB, SDL_SCANCODE_TAB)}),
      (Keys{"\x1B", "\r", "\r", "\b", "\t"}));
}

TEST(KeyTranslator, KeysWithoutCharacterEnterAs255AndScancode) {
  // Delete has a keycode in the character range but produces no text.
  EXPECT_EQ(keysOf({keyDown(SDLK_F5, SDL_SCANCODE_F5), keyDown(SDLK_LEFT, SDL_SCANCODE_LEFT),
                    keyDown(SDLK_DELETE, SDL_SCANCODE_DELETE)}),
            (Keys{twoBytes(SDL_SCANCODE_F5), twoBytes(SDL_SCANCODE_LEFT),
                  twoBytes(SDL_SCANCODE_DELETE)}));
}

TEST(KeyTranslator, HeldKeyEntersWhenTheQueueIsDrainedOrAnotherEventArrives) {
  std::vector<std::string> keys;
  KeyTranslator translator([&keys](std::string_view key) { keys.emplace_back(key); });
  translator.translate(keyDown(SDLK_F5, SDL_SCANCODE_F5));
  EXPECT_TRUE(keys.empty());  // its text might still follow
  translator.flush();
  EXPECT_EQ(keys, Keys{twoBytes(SDL_SCANCODE_F5)});
  translator.flush();
  EXPECT_EQ(keys.size(), 1u);

  translator.translate(keyDown(SDLK_d, SDL_SCANCODE_D));  // Ctrl+D: no text follows
  translator.translate(keyUp(SDLK_d, SDL_SCANCODE_D));
  EXPECT_EQ(keys.back(), twoBytes(SDL_SCANCODE_D));
}

TEST(KeyTranslator, KeypadKeyWithTextEntersItsCharacter) {
  EXPECT_EQ(keysOf({keyDown(SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS), textInput("+"),
                    keyDown(SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS), textInput("-")}),
            (Keys{"+", "-"}));
}

TEST(KeyTranslator, ModifierKeysEnterNothing) {
  EXPECT_EQ(keysOf({keyDown(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), keyDown(SDLK_a, SDL_SCANCODE_A),
                    textInput("A"), keyDown(SDLK_RCTRL, SDL_SCANCODE_RCTRL),
                    keyDown(SDLK_MODE, SDL_SCANCODE_MODE), keyDown(SDLK_LALT, SDL_SCANCODE_LALT)}),
            Keys{"A"});
}

TEST(KeyTranslator, RepeatedKeyEntersOncePerRepetition) {
  EXPECT_EQ(
      keysOf({keyDown(SDLK_c, SDL_SCANCODE_C), textInput("c"),
              keyDown(SDLK_c, SDL_SCANCODE_C, true), textInput("c"),
              keyDown(SDLK_c, SDL_SCANCODE_C, true), textInput("c"),
              keyDown(SDLK_DOWN, SDL_SCANCODE_DOWN), keyDown(SDLK_DOWN, SDL_SCANCODE_DOWN, true)}),
      (Keys{"c", "c", "c", twoBytes(SDL_SCANCODE_DOWN), twoBytes(SDL_SCANCODE_DOWN)}));
}

TEST(KeyTranslator, TextWithoutKeyEventStillEnters) {
  // Composed characters and remapped keys arrive as text alone; several characters at once
  // enter one by one, characters outside the code page are dropped.
  EXPECT_EQ(keysOf({textInput("\xC3\xA4"), textInput("x\xE2\x82\xAC"
                                                     "y")}),
            (Keys{"\x84", "x", "y"}));
}

TEST(KeyTranslator, CloseButtonEntersOneKeyAndIsNotAQuit) {
  EXPECT_EQ(keysOf({windowEvent(SDL_WINDOWEVENT_CLOSE), quitEvent()}),
            Keys{std::string(kCloseKeyText)});
  EXPECT_EQ(keysOf({windowEvent(SDL_WINDOWEVENT_CLOSE), windowEvent(SDL_WINDOWEVENT_CLOSE)}),
            (Keys{"\xFFk", "\xFFk"}));
  EXPECT_EQ(keysOf({quitEvent()}), Keys{"\xFFk"});
  EXPECT_EQ(
      keysOf({windowEvent(SDL_WINDOWEVENT_EXPOSED), windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}),
      Keys{});
}

TEST(KeyTranslator, HeldKeyKeepsItsPlaceBeforeTheCloseButton) {
  EXPECT_EQ(keysOf({keyDown(SDLK_F1, SDL_SCANCODE_F1), windowEvent(SDL_WINDOWEVENT_CLOSE)}),
            (Keys{twoBytes(SDL_SCANCODE_F1), "\xFFk"}));
}

TEST(CodePage437, TypedCharactersBecomeTheirCodePageBytes) {
  EXPECT_EQ(codePage437Byte(U'a'), 0x61);
  EXPECT_EQ(codePage437Byte(U'~'), 0x7E);
  EXPECT_EQ(codePage437Byte(U' '), 0x20);
  EXPECT_EQ(codePage437Byte(U'\u00E4'), 0x84);  // a umlaut
  EXPECT_EQ(codePage437Byte(U'\u00F6'), 0x94);  // o umlaut
  EXPECT_EQ(codePage437Byte(U'\u00FC'), 0x81);  // u umlaut
  EXPECT_EQ(codePage437Byte(U'\u00C4'), 0x8E);
  EXPECT_EQ(codePage437Byte(U'\u00D6'), 0x99);
  EXPECT_EQ(codePage437Byte(U'\u00DC'), 0x9A);
  EXPECT_EQ(codePage437Byte(U'\u00DF'), 0xE1);  // sharp s
  EXPECT_EQ(codePage437Byte(U'\u00A7'), 0x15);  // section sign
  EXPECT_EQ(codePage437Byte(U'\u00B0'), 0xF8);  // degree sign
  EXPECT_EQ(codePage437Byte(U'\u00A0'), 0xFF);
  EXPECT_EQ(codePage437Byte(U'\u2302'), 0x7F);
}

TEST(CodePage437, ControlsAndForeignCharactersHaveNoByte) {
  EXPECT_EQ(codePage437Byte(0), std::nullopt);
  EXPECT_EQ(codePage437Byte(U'\t'), std::nullopt);
  EXPECT_EQ(codePage437Byte(0x7F), std::nullopt);
  EXPECT_EQ(codePage437Byte(U'\u20AC'), std::nullopt);  // euro sign
  EXPECT_EQ(codePage437Byte(U'\u00E3'), std::nullopt);  // a tilde
}

TEST(CodePage437, EveryByteFromOneUpHasExactlyOneGlyph) {
  // Each byte is reached from its own code point, so the table has no duplicates or holes.
  std::vector<int> hits(256, 0);
  for (char32_t codePoint = 1; codePoint < 0x10000; ++codePoint) {
    if (const auto byte = codePage437Byte(codePoint)) ++hits[*byte];
  }
  for (int byte = 1; byte < 256; ++byte) EXPECT_EQ(hits[byte], 1) << "byte " << byte;
}

TEST(Utf8, DecodesAndSkipsMalformedBytes) {
  EXPECT_EQ(decodeUtf8("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::u32string{U'a', 0xE4, 0x20AC, 0x1F600}));
  EXPECT_EQ(decodeUtf8("\xC3"), U"");            // truncated
  EXPECT_EQ(decodeUtf8("\xC0\xAFx"), U"x");      // overlong '/' and stray continuation
  EXPECT_EQ(decodeUtf8("\xE0\x80\xAFy"), U"y");  // overlong three-byte form
  EXPECT_EQ(decodeUtf8("\xED\xA0\x80z"), U"z");  // surrogate
  EXPECT_EQ(decodeUtf8("\xC3(b"), U"(b");        // lead byte without continuation
}

}  // namespace
}  // namespace ws
