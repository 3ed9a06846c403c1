#include "views/sample_log.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <utility>

namespace ws {

namespace {

// The first thinning makes spans of 2^3 records: a span takes five times a record's bytes, so the
// spans of a full log fill half their room, as they do after every later thinning.
constexpr int kFirstSpanShift = 3;
// The share of different words falls fastest at the start of a run: there its records lie many
// rows apart, which no span could show. These stay one by one.
constexpr std::size_t kHeadRecords = 4096;

}  // namespace

std::uint64_t SampleLog::newIdentity() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

SampleLog::SampleLog(std::size_t exactRecords)
    : exactRecords_(exactRecords),
      headRecords_(std::min(kHeadRecords, exactRecords / 16)),
      spanRoom_(exactRecords / 4) {
  assert(exactRecords >= 64 && (exactRecords & (exactRecords - 1)) == 0);
  append(SampleRecord{});
}

SampleLog::SampleLog(const SampleLog& other)
    : exactRecords_(other.exactRecords_),
      headRecords_(other.headRecords_),
      spanRoom_(other.spanRoom_),
      records_(other.records_),
      spans_(other.spans_),
      spanShift_(other.spanShift_),
      size_(other.size_),
      fixedEntries_(other.fixedEntries_),
      last_(other.last_),
      largestRatio_(other.largestRatio_),
      countsNeverFall_(other.countsNeverFall_),
      wordsSteps_(other.wordsSteps_),
      nodesSteps_(other.nodesSteps_),
      levels_(other.levels_) {}

SampleLog::SampleLog(SampleLog&& other) noexcept
    : exactRecords_(other.exactRecords_),
      headRecords_(other.headRecords_),
      spanRoom_(other.spanRoom_),
      records_(std::move(other.records_)),
      spans_(std::move(other.spans_)),
      spanShift_(other.spanShift_),
      size_(other.size_),
      fixedEntries_(other.fixedEntries_),
      last_(other.last_),
      largestRatio_(other.largestRatio_),
      countsNeverFall_(other.countsNeverFall_),
      wordsSteps_(other.wordsSteps_),
      nodesSteps_(other.nodesSteps_),
      levels_(std::move(other.levels_)) {
  other.identity_ = newIdentity();
}

SampleLog& SampleLog::operator=(const SampleLog& other) {
  if (this == &other) return *this;
  SampleLog copy(other);
  *this = std::move(copy);
  return *this;
}

SampleLog& SampleLog::operator=(SampleLog&& other) noexcept {
  if (this == &other) return *this;
  exactRecords_ = other.exactRecords_;
  headRecords_ = other.headRecords_;
  spanRoom_ = other.spanRoom_;
  records_ = std::move(other.records_);
  spans_ = std::move(other.spans_);
  spanShift_ = other.spanShift_;
  size_ = other.size_;
  fixedEntries_ = other.fixedEntries_;
  last_ = other.last_;
  largestRatio_ = other.largestRatio_;
  countsNeverFall_ = other.countsNeverFall_;
  wordsSteps_ = other.wordsSteps_;
  nodesSteps_ = other.nodesSteps_;
  levels_ = std::move(other.levels_);
  identity_ = newIdentity();
  other.identity_ = newIdentity();
  return *this;
}

void SampleLog::appendSample(std::uint64_t distinctWords, std::uint64_t wordsTotal,
                             std::uint32_t nodeCount) {
  const double ratio = static_cast<double>(distinctWords) / static_cast<double>(wordsTotal);
  append(SampleRecord{static_cast<float>(ratio), wordsTotal, nodeCount});
}

void SampleLog::append(const SampleRecord& record) {
  if (size_ > 0) {
    if (record.wordsTotal < last_.wordsTotal || record.nodeCount < last_.nodeCount) {
      countsNeverFall_ = false;
    }
    wordsSteps_.add(size_, span_detail::distance(last_.wordsTotal, record.wordsTotal));
    nodesSteps_.add(size_, span_detail::distance(last_.nodeCount, record.nodeCount));
  }
  if (exact() && size_ == exactRecords_) thinRecordsIntoSpans();
  if (exact()) {
    records_.pushBack(encodeRecord(record));
    fixEntry(size_);
  } else {
    appendToSpans(record);
  }
  ++size_;
  last_ = record;
  if (record.ratio > largestRatio_) largestRatio_ = record.ratio;
}

void SampleLog::appendToSpans(const SampleRecord& record) {
  const std::size_t lastEntry = entries() - 1;
  const std::size_t inLast = size_ - firstRecordOf(lastEntry);
  const SampleSpan alone = SampleSpan::of(record);
  if (inLast < spanRecords()) {
    spans_.back() = SampleSpan::joined(spans_.back(), alone);
  } else {
    if (spans_.size() == spanRoom_) joinNeighbouringSpans();
    spans_.pushBack(alone);
  }
  if (size_ + 1 == firstRecordOf(entries())) fixEntry(entries() - 1);
}

// Records from the head on become spans of 2^kFirstSpanShift; each chunk of records is given back
// once its spans are made.
void SampleLog::thinRecordsIntoSpans() {
  spanShift_ = kFirstSpanShift;
  const std::size_t span = spanRecords();
  for (std::size_t first = headRecords_; first < size_; first += span) {
    SampleSpan s = SampleSpan::of(decodeRecord(records_[first]));
    const std::size_t end = std::min(first + span, size_);
    for (std::size_t i = first + 1; i < end; ++i) {
      s = SampleSpan::joined(s, SampleSpan::of(decodeRecord(records_[i])));
    }
    spans_.pushBack(s);
    // Chunk 0 holds the head.
    const std::size_t chunk = first / Records::kChunkElements;
    if (end == size_ || end / Records::kChunkElements != chunk) {
      if (chunk > 0) records_.releaseChunk(chunk);
    }
  }
  records_.truncate(headRecords_);
  rebuildBlocks();
  identity_ = newIdentity();
}

// Spans 2i and 2i + 1 become span i. REQUIRES: an even number of spans, all full.
void SampleLog::joinNeighbouringSpans() {
  const std::size_t joined = spans_.size() / 2;
  for (std::size_t i = 0; i < joined; ++i) {
    spans_[i] = SampleSpan::joined(spans_[2 * i], spans_[2 * i + 1]);
  }
  spans_.truncate(joined);
  ++spanShift_;
  rebuildBlocks();
  identity_ = newIdentity();
}

void SampleLog::rebuildBlocks() {
  for (Level& level : levels_) level.done.truncate(0);
  const std::size_t fixed = size_ == firstRecordOf(entries()) ? entries() : entries() - 1;
  for (std::size_t entry = 0; entry < fixed; ++entry) fixEntry(entry);
}

// Entry `entry` takes in no more records. REQUIRES: entry == fixedEntries_ after a thinning's
// rebuild, or the entry after the last fixed one.
void SampleLog::fixEntry(std::size_t entry) {
  const SeriesSpan<float> ratio = ratioSpan(entry);
  const SampleBlock alone{ratio.low, ratio.high, !std::isnan(ratio.step)};
  const std::size_t inBlock = entry % blockEntries(0);
  addToBlocks(0, alone, inBlock == 0, inBlock == blockEntries(0) - 1);
  fixedEntries_ = entry + 1;
}

// `part` is the next sixteenth of the open block of `level` (or its next entry, on level 0).
void SampleLog::addToBlocks(int level, const SampleBlock& part, bool first, bool last) {
  Level& l = levels_[level];
  if (first) {
    l.open = part;
  } else {
    l.open.lowRatio = std::min(l.open.lowRatio, part.lowRatio);
    l.open.highRatio = std::max(l.open.highRatio, part.highRatio);
    l.open.finiteRatios = l.open.finiteRatios && part.finiteRatios;
  }
  if (!last) return;
  l.done.pushBack(l.open);
  if (level + 1 == kBlockLevels) return;
  const std::size_t inBlock = (l.done.size() - 1) % 16;
  addToBlocks(level + 1, l.open, inBlock == 0, inBlock == 15);
}

std::size_t SampleLog::bytesHeld() const {
  std::size_t bytes = sizeof(*this) + records_.bytesHeld() + spans_.bytesHeld();
  for (const Level& level : levels_) bytes += level.done.bytesHeld();
  return bytes;
}

}  // namespace ws
