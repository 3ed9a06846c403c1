#include "views/sample_log.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <utility>

#include "screen/number_format.h"

namespace ws {

namespace {

void put(std::string& out, const std::array<std::uint8_t, 4>& bytes) {
  out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

std::uint64_t SampleLog::newIdentity() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

SampleLog::SampleLog(const SampleLog& other)
    : bytes_(other.bytes_),
      largestRatio_(other.largestRatio_),
      countsNeverFall_(other.countsNeverFall_),
      levels_(other.levels_) {}

SampleLog::SampleLog(SampleLog&& other) noexcept
    : bytes_(std::move(other.bytes_)),
      largestRatio_(other.largestRatio_),
      countsNeverFall_(other.countsNeverFall_),
      levels_(std::move(other.levels_)) {
  other.identity_ = newIdentity();
}

SampleLog& SampleLog::operator=(const SampleLog& other) {
  if (this == &other) return *this;
  bytes_ = other.bytes_;
  largestRatio_ = other.largestRatio_;
  countsNeverFall_ = other.countsNeverFall_;
  levels_ = other.levels_;
  identity_ = newIdentity();
  return *this;
}

SampleLog& SampleLog::operator=(SampleLog&& other) noexcept {
  if (this == &other) return *this;
  bytes_ = std::move(other.bytes_);
  largestRatio_ = other.largestRatio_;
  countsNeverFall_ = other.countsNeverFall_;
  levels_ = std::move(other.levels_);
  identity_ = newIdentity();
  other.identity_ = newIdentity();
  return *this;
}

void SampleLog::appendSample(std::uint32_t distinctWords, std::uint32_t wordsTotal,
                             std::uint32_t nodeCount) {
  const double ratio = static_cast<double>(distinctWords) / static_cast<double>(wordsTotal);
  append(SampleRecord{static_cast<float>(ratio), wordsTotal, nodeCount});
}

void SampleLog::append(const SampleRecord& record) {
  const std::size_t index = size();
  if (index > 0) {
    const SampleRecord previous = this->record(index - 1);
    if (record.wordsTotal < previous.wordsTotal || record.nodeCount < previous.nodeCount) {
      countsNeverFall_ = false;
    }
  }
  put(bytes_, singleBytes(record.ratio));
  put(bytes_, int32Bytes(static_cast<std::int32_t>(record.wordsTotal)));
  put(bytes_, int32Bytes(static_cast<std::int32_t>(record.nodeCount)));
  if (record.ratio > largestRatio_) largestRatio_ = record.ratio;
  const SampleBlock alone{record.ratio,
                          record.ratio,
                          std::isfinite(record.ratio),
                          record.wordsTotal,
                          record.wordsTotal,
                          record.nodeCount,
                          record.nodeCount,
                          record};
  const std::size_t inBlock = index % blockRecords(0);
  addToBlocks(0, alone, inBlock == 0, inBlock == blockRecords(0) - 1);
}

// `part` is the next sixteenth of the open block of `level` (or its next record, on level 0).
void SampleLog::addToBlocks(int level, const SampleBlock& part, bool first, bool last) {
  Level& l = levels_[level];
  if (first) {
    l.open = part;
  } else {
    l.open.lowRatio = std::min(l.open.lowRatio, part.lowRatio);
    l.open.highRatio = std::max(l.open.highRatio, part.highRatio);
    l.open.finiteRatios = l.open.finiteRatios && part.finiteRatios;
    l.open.lowWords = std::min(l.open.lowWords, part.lowWords);
    l.open.highWords = std::max(l.open.highWords, part.highWords);
    l.open.lowNodes = std::min(l.open.lowNodes, part.lowNodes);
    l.open.highNodes = std::max(l.open.highNodes, part.highNodes);
    l.open.last = part.last;
  }
  if (!last) return;
  l.done.push_back(l.open);
  if (level + 1 == kBlockLevels) return;
  const std::size_t inBlock = (l.done.size() - 1) % 16;
  addToBlocks(level + 1, l.open, inBlock == 0, inBlock == 15);
}

}  // namespace ws
