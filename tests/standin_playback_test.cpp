// The stand-in control's playback state: what TotalFrames and CurrentFrame report with and
// without a movie, the loop from the last frame to the first, and the frame interval.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "swfplayer/image/NativeImageDecoder.h"
#include "standin/flash/control/MoviePlayback.h"
#include "tools/SwfWriter.h"

namespace swfsaver::flash {
namespace {

std::unique_ptr<swfplayer::player::Player> MovieOf(uint16_t frames, uint16_t rate = 12 << 8) {
  tools::SwfOptions options;
  options.frameCount = frames;
  options.frameRate = rate;
  swfplayer::image::NativeImageDecoder decoder;
  return swfplayer::player::Player::Load(tools::WriteSwf(options), decoder).player;
}

TEST(StandinPlayback, EmptyControlReportsZeroAndNeverPlays) {
  MoviePlayback playback;
  playback.Play();
  EXPECT_FALSE(playback.Playing());
  EXPECT_FALSE(playback.Advance());
  EXPECT_EQ(playback.TotalFrames(), 0);
  EXPECT_EQ(playback.CurrentFrame(), -1) << "a host waiting for frame TotalFrames - 1 moves on";
}

TEST(StandinPlayback, PlaysAndLoopsFromTheLastFrameToTheFirst) {
  MoviePlayback playback;
  playback.Load(MovieOf(3));
  EXPECT_EQ(playback.TotalFrames(), 3);
  EXPECT_FALSE(playback.Advance()) << "a loaded movie waits for Play";
  playback.Play();
  std::vector<int32_t> frames;
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(playback.Advance());
    frames.push_back(playback.CurrentFrame());
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 0, 1, 2, 0, 1}));
  playback.Stop();
  EXPECT_FALSE(playback.Advance());
  EXPECT_EQ(playback.CurrentFrame(), 1);
}

TEST(StandinPlayback, LoadingAgainStartsFromTheFirstFrameStopped) {
  MoviePlayback playback;
  playback.Load(MovieOf(5));
  playback.Play();
  playback.Advance();
  playback.Advance();
  playback.Load(MovieOf(5));  // the same movie again
  EXPECT_EQ(playback.CurrentFrame(), 0);
  EXPECT_FALSE(playback.Playing());
}

TEST(StandinPlayback, FailedLoadDropsTheMovieShown) {
  MoviePlayback playback;
  playback.Load(MovieOf(12));
  playback.Play();
  playback.Advance();
  playback.Load(nullptr);
  EXPECT_FALSE(playback.HasMovie());
  EXPECT_FALSE(playback.Playing());
  EXPECT_EQ(playback.TotalFrames(), 0);
  EXPECT_EQ(playback.CurrentFrame(), -1);
}

TEST(StandinPlayback, SingleFrameMovieStaysOnFrameZero) {
  MoviePlayback playback;
  playback.Load(MovieOf(1));
  playback.Play();
  EXPECT_TRUE(playback.Advance()) << "its sprites still play";
  EXPECT_EQ(playback.CurrentFrame(), 0);
  EXPECT_EQ(playback.TotalFrames() - 1, playback.CurrentFrame());
}

TEST(StandinPlayback, FrameIntervalFollowsTheRate) {
  struct Case {
    uint16_t rate;
    uint32_t ms;
  };
  const Case cases[] = {
      {12 << 8, 83},      // 1000 / 12 = 83.3
      {24 << 8, 42},      // 41.7 rounds up
      {(8 << 8) | 128, 118},  // 8.5 fps
      {1 << 8, 1000},
      {1, MoviePlayback::kMaxFrameMs},        // 1/256 fps
      {0xFFFF, MoviePlayback::kMinFrameMs},   // 255.996 fps: faster than a timer ticks
      {0, MoviePlayback::kZeroRateFrameMs},
  };
  for (const Case& c : cases) {
    MoviePlayback playback;
    playback.Load(MovieOf(2, c.rate));
    EXPECT_EQ(playback.FrameIntervalMs(), c.ms) << c.rate;
  }
}

}  // namespace
}  // namespace swfsaver::flash
