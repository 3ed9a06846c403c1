// One sample of the crawl's counters and the sample log's record format.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace ws {

// One record, decoded.
struct SampleRecord {
  float ratio = 0.0f;  // distinctWords / wordsTotal at the time of the sample
  std::uint64_t wordsTotal = 0;
  std::uint32_t nodeCount = 0;
};

// The record format: 16 bytes, the ratio as a little-endian IEEE single, then wordsTotal as a
// little-endian unsigned 64-bit integer, then nodeCount as a little-endian unsigned 32-bit one.
// Encoding and decoding give back every value bit for bit, NaN payloads included.
inline constexpr std::size_t kRecordSize = 16;
using EncodedRecord = std::array<unsigned char, kRecordSize>;

namespace record_format {

inline std::uint64_t littleEndian(const EncodedRecord& bytes, std::size_t at, int length) {
  std::uint64_t value = 0;
  for (int i = length - 1; i >= 0; --i)
    value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

inline void putLittleEndian(EncodedRecord& bytes, std::size_t at, int length, std::uint64_t value) {
  for (int i = 0; i < length; ++i) {
    bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
  }
}

}  // namespace record_format

inline EncodedRecord encodeRecord(const SampleRecord& record) {
  EncodedRecord bytes{};
  record_format::putLittleEndian(bytes, 0, 4, std::bit_cast<std::uint32_t>(record.ratio));
  record_format::putLittleEndian(bytes, 4, 8, record.wordsTotal);
  record_format::putLittleEndian(bytes, 12, 4, record.nodeCount);
  return bytes;
}

inline float encodedRatio(const EncodedRecord& bytes) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(record_format::littleEndian(bytes, 0, 4)));
}
inline std::uint64_t encodedWords(const EncodedRecord& bytes) {
  return record_format::littleEndian(bytes, 4, 8);
}
inline std::uint32_t encodedNodes(const EncodedRecord& bytes) {
  return static_cast<std::uint32_t>(record_format::littleEndian(bytes, 12, 4));
}

inline SampleRecord decodeRecord(const EncodedRecord& bytes) {
  return SampleRecord{encodedRatio(bytes), encodedWords(bytes), encodedNodes(bytes)};
}

}  // namespace ws
