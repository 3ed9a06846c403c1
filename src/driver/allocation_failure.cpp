#include "driver/allocation_failure.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace ws {
namespace {

// Runs inside the failed operator new: takes no memory of its own (stderr is unbuffered).
[[noreturn]] void outOfMemory() {
  std::fwrite(kOutOfMemoryMessage.data(), 1, kOutOfMemoryMessage.size(), stderr);
  std::fflush(stderr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

void endOnAllocationFailure() {
  std::set_new_handler(outOfMemory);
}

void reportFailure(std::string_view what) {
  std::fprintf(stderr, "Fehler: %.*s.\n", static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
}

}  // namespace ws
