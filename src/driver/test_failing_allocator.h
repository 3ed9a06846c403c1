#pragma once
// A failure hook in the test binary's operator new: the n-th allocation from now fails as a
// refused one does (the new handler runs, or std::bad_alloc is thrown when there is none), so a
// test can refuse memory to one allocation site after another. Not part of any library.

#include <cstdint>

namespace ws::testing {

// Makes the n-th allocation from now fail, on any thread (1: the next one); 0 disarms.
void failAllocation(std::uint64_t n);

// Allocations made so far by operator new, on every thread.
std::uint64_t allocationsMade();

}  // namespace ws::testing
