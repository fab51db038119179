#include "standin/flash/movie/MoviePlayback.h"

#include <algorithm>

namespace swfsaver::flash {

void MoviePlayback::Load(std::optional<SwfMovie> movie) {
  movie_ = std::move(movie);
  playing_ = false;
  currentFrame_ = 0;
}

void MoviePlayback::Play() { playing_ = movie_.has_value(); }

void MoviePlayback::Stop() { playing_ = false; }

bool MoviePlayback::Advance() {
  if (!playing_ || !movie_) return false;
  const int32_t total = TotalFrames();
  const int32_t next = currentFrame_ + 1 < total ? currentFrame_ + 1 : 0;
  const bool changed = next != currentFrame_;
  currentFrame_ = next;
  return changed;
}

int32_t MoviePlayback::TotalFrames() const { return movie_ ? movie_->frameCount : 0; }

uint32_t MoviePlayback::FrameIntervalMs() const {
  if (!movie_ || movie_->frameRate == 0) return kZeroRateFrameMs;
  // 8.8 fixed point: a frame lasts 256000 / rate milliseconds.
  const uint32_t rate = movie_->frameRate;
  const uint32_t interval = (256000u + rate / 2) / rate;
  return std::clamp(interval, kMinFrameMs, kMaxFrameMs);
}

}  // namespace swfsaver::flash
