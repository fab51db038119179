// The LZMA decoder against liblzma's encoder (literal and match codings, with and without the
// end marker, lc/lp/pb variants, a small dictionary), and its answers to streams that are cut,
// damaged, longer than asked for or impossible.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "lzma/LzmaDecoder.h"
#include "tests/lzma_test_streams.h"

namespace swfsaver::lzma {
namespace {

using testing::EncodeWithLiblzma;
using testing::Properties;

std::vector<uint8_t> Prefix(const std::vector<uint8_t>& data, size_t size) {
  return {data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min(size, data.size()))};
}

TEST(LzmaDecoder, DecodesWhatLiblzmaEncodes) {
  std::mt19937 random(2);
  std::vector<uint8_t> runs;  // runs of three values: overlapping copies, every kind of repeat
  while (runs.size() < 100000) runs.insert(runs.end(), 1 + random() % 600, random() % 3);
  const auto text = testing::TextLike(150000, 1);
  const struct {
    const char* name;
    std::vector<uint8_t> data;
    testing::EncodeOptions options;
  } cases[] = {
      {"empty", {}, {}},
      {"one byte", {0x5A}, {}},
      {"text", text, {}},
      {"runs", runs, {}},
      {"incompressible", testing::RandomBytes(40000, 3), {}},
      {"text lc=0 lp=2 pb=0", text, {.lc = 0, .lp = 2, .pb = 0}},
      {"text lc=4", text, {.lc = 4}},
      {"runs lc=0 lp=4 pb=4", runs, {.lc = 0, .lp = 4, .pb = 4}},
      {"text larger than a 4 KiB dictionary", text, {.dictionarySize = 4096}},
  };
  for (const auto& c : cases) {
    for (const bool endMarker : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (endMarker ? ", end marker" : ", no end marker"));
      auto options = c.options;
      options.endMarker = endMarker;
      const auto encoded = EncodeWithLiblzma(c.data, options);
      ASSERT_FALSE(encoded.stream.empty());
      const DecodeResult exact = DecodeLzma(encoded.properties, encoded.stream, c.data.size());
      EXPECT_EQ(exact.status, LzmaStatus::kOk) << LzmaStatusName(exact.status);
      EXPECT_TRUE(exact.data == c.data);
      // Asked for more than it holds, the stream still stops at its own end.
      const DecodeResult more = DecodeLzma(encoded.properties, encoded.stream, c.data.size() + 99);
      EXPECT_EQ(more.status, LzmaStatus::kEndedEarly) << LzmaStatusName(more.status);
      EXPECT_TRUE(more.data == c.data);
    }
  }
}

TEST(LzmaDecoder, LimitsCutsAndFlipsKeepTheGoodPrefix) {
  const auto data = testing::TextLike(60000, 5);
  for (const bool endMarker : {true, false}) {
    const auto encoded = EncodeWithLiblzma(data, {.endMarker = endMarker});
    for (const size_t limit : {size_t{0}, size_t{1}, size_t{12345}, data.size() - 1}) {
      const DecodeResult result = DecodeLzma(encoded.properties, encoded.stream, limit);
      EXPECT_EQ(result.status, LzmaStatus::kExceedsLimit) << limit;
      EXPECT_TRUE(result.data == Prefix(data, limit)) << limit;
    }
    const size_t size = encoded.stream.size();
    for (const size_t cut : {size_t{0}, size_t{4}, size_t{6}, size / 2, size - 2, size - 1}) {
      const auto stream = std::span(encoded.stream).first(cut);
      const DecodeResult result = DecodeLzma(encoded.properties, stream, data.size());
      EXPECT_EQ(result.status, LzmaStatus::kTruncated) << cut;
      EXPECT_TRUE(result.data == Prefix(data, result.data.size())) << cut;
      EXPECT_GE(result.data.size(), cut == size / 2 ? data.size() / 4 : 0) << cut;
    }
    for (size_t bit = 0; bit < size * 8; bit += 29) {  // no checksum, yet none passes as good
      auto damaged = encoded.stream;
      damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
      EXPECT_NE(DecodeLzma(encoded.properties, damaged, data.size()).status, LzmaStatus::kOk)
          << bit;
    }
  }
}

TEST(LzmaDecoder, DistancesStayWithinTheDictionary) {
  auto data = testing::RandomBytes(8192, 8);
  data.insert(data.end(), data.begin(), data.end());  // the second half repeats from 8 KiB back
  const auto encoded = EncodeWithLiblzma(data, {.dictionarySize = 1u << 16});
  const DecodeResult result = DecodeLzma(Properties(3, 0, 2, 4096), encoded.stream, data.size());
  EXPECT_EQ(result.status, LzmaStatus::kCorrupt);
  EXPECT_TRUE(result.data == Prefix(data, 8192));
  // Sizes below 4 KiB count as 4 KiB, so distances up to 4 KiB stay valid.
  const auto text = testing::TextLike(50000, 9);
  const auto small = EncodeWithLiblzma(text, {.dictionarySize = 4096});
  EXPECT_TRUE(DecodeLzma(Properties(3, 0, 2, 16), small.stream, text.size()).ok());
}

// Writes symbols bit by bit at even odds: the decoder's fresh probabilities, as long as no
// probability is used twice, which holds for the few symbols of the streams below.
class EvenOddsWriter {
 public:
  EvenOddsWriter& Bits(uint32_t value, unsigned count) {
    while (count-- > 0) {
      const uint32_t bound = (range_ >> 11) * 1024u;
      if ((value >> count) & 1u) {
        low_ += bound;
        range_ -= bound;
      } else {
        range_ = bound;
      }
      for (; range_ < (1u << 24); range_ <<= 8) ShiftLow();
    }
    return *this;
  }
  EvenOddsWriter& Literal(uint8_t byte) { return Bits(byte, 9); }  // a 0 (no match), the byte
  // A match (not a repeat) of the shortest length, its distance slot, no further bits.
  EvenOddsWriter& Match(unsigned slot) { return Bits(0b100000, 6).Bits(slot, 6); }
  std::vector<uint8_t> Finish() {
    for (int i = 0; i < 5; ++i) ShiftLow();
    return bytes_;
  }

 private:
  void ShiftLow() {
    if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
      const auto carry = static_cast<uint8_t>(low_ >> 32);
      for (uint8_t held = cache_; pending_ > 0; --pending_, held = 0xFF) {
        bytes_.push_back(static_cast<uint8_t>(held + carry));
      }
      cache_ = static_cast<uint8_t>(low_ >> 24);
    }
    ++pending_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
  }
  uint64_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  uint8_t cache_ = 0;
  size_t pending_ = 1;
  std::vector<uint8_t> bytes_;
};

TEST(LzmaDecoder, HandMadeStreams) {
  const auto ab = EvenOddsWriter().Literal('A').Literal('B').Finish();
  auto notZeroFirst = ab;
  notZeroFirst[0] = 1;
  const auto usual = Properties(3, 0, 2, 1u << 16);
  const struct {
    const char* name;
    std::array<uint8_t, 5> properties;
    std::vector<uint8_t> stream;
    size_t outputSize;
    LzmaStatus status;
    std::string data;
  } cases[] = {
      {"match first", usual, EvenOddsWriter().Match(0).Finish(), 9, LzmaStatus::kCorrupt, ""},
      {"repeat first", usual, EvenOddsWriter().Bits(0b11, 2).Finish(), 9, LzmaStatus::kCorrupt, ""},
      {"distance 3 after one byte", usual, EvenOddsWriter().Literal('A').Match(2).Finish(), 9,
       LzmaStatus::kCorrupt, "A"},
      {"two literals", usual, ab, 2, LzmaStatus::kOk, "AB"},
      {"lc=8 lp=4 pb=4", Properties(8, 4, 4, 0), ab, 2, LzmaStatus::kOk, "AB"},
      {"first byte not zero", usual, notZeroFirst, 2, LzmaStatus::kCorrupt, ""},
      {"properties byte 225", {225, 0, 0, 1, 0}, ab, 2, LzmaStatus::kBadProperties, ""},
  };
  for (const auto& c : cases) {
    const DecodeResult result = DecodeLzma(c.properties, c.stream, c.outputSize);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << LzmaStatusName(result.status);
    EXPECT_EQ(std::string(result.data.begin(), result.data.end()), c.data) << c.name;
  }
  EXPECT_EQ(DecodeLzma(std::span(usual).first(4), ab, 2).status, LzmaStatus::kBadProperties);
}

}  // namespace
}  // namespace swfsaver::lzma
