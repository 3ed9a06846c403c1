#include "trie/child_blocks.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <iterator>

namespace ws {
namespace {

// The arena opens memory in steps of this many words (4 MiB), far more than any one block needs.
constexpr size_t kCommitWords = size_t{1} << 20;

}  // namespace

int ChildBlocks::classOf(int childCount) {
  if (childCount > kLargestListed) return kDirectClass;
  return std::bit_width(static_cast<unsigned>(std::max(childCount, 1) - 1));
}

size_t ChildBlocks::capacity(int blockClass) {
  return blockClass == kDirectClass ? size_t{kLinkCount} : size_t{1} << blockClass;
}

size_t ChildBlocks::headerWords(int blockClass) {
  // Listed: the child count and one byte per possible child, rounded up to whole words.
  return blockClass == kDirectClass ? size_t{kDirectHeaderWords} : (capacity(blockClass) + 4) / 4;
}

bool ChildBlocks::reserve(size_t words) {
  words = std::min<size_t>(words, size_t{UINT32_MAX} + 1);
  if (!space_.reserve(words * sizeof(uint32_t))) return false;
  words_ = static_cast<uint32_t*>(space_.base());
  reservedWords_ = words;
  end_ = 1;
  std::fill(std::begin(freeLists_), std::end(freeLists_), 0);
  return true;
}

void ChildBlocks::discard() {
  space_.discard();
  end_ = 1;
  std::fill(std::begin(freeLists_), std::end(freeLists_), 0);
}

BlockRef ChildBlocks::allocate(int blockClass) {
  if (const BlockRef reused = freeLists_[blockClass]; reused != 0) {
    freeLists_[blockClass] = words_[reused];
    std::memset(words_ + reused, 0, blockWords(blockClass) * sizeof(uint32_t));
    return reused;
  }
  const size_t size = blockWords(blockClass);
  if (end_ + size > reservedWords_) {
    shortage_ = Shortage::addressSpace;
    return 0;
  }
  if ((end_ + size) * sizeof(uint32_t) > space_.committedBytes()) {
    const size_t want = std::min(reservedWords_, end_ + size + kCommitWords);
    if (!space_.commit(want * sizeof(uint32_t))) {
      shortage_ = Shortage::memory;
      return 0;
    }
  }
  const auto block = static_cast<BlockRef>(end_);
  end_ += size;
  return block;
}

void ChildBlocks::release(BlockRef block, int blockClass) {
  words_[block] = freeLists_[blockClass];
  freeLists_[blockClass] = block;
}

BlockRef ChildBlocks::createRootBlock() {
  const BlockRef block = allocate(kDirectClass);
  if (block == 0) return 0;
  bytes(block)[0] = static_cast<uint8_t>(kLinkCount);
  std::fill(words_ + block + 1, words_ + block + kDirectHeaderWords, ~uint32_t{0});
  return block;
}

BlockRef ChildBlocks::createBlock(int linkNumber) {
  const BlockRef block = allocate(0);
  if (block == 0) return 0;
  bytes(block)[0] = 1;
  bytes(block)[1] = static_cast<uint8_t>(linkNumber);
  return block;
}

int ChildBlocks::findSlot(BlockRef block, int linkNumber) const {
  const uint8_t* header = bytes(block);
  const int n = header[0];
  if (n > kLargestListed) return isPresent(block, linkNumber) ? linkNumber - 1 : -1;
  // The links are sorted: stop at the first that is not smaller.
  for (int i = 0; i < n; ++i) {
    if (header[1 + i] >= linkNumber) return header[1 + i] == linkNumber ? i : -1;
  }
  return -1;
}

ChildBlocks::Placement ChildBlocks::addChild(BlockRef block, int linkNumber) {
  assert(linkNumber >= 1 && linkNumber < kLinkCount && findSlot(block, linkNumber) < 0);
  uint8_t* header = bytes(block);
  const int n = header[0];
  if (n > kLargestListed) {
    words_[block + 1 + (linkNumber - 1) / 32] |= uint32_t{1} << ((linkNumber - 1) % 32);
    header[0] = static_cast<uint8_t>(n + 1);
    records(block)[linkNumber - 1] = {0, 0};
    return {block, linkNumber - 1};
  }
  if (std::has_single_bit(static_cast<unsigned>(n))) return moveUp(block, linkNumber);
  // Room in place: shift the larger links and their records up by one.
  int slot = n;
  while (slot > 0 && header[slot] > linkNumber) --slot;
  ChildRecord* children = records(block);
  std::memmove(header + 2 + slot, header + 1 + slot, static_cast<size_t>(n - slot));
  std::memmove(children + slot + 1, children + slot, (n - slot) * sizeof(ChildRecord));
  header[1 + slot] = static_cast<uint8_t>(linkNumber);
  children[slot] = {0, 0};
  header[0] = static_cast<uint8_t>(n + 1);
  return {block, slot};
}

// A full block: copy its children into a block of the next class with the new one in place.
ChildBlocks::Placement ChildBlocks::moveUp(BlockRef block, int linkNumber) {
  const int n = bytes(block)[0];
  const int oldClass = classOf(n);
  const int newClass = classOf(n + 1);
  const BlockRef moved = allocate(newClass);
  if (moved == 0) return {0, -1};
  const uint8_t* from = bytes(block);
  const ChildRecord* fromRecords = records(block);
  uint8_t* to = bytes(moved);
  to[0] = static_cast<uint8_t>(n + 1);
  ChildRecord* toRecords = records(moved);
  int slot = -1;
  if (newClass == kDirectClass) {
    for (int i = 0; i < n; ++i) {
      const int k = from[1 + i];
      words_[moved + 1 + (k - 1) / 32] |= uint32_t{1} << ((k - 1) % 32);
      toRecords[k - 1] = fromRecords[i];
    }
    words_[moved + 1 + (linkNumber - 1) / 32] |= uint32_t{1} << ((linkNumber - 1) % 32);
    slot = linkNumber - 1;
  } else {
    slot = 0;
    while (slot < n && from[1 + slot] < linkNumber) ++slot;
    std::memcpy(to + 1, from + 1, static_cast<size_t>(slot));
    std::memcpy(to + 2 + slot, from + 1 + slot, static_cast<size_t>(n - slot));
    to[1 + slot] = static_cast<uint8_t>(linkNumber);
    std::memcpy(toRecords, fromRecords, slot * sizeof(ChildRecord));
    std::memcpy(toRecords + slot + 1, fromRecords + slot, (n - slot) * sizeof(ChildRecord));
  }
  toRecords[slot] = {0, 0};
  release(block, oldClass);
  return {moved, slot};
}

}  // namespace ws
