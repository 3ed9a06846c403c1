// View 2: how often ten fixed words were read, and how long the ten look-ups took.
#pragma once

#include <array>
#include <string_view>

#include "screen/canvas.h"
#include "screen/clock.h"
#include "trie/word_trie.h"

namespace ws {

// The words looked up, in the form they are shown in; they are lower-cased for the look-up.
inline constexpr std::array<std::string_view, 10> lookupList = {
    "Computernerd", "freeBasic", "der", "die", "das", "und", "in", "Klingone", "Rhabarber", "Haus"};

// REQUIRES: cursor on row 14, column 1 (see ViewPainter::drawView).
void drawLookupView(Canvas& screen, Clock& clock, const WordTrie& trie);

}  // namespace ws
