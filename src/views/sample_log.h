// The sample log: how the collection grew, one record per 1000 characters of article text read.
// It owns its record format; the driver appends to it and the growth graph reads it in place.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

// One record, decoded.
struct SampleRecord {
  float ratio = 0.0f;  // distinctWords / wordsTotal at the time of the sample
  std::uint32_t wordsTotal = 0;
  std::uint32_t nodeCount = 0;
};

// Smallest and largest values of the records of one block, for readers that can skip a block
// whose records all look alike.
struct SampleBlock {
  float lowRatio;
  float highRatio;
  bool finiteRatios;  // no NaN and no infinity among the ratios; else the two say nothing
  std::uint32_t lowWords;
  std::uint32_t highWords;
  std::uint32_t lowNodes;
  std::uint32_t highNodes;
  SampleRecord last;  // the block's last record
};

// Records of 12 bytes back to back: the ratio as a little-endian IEEE single, then wordsTotal and
// nodeCount as little-endian unsigned 32-bit integers.
// INVARIANT: at least one record; record 0 is all zero bytes. Records are only appended, never
// changed or removed. Block k of level l summarises the blockRecords(l) records from
// blockRecords(l) * k on, once all of them exist.
class SampleLog {
 public:
  static constexpr std::size_t kRecordSize = 12;
  // Blocks of 16, 256, 4096 and 65536 records.
  static constexpr int kBlockLevels = 4;
  static constexpr std::size_t blockRecords(int level) { return std::size_t{16} << (4 * level); }

  SampleLog() { append(SampleRecord{}); }
  // A copy, or a log moved from, starts with an identity of its own.
  SampleLog(const SampleLog& other);
  SampleLog(SampleLog&& other) noexcept;
  SampleLog& operator=(const SampleLog& other);
  SampleLog& operator=(SampleLog&& other) noexcept;
  ~SampleLog() = default;

  // Tells logs apart for readers that keep results from one drawing to the next: two logs of one
  // identity agree on every record that both hold (records are only appended).
  std::uint64_t identity() const { return identity_; }

  // Appends the record of a sample taken with these counters: the ratio is divided in double and
  // rounded once to single precision. REQUIRES: wordsTotal >= 1.
  void appendSample(std::uint32_t distinctWords, std::uint32_t wordsTotal, std::uint32_t nodeCount);
  // Appends any record as it is (a damaged log, in tests).
  void append(const SampleRecord& record);

  std::size_t size() const { return bytes_.size() / kRecordSize; }
  // REQUIRES: index < size().
  SampleRecord record(std::size_t index) const {
    const char* bytes = bytes_.data() + index * kRecordSize;
    return SampleRecord{std::bit_cast<float>(littleEndian32(bytes)), littleEndian32(bytes + 4),
                        littleEndian32(bytes + 8)};
  }

  // Blocks of the level whose records are all appended. REQUIRES: 0 <= level < kBlockLevels.
  std::size_t blockCount(int level) const { return levels_[level].done.size(); }
  // REQUIRES: index < blockCount(level).
  const SampleBlock& block(int level, std::size_t index) const {
    return levels_[level].done[index];
  }

  // Whether wordsTotal and nodeCount never fall from one record to the next (as in every log the
  // program writes, whose counters only grow).
  bool countsNeverFall() const { return countsNeverFall_; }

  // The largest ratio of any record, at least 0; NaN ratios do not count.
  float largestRatio() const { return largestRatio_; }

  // The records as stored; valid until the next append.
  std::string_view bytes() const { return bytes_; }

 private:
  static std::uint32_t littleEndian32(const char* bytes) {
    const auto byte = [bytes](int i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]));
    };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
  }

  struct Level {
    std::vector<SampleBlock> done;
    SampleBlock open{};  // the block being filled; meaningful once it holds a part
  };
  void addToBlocks(int level, const SampleBlock& part, bool first, bool last);
  static std::uint64_t newIdentity();

  std::string bytes_;
  float largestRatio_ = 0.0f;
  bool countsNeverFall_ = true;
  std::array<Level, kBlockLevels> levels_;
  std::uint64_t identity_ = newIdentity();
};

}  // namespace ws
