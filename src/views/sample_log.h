// The sample log: how the collection grew, one record per 1000 characters of article text read.
// It owns its record format (views/sample_record.h); the driver appends to it and the growth graph
// reads it in place.
//
// A run of any length fits in bounded memory. The log keeps every record until it holds
// exactRecords of them (by default 2^24: 38 days of the real site at 5 records a second). Then it
// thins evenly: the first headRecords() records stay one by one, the rest are consolidated into
// spans of 8 consecutive records (SampleSpan), and whenever the spans fill their room (a quarter
// of exactRecords) each two neighbours are joined, so that from then on a span stands for 2^k
// records. The newest record always ends the last span, which grows until it holds 2^k.
//
// Memory, with the default: while exact, 16 bytes a record, at most 256 MiB; thinned, the head
// and 2^22 spans of 80 bytes, at most 321 MiB. The first thinning gives back each 64 KiB chunk of
// records once its spans are made, so it never holds all records and all their spans at once.
// What the graph keeps to read the log faster (RatioBlocks, the column caches) lives beside it,
// on the graph's side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "views/chunked_array.h"
#include "views/log_identity.h"
#include "views/sample_record.h"
#include "views/sample_span.h"
#include "views/step_bound.h"

namespace ws {

enum class CountSeries { kNodes, kWords };

// The log's contents are entries in log order: entries 0 .. singleEntries() - 1 are one record
// each (every record while the log is exact), each later one a span of spanRecords() records,
// the last of them possibly fewer.
// INVARIANT: record 0 is all zero bytes and is entry 0. Entries before fixedEntries() never
// change (until a thinning, which gives the log a new identity); the last entry may still take in
// records.
class SampleLog {
 public:
  static constexpr std::size_t kDefaultExactRecords = std::size_t{1} << 24;

  // REQUIRES: exactRecords is a power of two, at least 64.
  explicit SampleLog(std::size_t exactRecords = kDefaultExactRecords);

  // Tells logs apart for readers that keep results from one drawing to the next: two logs of one
  // identity agree on every fixed entry that both hold. A copy, and a log moved to or from, take
  // identities of their own (LogIdentity).
  std::uint64_t identity() const { return identity_.value(); }

  // Appends the record of a sample taken with these counters: the ratio is divided in double and
  // rounded once to single precision. REQUIRES: wordsTotal >= 1.
  void appendSample(std::uint64_t distinctWords, std::uint64_t wordsTotal, std::uint32_t nodeCount);
  // Appends any record as it is (a damaged log, in tests).
  void append(const SampleRecord& record);

  // Records appended in all, record 0 included.
  std::size_t size() const { return size_; }
  const SampleRecord& last() const { return last_; }
  // Whether every record appended is still kept one by one.
  bool exact() const { return spans_.empty(); }

  std::size_t entries() const { return records_.size() + spans_.size(); }
  std::size_t singleEntries() const { return records_.size(); }
  std::size_t fixedEntries() const { return fixedEntries_; }
  std::size_t spanRecords() const { return std::size_t{1} << spanShift_; }
  // The number of the first record of an entry. REQUIRES: entry <= entries() (entries() gives the
  // number the next entry would have).
  std::size_t firstRecordOf(std::size_t entry) const {
    const std::size_t singles = records_.size();
    return entry <= singles ? entry : singles + ((entry - singles) << spanShift_);
  }
  // The first entry whose first record is `record` or later. REQUIRES: record <= size().
  std::size_t firstEntryFrom(std::size_t record) const {
    const std::size_t singles = records_.size();
    if (record <= singles) return record;
    return singles + ((record - singles + spanRecords() - 1) >> spanShift_);
  }
  // The first records of the log, kept one by one once it is thinned.
  std::size_t headRecords() const { return headRecords_; }

  // REQUIRES: entry < singleEntries().
  SampleRecord record(std::size_t entry) const { return decodeRecord(records_[entry]); }
  float singleRatio(std::size_t entry) const { return encodedRatio(records_[entry]); }
  // REQUIRES: entry < entries().
  SeriesSpan<float> ratioSpan(std::size_t entry) const {
    if (entry < records_.size()) return span_detail::alone(encodedRatio(records_[entry]));
    return spans_[entry - records_.size()].ratio;
  }
  SeriesSpan<std::uint64_t> countSpan(CountSeries series, std::size_t entry) const {
    if (entry < records_.size()) return span_detail::alone(lowCount(series, entry));
    const SampleSpan& span = spans_[entry - records_.size()];
    if (series == CountSeries::kWords) return span.words;
    const auto& n = span.nodes;
    return SeriesSpan<std::uint64_t>{n.first, n.last, n.low, n.high, n.step};
  }
  std::uint64_t highCount(CountSeries series, std::size_t entry) const {
    if (entry < records_.size()) return lowCount(series, entry);
    const SampleSpan& span = spans_[entry - records_.size()];
    return series == CountSeries::kWords ? span.words.high : span.nodes.high;
  }
  std::uint64_t lowCount(CountSeries series, std::size_t entry) const {
    if (entry < records_.size()) {
      return series == CountSeries::kWords ? encodedWords(records_[entry])
                                           : encodedNodes(records_[entry]);
    }
    const SampleSpan& span = spans_[entry - records_.size()];
    return series == CountSeries::kWords ? span.words.low : span.nodes.low;
  }

  // Whether wordsTotal and nodeCount never fall from one record to the next (as in every log the
  // program writes, whose counters only grow).
  bool countsNeverFall() const { return countsNeverFall_; }

  // The first record from which on the count never steps by more than `limit` from one record
  // to the next (as far as StepBound tells).
  std::size_t firstRecordSteppingWithin(CountSeries series, std::uint64_t limit) const {
    return (series == CountSeries::kWords ? wordsSteps_ : nodesSteps_).firstRecordWithin(limit);
  }

  // The largest ratio of any record appended, at least 0; NaN ratios do not count.
  float largestRatio() const { return largestRatio_; }

  // Bytes the log has allocated.
  std::size_t bytesHeld() const;

 private:
  // Chunks of 64 KiB of records (the head fills one), 80 KiB of spans.
  using Records = ChunkedArray<EncodedRecord, 12>;
  using Spans = ChunkedArray<SampleSpan, 10>;

  void appendToSpans(const SampleRecord& record);
  void thinRecordsIntoSpans();
  void joinNeighbouringSpans();

  std::size_t exactRecords_;
  std::size_t headRecords_;
  std::size_t spanRoom_;
  Records records_;
  Spans spans_;
  int spanShift_ = 0;
  std::size_t size_ = 0;
  std::size_t fixedEntries_ = 0;
  SampleRecord last_;
  float largestRatio_ = 0.0f;
  bool countsNeverFall_ = true;
  StepBound wordsSteps_;
  StepBound nodesSteps_;
  LogIdentity identity_;
};

}  // namespace ws
