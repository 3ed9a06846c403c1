#pragma once
// A small direct-mapped table from recently counted words to the place of their node's record in
// the child-block arena, so that a word read again is counted with one hash and one compare
// instead of a descent of one block per byte. Most words of running text are repeats of a few
// thousand frequent ones.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "trie/record_place.h"

namespace ws {

// The table only keeps places; whether a place still names its word's record is the arena's to
// say (record_place.h), so nothing needs to tell the table when records move.
class RecentWords {
 public:
  // Longest word kept; longer words always descend.
  static constexpr size_t kMaxLength = 16;

  RecentWords();

  // The word as a key: its length and two 64-bit loads that together cover every byte of it
  // (overlapping where the word is shorter than 16 bytes), so that equal keys mean equal words.
  // A word longer than kMaxLength gives an invalid key (length 0), which nothing matches.
  struct Key {
    uint64_t head;
    uint64_t tail;
    uint32_t length;
    bool valid() const { return length != 0; }
  };
  static Key keyOf(std::string_view word) {
    const auto* d = reinterpret_cast<const unsigned char*>(word.data());
    const size_t n = word.size();
    if (n >= 8 && n <= kMaxLength)
      return {load<uint64_t>(d), load<uint64_t>(d + n - 8), uint32_t(n)};
    if (n >= 4 && n < 8) return {load<uint32_t>(d), load<uint32_t>(d + n - 4), uint32_t(n)};
    if (n >= 1 && n < 4) {
      return {uint64_t{d[0]} | uint64_t{d[n / 2]} << 8 | uint64_t{d[n - 1]} << 16, 0, uint32_t(n)};
    }
    return {0, 0, 0};
  }

  // The entry `key` would use, fetched ahead of a find that will read it.
  void prefetch(const Key& key) const { __builtin_prefetch(&entries_[slotOf(key)]); }

  // The place last remembered for `key`, or one that names no record when there is none.
  // REQUIRES: key.valid().
  RecordPlace find(const Key& key) const {
    const Entry& entry = entries_[slotOf(key)];
    const bool same =
        entry.head == key.head && entry.tail == key.tail && entry.length == key.length;
    return same ? entry.place : RecordPlace();
  }

  // Remembers `place` for `key`, replacing what its slot held.
  void remember(const Key& key, RecordPlace place) {
    if (!key.valid()) return;
    entries_[slotOf(key)] = {key.head, key.tail, key.length, place};
  }

 private:
  static constexpr int kSlotBits = 14;  // 16,384 entries of 32 bytes: half a megabyte

  struct Entry {
    uint64_t head;
    uint64_t tail;
    uint32_t length;  // 0: an empty entry, which no valid key matches
    RecordPlace place;
  };
  static_assert(sizeof(Entry) == 32, "two entries to a cache line");

  template <typename T>
  static T load(const unsigned char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }

  static size_t slotOf(const Key& key) {
    const uint64_t mixed =
        (key.head + key.length) * 0x9E3779B97F4A7C15ull ^ key.tail * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(mixed >> (64 - kSlotBits));
  }

  std::unique_ptr<Entry[]> entries_;
};

}  // namespace ws
