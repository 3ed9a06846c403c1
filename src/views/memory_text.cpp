#include "views/memory_text.h"

#include "screen/number_format.h"
#include "trie/trie_node.h"

namespace ws {

std::string memoryText(std::uint32_t nodeCount) {
  return cutAfterFirstDecimal(doubleText(nodeMegabytes(nodeCount))) + " MB";
}

}  // namespace ws
