// The arena of child blocks on its own: every class, the moves up a class, the free lists, the
// re-lay, and which record places still hold.

#include "trie/child_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ws {
namespace {

using Children = std::vector<std::pair<int, uint32_t>>;  // link number, record count

// What the cursor reads of a block's children.
Children childrenOf(const ChildBlocks& blocks, BlockRef block) {
  Children seen;
  for (ChildCursor child = blocks.children(block); child.next();) {
    seen.emplace_back(child.linkNumber(), child.recordCount());
  }
  return seen;
}

ChildBlocks reservedBlocks() {
  ChildBlocks blocks;
  EXPECT_TRUE(blocks.reserve(size_t{1} << 22));
  return blocks;
}

// One block grows from 1 to 223 children in a scrambled order, through every listed class and
// into the direct one. After each child: the cursor reads every child in link order with its
// own record, findChild finds exactly the children, and the block moved exactly when it was full.
TEST(ChildBlocks, EveryClassHoldsItsChildrenInLinkOrderAsTheyMoveUp) {
  ChildBlocks blocks = reservedBlocks();
  std::vector<int> links(kLinkCount - 1);
  std::iota(links.begin(), links.end(), 1);
  std::shuffle(links.begin(), links.end(), std::mt19937(7));
  std::map<int, uint32_t> expected;
  ChildBlocks::Placement placed = blocks.createBlock(links[0]);
  ASSERT_NE(placed.block, 0u);
  // The first child has a child of its own, which must stay reachable through every move.
  placed.record->children = blocks.createBlock(kLinkCount - 1).block;
  BlockRef block = placed.block;
  for (size_t n = 1;; ++n) {
    placed.record->count = 1000u + static_cast<uint32_t>(links[n - 1]);
    expected[links[n - 1]] = placed.record->count;
    ASSERT_EQ(childrenOf(blocks, block), Children(expected.begin(), expected.end())) << n;
    for (int k = 1; k <= kLinkCount; ++k) {
      const ChildRecord* found = blocks.findChild(block, k);
      ASSERT_EQ(found != nullptr, expected.count(k) == 1) << k << " among " << n;
      if (found != nullptr) {
        ASSERT_EQ(found->count, expected[k]);
      }
    }
    if (n == links.size()) break;
    placed = blocks.addChild(block, links[n]);
    ASSERT_NE(placed.block, 0u);
    EXPECT_EQ(placed.block != block, std::has_single_bit(n) && n <= 64) << n;
    EXPECT_EQ(placed.record->count, 0u);
    EXPECT_EQ(placed.record->children, 0u);
    block = placed.block;
  }
  const BlockRef grandchildren = blocks.findChild(block, links[0])->children;
  EXPECT_EQ(childrenOf(blocks, grandchildren), (Children{{kLinkCount - 1, 0}}));
}

// A block left behind by a move up is the next block of its class, and reads as new.
TEST(ChildBlocks, BlocksLeftByAMoveAreTakenAgainBeforeTheArenaGrows) {
  ChildBlocks blocks = reservedBlocks();
  const ChildBlocks::Placement one = blocks.createBlock(5);
  one.record->count = 77;
  const ChildBlocks::Placement two = blocks.addChild(one.block, 9);  // room for 2: moves
  two.record->count = 88;
  const size_t used = blocks.usedWords();
  const ChildBlocks::Placement reused = blocks.createBlock(3);
  EXPECT_EQ(reused.block, one.block);
  EXPECT_EQ(blocks.usedWords(), used);
  EXPECT_EQ(childrenOf(blocks, reused.block), (Children{{3, 0}}));
  EXPECT_EQ(reused.record->children, 0u);

  const ChildBlocks::Placement three = blocks.addChild(two.block, 2);  // room for 4: moves
  const ChildBlocks::Placement other = blocks.createBlock(4);          // from the arena's end
  const size_t usedBefore = blocks.usedWords();
  const ChildBlocks::Placement grown = blocks.addChild(other.block, 6);
  EXPECT_EQ(grown.block, two.block);
  EXPECT_EQ(blocks.usedWords(), usedBefore);
  EXPECT_EQ(childrenOf(blocks, grown.block), (Children{{4, 0}, {6, 0}}));
  EXPECT_EQ(childrenOf(blocks, three.block), (Children{{2, 0}, {5, 77}, {9, 88}}));
}

// A place names its record until a record may move: a move up, a shift in place, a re-lay, a
// discard. A child put after the others moves nothing and keeps every place.
TEST(ChildBlocks, PlacesResolveOnlyUntilARecordMayMove) {
  ChildBlocks blocks = reservedBlocks();
  EXPECT_EQ(blocks.recordAt(RecordPlace()), nullptr);
  BlockRef root = blocks.createRootBlock();
  ChildRecord* root1 = &blocks.rootChild(root, 1);
  ChildBlocks::Placement placed = blocks.createBlock(10);
  root1->children = placed.block;
  RecordPlace ten = blocks.placeOf(*placed.record);
  EXPECT_EQ(blocks.recordAt(ten), placed.record);

  placed = blocks.addChild(root1->children, 20);  // full: moves up
  root1->children = placed.block;
  EXPECT_EQ(blocks.recordAt(ten), nullptr);
  for (const int link : {30, 40, 50})
    root1->children = blocks.addChild(root1->children, link).block;
  ChildRecord* tenNow = blocks.findChild(root1->children, 10);
  ten = blocks.placeOf(*tenNow);
  const ChildRecord* sixty = blocks.addChild(root1->children, 60).record;  // after the others
  EXPECT_EQ(blocks.recordAt(ten), tenNow);
  EXPECT_EQ(blocks.findChild(root1->children, 60), sixty);

  blocks.addChild(root1->children, 45);  // shifts 50 and 60 in place
  EXPECT_EQ(blocks.recordAt(ten), nullptr);

  ten = blocks.placeOf(*blocks.findChild(root1->children, 10));
  root = blocks.relayOut(root);
  EXPECT_EQ(blocks.recordAt(ten), nullptr);
  const RecordPlace relaid = blocks.placeOf(blocks.rootChild(root, 1));
  EXPECT_EQ(blocks.recordAt(relaid), &blocks.rootChild(root, 1));
  blocks.discard();
  EXPECT_EQ(blocks.recordAt(relaid), nullptr);
}

struct Visited {
  int depth;
  int link;
  uint32_t count;
  int childCount;
  bool operator==(const Visited&) const = default;
};

// Depth first from `block`, as a walk reads it, with the block of every node visited.
void walkBlocks(const ChildBlocks& blocks, BlockRef block, int depth, std::vector<Visited>& visits,
                std::vector<BlockRef>& order) {
  order.push_back(block);
  for (ChildCursor child = blocks.children(block); child.next();) {
    visits.push_back({depth, child.linkNumber(), child.recordCount(), child.childCount()});
    const BlockRef below = blocks.findChild(block, child.linkNumber())->children;
    if (below != 0) walkBlocks(blocks, below, depth + 1, visits, order);
  }
}

// A re-lay keeps every child, count and link, and puts the blocks one right after the other in
// the order a walk reads them, the arena ending with the last; done again, it changes nothing.
TEST(ChildBlocks, RelayOutKeepsEveryChildAndLaysTheBlocksOutInWalkOrder) {
  ChildBlocks blocks = reservedBlocks();
  BlockRef root = blocks.createRootBlock();
  std::mt19937 random(3);
  uint32_t tag = 0;
  for (int n = 0; n < 3000; ++n) {
    // Short words over a few letters, and under "q" a node with more children than a listed
    // block holds.
    std::string word = n % 3 == 0 ? std::string("q") + static_cast<char>(33 + random() % 223)
                                  : std::string(1 + random() % 5, ' ');
    if (n % 3 != 0) {
      for (char& c : word) c = "aeinrst"[random() % 7];
    }
    ChildRecord* node = &blocks.rootChild(root, linkNumberOf(static_cast<unsigned char>(word[0])));
    for (size_t pos = 1; pos < word.size(); ++pos) {
      const int link = linkNumberOf(static_cast<unsigned char>(word[pos]));
      ChildRecord* child = node->children == 0 ? nullptr : blocks.findChild(node->children, link);
      if (child == nullptr) {
        const ChildBlocks::Placement placed =
            node->children == 0 ? blocks.createBlock(link) : blocks.addChild(node->children, link);
        node->children = placed.block;
        child = placed.record;
      }
      node = child;
    }
    node->count = ++tag;
  }
  std::vector<Visited> before;
  std::vector<BlockRef> scattered;
  walkBlocks(blocks, root, 1, before, scattered);

  for (int relay = 0; relay < 2; ++relay) {
    const size_t usedBefore = blocks.usedWords();
    root = blocks.relayOut(root);
    std::vector<Visited> after;
    std::vector<BlockRef> order;
    walkBlocks(blocks, root, 1, after, order);
    ASSERT_EQ(after, before);
    BlockRef next = order.front();
    for (const BlockRef block : order) {
      ASSERT_EQ(block, next);
      int children = 0;
      for (ChildCursor child = blocks.children(block); child.next();) ++children;
      next = block + static_cast<BlockRef>(BlockLayout::blockWords(BlockLayout::classOf(children)));
    }
    EXPECT_EQ(blocks.usedWords(), next);
    EXPECT_LE(blocks.usedWords(), usedBefore);
    if (relay == 1) {
      EXPECT_EQ(blocks.usedWords(), usedBefore);  // nothing left to drop
    }
  }
}

}  // namespace
}  // namespace ws
