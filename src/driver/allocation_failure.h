#pragma once
// How the program ends when memory runs out: anywhere, on either thread — a page buffer, the
// sample log, a view's table, the word dump — a refused allocation prints one German line on
// standard error and ends the process with exit code 1, the way a trie that cannot grow ends it.
// Nothing is unwound: no code runs on with half-built state, and no lock is left for another
// thread to wait on.

#include <string_view>

namespace ws {

// The line written on a refused allocation.
inline constexpr std::string_view kOutOfMemoryMessage = "Fehler: Kein Speicher mehr frei.\n";

// Makes every refused operator new end the program as above (std::set_new_handler). Call once,
// at start-up, before the window and the crawl start.
void endOnAllocationFailure();

// Writes "Fehler: " + what + "." and a line end on standard error. For failures that end the
// crawl otherwise than by a refused allocation (the caller then returns exit code 1).
void reportFailure(std::string_view what);

}  // namespace ws
