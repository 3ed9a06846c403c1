#include "trie/child_blocks.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

namespace ws {
namespace {

// The arena opens memory in steps of this many words (4 MiB), far more than any one block needs.
constexpr size_t kCommitWords = size_t{1} << 20;

}  // namespace

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

bool ChildBlocks::commitFor(size_t end) {
  if (end * sizeof(uint32_t) <= space_.committedBytes()) return true;
  return space_.commit(std::min(reservedWords_, end + kCommitWords) * sizeof(uint32_t));
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
  if (!commitFor(end_ + size)) {
    shortage_ = Shortage::memory;
    return 0;
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

BlockRef ChildBlocks::relayOut(BlockRef root) {
  ChildBlocks fresh;
  if (!fresh.reserve(reservedWords_)) return root;
  // Records in the fresh arena whose child blocks are still to be copied, the next one on top.
  std::vector<uint32_t> pending;
  const auto copy = [&](BlockRef from) -> BlockRef {
    const size_t size = blockWords(classOf(childCount(from)));
    if (!fresh.commitFor(fresh.end_ + size)) return 0;
    const auto to = static_cast<BlockRef>(fresh.end_);
    fresh.end_ += size;
    // Most blocks are a few words long: a plain loop, where a string move would take longer to
    // start than to copy.
    for (size_t i = 0; i < size; ++i) fresh.words_[to + i] = words_[from + i];
    const auto records =
        static_cast<uint32_t>(reinterpret_cast<uint32_t*>(fresh.records(to)) - fresh.words_);
    // Only children with children of their own wait: a leaf's record is complete as copied.
    const auto wait = [&](int slot) {
      const uint32_t record = records + 2 * static_cast<uint32_t>(slot);
      const BlockRef children = fresh.words_[record + 1];
      if (children == 0) return;
      prefetch(children);
      pending.push_back(record);
    };
    if (!fresh.isDirect(to)) {
      for (int i = fresh.childCount(to) - 1; i >= 0; --i) wait(i);
    } else {
      for (int k = kLinkCount; k >= 1; --k) {
        if (fresh.isPresent(to, k)) wait(k - 1);
      }
    }
    return to;
  };
  const BlockRef newRoot = copy(root);
  if (newRoot == 0) return root;
  while (!pending.empty()) {
    const uint32_t record = pending.back();
    pending.pop_back();
    // The record's second word is its child block, still a place in the old arena.
    uint32_t& children = fresh.words_[record + 1];
    const BlockRef moved = copy(children);
    if (moved == 0) return root;
    children = moved;
  }
  *this = std::move(fresh);
  return newRoot;
}

}  // namespace ws
