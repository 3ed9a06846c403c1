#include "trie/child_blocks.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

namespace ws {
namespace {

// The arena opens memory in steps of this many words (4 MiB), far more than any one block needs.
constexpr size_t kCommitWords = size_t{1} << 20;

using L = BlockLayout;

}  // namespace

bool ChildBlocks::reserve(size_t words) {
  words = std::min<size_t>(words, size_t{UINT32_MAX} + 1);
  if (!space_.reserve(words * sizeof(uint32_t))) return false;
  words_ = static_cast<uint32_t*>(space_.base());
  reservedWords_ = words;
  end_ = 1;
  std::fill(std::begin(freeLists_), std::end(freeLists_), 0);
  ++epoch_;
  return true;
}

void ChildBlocks::discard() {
  space_.discard();
  end_ = 1;
  std::fill(std::begin(freeLists_), std::end(freeLists_), 0);
  ++epoch_;
}

bool ChildBlocks::commitFor(size_t end) {
  if (end * sizeof(uint32_t) <= space_.committedBytes()) return true;
  return space_.commit(std::min(reservedWords_, end + kCommitWords) * sizeof(uint32_t));
}

BlockRef ChildBlocks::allocate(int blockClass) {
  if (const BlockRef reused = freeLists_[blockClass]; reused != 0) {
    freeLists_[blockClass] = words_[reused];
    std::memset(block(reused), 0, L::blockWords(blockClass) * sizeof(uint32_t));
    return reused;
  }
  const size_t size = L::blockWords(blockClass);
  if (end_ + size > reservedWords_) {
    shortage_ = Shortage::addressSpace;
    return 0;
  }
  if (!commitFor(end_ + size)) {
    shortage_ = Shortage::memory;
    return 0;
  }
  const auto ref = static_cast<BlockRef>(end_);
  end_ += size;
  return ref;
}

void ChildBlocks::release(BlockRef ref, int blockClass) {
  words_[ref] = freeLists_[blockClass];
  freeLists_[blockClass] = ref;
}

BlockRef ChildBlocks::createRootBlock() {
  const BlockRef ref = allocate(L::kDirectClass);
  if (ref == 0) return 0;
  L::bytes(block(ref))[0] = static_cast<uint8_t>(kLinkCount);
  L::markAllPresent(block(ref));
  return ref;
}

ChildBlocks::Placement ChildBlocks::createBlock(int linkNumber) {
  const BlockRef ref = allocate(0);
  if (ref == 0) return {0, nullptr};
  L::bytes(block(ref))[0] = 1;
  L::bytes(block(ref))[1] = static_cast<uint8_t>(linkNumber);
  return {ref, L::records(block(ref))};
}

ChildBlocks::Placement ChildBlocks::addChild(BlockRef ref, int linkNumber) {
  assert(linkNumber >= 1 && linkNumber < kLinkCount && findChild(ref, linkNumber) == nullptr);
  uint32_t* words = block(ref);
  uint8_t* header = L::bytes(words);
  const int n = header[0];
  if (L::isDirect(n)) {
    // Every link number has its slot: nothing moves.
    L::markPresent(words, linkNumber);
    header[0] = static_cast<uint8_t>(n + 1);
    ChildRecord* child = L::records(words) + (linkNumber - 1);
    *child = {0, 0};
    return {ref, child};
  }
  if (std::has_single_bit(static_cast<unsigned>(n))) return moveUp(ref, linkNumber);
  // Room in place: shift the larger links and their records up by one.
  int slot = n;
  while (slot > 0 && header[slot] > linkNumber) --slot;
  if (slot < n) ++epoch_;
  ChildRecord* children = L::records(words);
  std::memmove(header + 2 + slot, header + 1 + slot, static_cast<size_t>(n - slot));
  std::memmove(children + slot + 1, children + slot, (n - slot) * sizeof(ChildRecord));
  header[1 + slot] = static_cast<uint8_t>(linkNumber);
  children[slot] = {0, 0};
  header[0] = static_cast<uint8_t>(n + 1);
  return {ref, children + slot};
}

// A full block: copy its children into a block of the next class with the new one in place.
ChildBlocks::Placement ChildBlocks::moveUp(BlockRef ref, int linkNumber) {
  const int n = L::childCount(block(ref));
  const int newClass = L::classOf(n + 1);
  const BlockRef moved = allocate(newClass);
  if (moved == 0) return {0, nullptr};
  ++epoch_;
  const uint8_t* from = L::bytes(block(ref));
  const ChildRecord* fromRecords = L::records(block(ref));
  uint32_t* to = block(moved);
  L::bytes(to)[0] = static_cast<uint8_t>(n + 1);
  ChildRecord* toRecords = L::records(to);
  int slot = -1;
  if (newClass == L::kDirectClass) {
    for (int i = 0; i < n; ++i) {
      const int k = from[1 + i];
      L::markPresent(to, k);
      toRecords[k - 1] = fromRecords[i];
    }
    L::markPresent(to, linkNumber);
    slot = linkNumber - 1;
  } else {
    slot = 0;
    while (slot < n && from[1 + slot] < linkNumber) ++slot;
    uint8_t* links = L::bytes(to) + 1;
    std::memcpy(links, from + 1, static_cast<size_t>(slot));
    std::memcpy(links + 1 + slot, from + 1 + slot, static_cast<size_t>(n - slot));
    links[slot] = static_cast<uint8_t>(linkNumber);
    std::memcpy(toRecords, fromRecords, slot * sizeof(ChildRecord));
    std::memcpy(toRecords + slot + 1, fromRecords + slot, (n - slot) * sizeof(ChildRecord));
  }
  toRecords[slot] = {0, 0};
  release(ref, L::classOf(n));
  return {moved, toRecords + slot};
}

// Appends a copy of `from`'s block `ref` to this arena, as it stands: its records still name
// child blocks of `from`.
BlockRef ChildBlocks::copyBlock(const ChildBlocks& from, BlockRef ref) {
  const int blockClass = L::classOf(L::childCount(from.block(ref)));
  const BlockRef to = allocate(blockClass);
  if (to == 0) return 0;
  const size_t size = L::blockWords(blockClass);
  // Most blocks are a few words long: a plain loop, where a string move would take longer to
  // start than to copy.
  for (size_t i = 0; i < size; ++i) words_[to + i] = from.words_[ref + i];
  // The blocks of its children are copied next: fetched ahead now, all of them at once.
  for (MutableCursor child(words_, to); child.next();) {
    if (child.record().children != 0) from.prefetch(child.record().children);
  }
  return to;
}

BlockRef ChildBlocks::relayOut(BlockRef root) {
  ChildBlocks fresh;
  if (!fresh.reserve(reservedWords_)) return root;
  const BlockRef newRoot = fresh.copyBlock(*this, root);
  if (newRoot == 0) return root;
  // Depth first through the copies, each child's block copied when the walk reaches the child:
  // a leaf's record is complete as copied.
  std::vector<MutableCursor> path{MutableCursor(fresh.words_, newRoot)};
  while (!path.empty()) {
    if (!path.back().next()) {
      path.pop_back();
      continue;
    }
    ChildRecord& child = path.back().record();
    if (child.children == 0) continue;
    const BlockRef copied = fresh.copyBlock(*this, child.children);
    if (copied == 0) return root;
    child.children = copied;
    path.push_back(MutableCursor(fresh.words_, copied));
  }
  fresh.epoch_ = epoch_ + 1;
  *this = std::move(fresh);
  return newRoot;
}

}  // namespace ws
