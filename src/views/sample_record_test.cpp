#include "views/sample_record.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

namespace ws {
namespace {

TEST(SampleRecord, FormatIsLittleEndianSingleU64AndU32) {
  const EncodedRecord bytes = encodeRecord({0.75f, 0x0102030405060708ull, 0xA0B0C0D0u});
  const EncodedRecord expected = {0x00, 0x00, 0x40, 0x3F, 0x08, 0x07, 0x06, 0x05,
                                  0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0};
  EXPECT_EQ(bytes, expected);
}

// Every value comes back bit for bit: NaN payloads, negative zero, counts with their top bits set.
TEST(SampleRecord, DecodingGivesBackWhatWasEncoded) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 20'000; ++i) {
    const SampleRecord r{std::bit_cast<float>(static_cast<std::uint32_t>(random())), random(),
                         static_cast<std::uint32_t>(random())};
    const EncodedRecord bytes = encodeRecord(r);
    const SampleRecord back = decodeRecord(bytes);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(back.ratio), std::bit_cast<std::uint32_t>(r.ratio));
    ASSERT_EQ(back.wordsTotal, r.wordsTotal);
    ASSERT_EQ(back.nodeCount, r.nodeCount);
    ASSERT_EQ(encodedWords(bytes), r.wordsTotal);
    ASSERT_EQ(encodedNodes(bytes), r.nodeCount);
  }
}

}  // namespace
}  // namespace ws
