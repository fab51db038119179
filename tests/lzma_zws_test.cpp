// ZWS movies: a movie from the SWF writer, recompressed by liblzma into the ZWS layout,
// decodes back to the same body; damaged headers and lying lengths fail or stop cleanly.
#include <gtest/gtest.h>

#include <vector>

#include "lzma/ZwsBody.h"
#include "tests/lzma_test_streams.h"
#include "tools/SwfWriter.h"

namespace swfsaver::lzma {
namespace {

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(LzmaZwsBody, DecodesToTheFwsBody) {
  tools::SwfOptions options;
  options.frameCount = 400;
  options.version = 13;
  const auto fws = tools::WriteSwf(options);
  const std::vector<uint8_t> body(fws.begin() + 8, fws.end());
  for (const bool endMarker : {true, false}) {
    std::vector<uint8_t> zws = testing::ZwsFromFws(fws, {.endMarker = endMarker});
    ASSERT_GT(zws.size(), kZwsHeaderBytes);
    EXPECT_TRUE(DecodeZwsBody(zws, 1u << 20).data == body);
    EXPECT_TRUE(DecodeZwsBody(zws, 1u << 20).ok());
    const DecodeResult cut = DecodeZwsBody(zws, 100);
    EXPECT_EQ(cut.status, LzmaStatus::kExceedsLimit);
    EXPECT_TRUE(cut.data == std::vector<uint8_t>(body.begin(), body.begin() + 100));

    PutU32(zws, 8, 3);  // writers are known to get the compressed length wrong: not relied on
    EXPECT_TRUE(DecodeZwsBody(zws, 1u << 20).ok());
    PutU32(zws, 4, 0xFFFFFFFFu);  // a body far longer than the stream holds
    const DecodeResult lying = DecodeZwsBody(zws, 1u << 20);
    EXPECT_EQ(lying.status, LzmaStatus::kEndedEarly);
    EXPECT_TRUE(lying.data == body);
    PutU32(zws, 4, 5);  // shorter than its own header: no body at all
    EXPECT_EQ(DecodeZwsBody(zws, 1u << 20).status, LzmaStatus::kExceedsLimit);

    EXPECT_EQ(DecodeZwsBody(std::span(zws).first(16), 1u << 20).status, LzmaStatus::kTruncated);
    EXPECT_EQ(DecodeZwsBody(fws, 1u << 20).status, LzmaStatus::kNotZws);
  }
}

}  // namespace
}  // namespace swfsaver::lzma
