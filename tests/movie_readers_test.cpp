// The byte and bit readers under the movie parser: failed reads leave the position alone,
// signed fields extend their sign, nothing is read past the span.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "swfplayer/movie/BitReader.h"
#include "swfplayer/movie/ByteReader.h"

namespace swfplayer {
namespace {

TEST(StandinByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  const std::array<uint8_t, 7> data = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12};
  ByteReader reader(data);
  uint8_t u8 = 0;
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  ASSERT_TRUE(reader.ReadU8(u8));
  ASSERT_TRUE(reader.ReadU16(u16));
  ASSERT_TRUE(reader.ReadU32(u32));
  EXPECT_EQ(u8, 0x01);
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0x12345678u);
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_FALSE(reader.ReadU8(u8));
}

TEST(StandinByteReader, FailedReadMovesNothing) {
  const std::array<uint8_t, 3> data = {1, 2, 3};
  ByteReader reader(data);
  uint32_t u32 = 0xDEAD;
  std::span<const uint8_t> taken;
  EXPECT_FALSE(reader.ReadU32(u32));
  EXPECT_EQ(u32, 0xDEADu);
  EXPECT_FALSE(reader.Take(4, taken));
  EXPECT_FALSE(reader.Skip(static_cast<size_t>(-1)));
  EXPECT_EQ(reader.Position(), 0u);
  ASSERT_TRUE(reader.Take(3, taken));
  EXPECT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[2], 3);
}

TEST(StandinBitReader, ReadsFieldsAcrossByteBoundaries) {
  const std::array<uint8_t, 2> data = {0b101'11111, 0b1'0000000};
  BitReader reader(data);
  uint32_t a = 0;
  int32_t b = 0;
  ASSERT_TRUE(reader.ReadUnsigned(3, a));
  ASSERT_TRUE(reader.ReadSigned(6, b));
  EXPECT_EQ(a, 0b101u);
  EXPECT_EQ(b, -1);  // 0b111111 sign-extended
  EXPECT_EQ(reader.BytesConsumed(), 2u);
}

TEST(StandinBitReader, EdgeWidths) {
  const std::array<uint8_t, 5> data = {0x80, 0x00, 0x00, 0x00, 0xFF};
  BitReader reader(data);
  int32_t zero = 7, min = 0;
  ASSERT_TRUE(reader.ReadSigned(0, zero));
  EXPECT_EQ(zero, 0);
  EXPECT_EQ(reader.BytesConsumed(), 0u);
  ASSERT_TRUE(reader.ReadSigned(32, min));
  EXPECT_EQ(min, INT32_MIN);
  uint32_t rest = 0;
  EXPECT_FALSE(reader.ReadUnsigned(33, rest));
  EXPECT_FALSE(reader.ReadUnsigned(9, rest));  // 8 bits left
  ASSERT_TRUE(reader.ReadUnsigned(8, rest));
  EXPECT_EQ(rest, 0xFFu);
}

}  // namespace
}  // namespace swfplayer
