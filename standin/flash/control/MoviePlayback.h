// The stand-in control's playback state, kept apart from its window so that it can be tested
// without one: which movie is loaded, whether it plays, the frame on screen, and how long a
// frame lasts. The control calls Advance from its window timer.
#pragma once

#include <cstdint>
#include <memory>

#include "swfplayer/player/Player.h"

namespace swfsaver::flash {

class MoviePlayback {
 public:
  // Drops the movie shown and takes this one from its first frame, stopped; no movie (a path
  // that could not be loaded) leaves the control empty.
  void Load(std::unique_ptr<swfplayer::player::Player> movie);
  // Starts the loaded movie; without one nothing will play.
  void Play();
  void Stop();

  // One timer tick: every timeline of the movie steps, the root from its last frame back to
  // the first. Returns whether anything stepped, that is, whether a movie plays.
  // A movie whose root streams sound follows the sound: when the picture has fallen two
  // frames or more behind the sound mixed (which runs up to a frame ahead of what is heard:
  // the output's buffer), the frames it is behind by are played without being drawn (at most
  // kMaxCatchUpFrames a tick), but never past the root's last frame, which a host waits to
  // see.
  bool Advance();
  static constexpr int kMaxCatchUpFrames = 8;

  bool HasMovie() const { return movie_ != nullptr; }
  const swfplayer::player::Player* Movie() const { return movie_.get(); }
  bool Playing() const { return playing_; }
  // The header's frame count; 0 without a movie.
  int32_t TotalFrames() const;
  // The root's frame on screen, counted from 0; -1 without a movie, so that a host waiting for
  // the last frame (TotalFrames - 1) moves on instead of waiting for good.
  int32_t CurrentFrame() const;

  // Milliseconds between frames at the header's rate, rounded, kept between kMinFrameMs and
  // kMaxFrameMs. A rate of 0 plays at one frame per second rather than never advancing.
  uint32_t FrameIntervalMs() const;

  static constexpr uint32_t kMinFrameMs = 10;      // the shortest interval a window timer keeps
  static constexpr uint32_t kMaxFrameMs = 256000;  // 1/256 frame per second, the slowest rate
  static constexpr uint32_t kZeroRateFrameMs = 1000;

 private:
  std::unique_ptr<swfplayer::player::Player> movie_;
  bool playing_ = false;
};

}  // namespace swfsaver::flash
