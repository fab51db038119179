// The stand-in control's playback state, kept apart from its window so that it can be tested
// without one: which movie is loaded, whether it plays, the frame on screen, and how long a
// frame lasts. The control calls Advance from its window timer.
#pragma once

#include <cstdint>
#include <optional>

#include "standin/flash/movie/SwfMovie.h"

namespace swfsaver::flash {

class MoviePlayback {
 public:
  // Drops the movie shown and takes this one from its first frame, stopped; no movie (a path
  // that could not be loaded) leaves the control empty.
  void Load(std::optional<SwfMovie> movie);
  // Starts the loaded movie; without one nothing will play.
  void Play();
  void Stop();

  // One timer tick: the next frame, from the last frame back to the first. Returns whether the
  // frame on screen changed (a single-frame movie never changes).
  bool Advance();

  bool HasMovie() const { return movie_.has_value(); }
  const std::optional<SwfMovie>& Movie() const { return movie_; }
  bool Playing() const { return playing_; }
  // The header's frame count; 0 without a movie.
  int32_t TotalFrames() const;
  // Counted from 0; 0 without a movie.
  int32_t CurrentFrame() const { return currentFrame_; }

  // Milliseconds between frames at the header's rate, rounded, kept between kMinFrameMs and
  // kMaxFrameMs. A rate of 0 plays at one frame per second rather than never advancing.
  uint32_t FrameIntervalMs() const;

  static constexpr uint32_t kMinFrameMs = 10;      // the shortest interval a window timer keeps
  static constexpr uint32_t kMaxFrameMs = 256000;  // 1/256 frame per second, the slowest rate
  static constexpr uint32_t kZeroRateFrameMs = 1000;

 private:
  std::optional<SwfMovie> movie_;
  bool playing_ = false;
  int32_t currentFrame_ = 0;
};

}  // namespace swfsaver::flash
