// The headline every view starts with, and the count text the text views print.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "screen/canvas.h"
#include "trie/trie_node.h"

namespace ws {

// Moves the cursor to row 14, column 1, prints the headline in cyan on black with a line end and
// leaves white on black set for the rest of the view.
void printHeadline(Canvas& screen, std::string_view headline);

// A word count as the views show it: one blank, then the decimal digits, the whole 64-bit value.
std::string countText(WordCount count);

}  // namespace ws
