#include "views/sample_log.h"

#include <algorithm>
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

SampleLog::SampleLog(std::size_t exactRecords)
    : exactRecords_(exactRecords),
      headRecords_(std::min(kHeadRecords, exactRecords / 16)),
      spanRoom_(exactRecords / 4) {
  assert(exactRecords >= 64 && (exactRecords & (exactRecords - 1)) == 0);
  append(SampleRecord{});
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
    fixedEntries_ = size_ + 1;
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
  if (size_ + 1 == firstRecordOf(entries())) fixedEntries_ = entries();
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
  fixedEntries_ = size_ == firstRecordOf(entries()) ? entries() : entries() - 1;
  identity_.renew();
}

// Spans 2i and 2i + 1 become span i. REQUIRES: an even number of spans, all full.
void SampleLog::joinNeighbouringSpans() {
  const std::size_t joined = spans_.size() / 2;
  for (std::size_t i = 0; i < joined; ++i) {
    spans_[i] = SampleSpan::joined(spans_[2 * i], spans_[2 * i + 1]);
  }
  spans_.truncate(joined);
  ++spanShift_;
  fixedEntries_ = entries();
  identity_.renew();
}

std::size_t SampleLog::bytesHeld() const {
  return sizeof(*this) + records_.bytesHeld() + spans_.bytesHeld();
}

}  // namespace ws
