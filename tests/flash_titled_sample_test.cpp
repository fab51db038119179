// The titled sample plays as it is meant to: its title drawn, its root stopped on the last
// frame while the sparkle sprite plays on and then sends it back to the first. Its ZWS twin
// plays the same frames as its CWS twin, with the same frame size for the saver's reader, and
// a cut ZWS file plays the part that decodes.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swf/UnitGlobal.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeKernel.h"
#include "tests/lzma_test_streams.h"
#include "tools/SampleMovies.h"

namespace swfplayer::player {
namespace {

TEST(FlashTitledSample, TheRootHoldsItsLastFrameUntilTheSparkleSendsItBack) {
  const tools::SampleMovie sample = tools::TitledTweenSample();
  auto player = testing::LoadBytes(sample.Bytes());
  ASSERT_TRUE(player);
  EXPECT_EQ(player->TotalFrames(), 96);
  std::vector<int> frames;
  for (int tick = 0; tick < 250; ++tick, player->Advance()) frames.push_back(player->CurrentFrame());
  // Played through, held for the sparkle's remaining 24 frames, sent back; then every 120.
  for (const auto& [tick, frame] : {std::pair{0, 0}, {95, 95}, {118, 95}, {119, 0}, {120, 1},
                                    {214, 95}, {238, 95}, {239, 0}}) {
    EXPECT_EQ(frames[tick], frame) << "tick " << tick;
  }
  // 250 ticks leave the root on frame 11, its title fading in; on frame 24 it is whole. The
  // S's top bar spans 60.25 to 100.9 px across and 275.3 to 284.7 px down.
  for (int tick = 250; tick < 263; ++tick) player->Advance();
  const testing::StagePixels stage = testing::DrawLow(*player);
  EXPECT_EQ(stage.At(80, 280), testing::Opaque(255, 240, 205));
  EXPECT_EQ(stage.At(80, 335), testing::Opaque(0x0C, 0x10, 0x2A));  // below the baseline
}

TEST(FlashZwsMovie, PlaysTheSameFramesAndFrameSizeAsItsCwsTwin) {
  tools::SwfOptions options = tools::TitledTweenSample().options;
  const std::vector<uint8_t> fws = tools::WriteTitledTween(options);
  options.compressed = true;
  const std::vector<uint8_t> cws = tools::WriteTitledTween(options);
  const std::vector<uint8_t> zws = swfsaver::lzma::testing::ZwsFromFws(fws);
  ASSERT_EQ(std::string(zws.begin(), zws.begin() + 3), "ZWS");
  auto fromCws = testing::LoadBytes(cws), fromZws = testing::LoadBytes(zws);
  ASSERT_TRUE(fromCws && fromZws);
  EXPECT_EQ(fromZws->Header().frameSize, fromCws->Header().frameSize);
  for (int tick = 0; tick < 130; ++tick) {
    EXPECT_EQ(fromZws->CurrentFrame(), fromCws->CurrentFrame());
    if (tick % 13 == 0) {
      EXPECT_TRUE(testing::DrawLow(*fromZws) == testing::DrawLow(*fromCws)) << tick;
    }
    fromCws->Advance();
    fromZws->Advance();
  }

  swfsaver::fakes::FakeKernel kernel;
  swfsaver::fakes::FakeCodePage codePage{swfsaver::fakes::FakeCodePage::Kind::ShiftJis};
  kernel.AddFile("c.swf", cws);
  kernel.AddFile("z.swf", zws);
  std::string cwsHeader, zwsHeader;
  swfsaver::ReadSwfHeaderRect(kernel, codePage, "c.swf", cwsHeader);
  swfsaver::ReadSwfHeaderRect(kernel, codePage, "z.swf", zwsHeader);
  EXPECT_EQ(zwsHeader, cwsHeader);
  EXPECT_EQ(swfsaver::SwfFrameWidth(zwsHeader), 550);
  EXPECT_EQ(swfsaver::SwfFrameHeight(zwsHeader), 400);

  // Cut in the middle of its stream, a ZWS movie still loads, with the body decoded so far.
  const std::vector<uint8_t> cut(zws.begin(), zws.begin() + static_cast<std::ptrdiff_t>(zws.size() / 2));
  const MovieBody whole = ReadMovieBody(zws), part = ReadMovieBody(cut);
  ASSERT_TRUE(part.ok());
  EXPECT_LT(part.bytes.size(), whole.bytes.size());
  EXPECT_TRUE(std::equal(part.bytes.begin(), part.bytes.end(), whole.bytes.begin()));
  auto partial = testing::LoadBytes(cut);
  ASSERT_TRUE(partial);
  EXPECT_EQ(partial->TotalFrames(), 96);
  for (int tick = 0; tick < 100; ++tick) partial->Advance();
}

}  // namespace
}  // namespace swfplayer::player
