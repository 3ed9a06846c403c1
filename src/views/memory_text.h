#pragma once
// The trie's memory as the statistics block and the growth graph show it: the megabytes its nodes
// stand for at 900 bytes each, cut (not rounded) after the first decimal, then " MB".

#include <cstdint>
#include <string>

namespace ws {

// "0.1 MB" for 224 nodes, "8.5 MB" for 10000, "225 MB" for 262144 (whole megabytes: no point).
std::string memoryText(std::uint32_t nodeCount);

}  // namespace ws
