#include "standin/flash/control/MoviePlayback.h"

#include <algorithm>

namespace swfsaver::flash {

void MoviePlayback::Load(std::unique_ptr<swfplayer::player::Player> movie) {
  movie_ = std::move(movie);
  playing_ = false;
}

void MoviePlayback::Play() { playing_ = movie_ != nullptr; }

void MoviePlayback::Stop() { playing_ = false; }

bool MoviePlayback::Advance() {
  if (!playing_ || !movie_) return false;
  movie_->Advance();
  for (int skipped = 0; skipped < kMaxCatchUpFrames; ++skipped) {
    const std::optional<double> lead = movie_->StreamLead();
    if (!lead || *lead < 2.0 || movie_->CurrentFrame() + 1 >= movie_->TotalFrames()) break;
    movie_->Advance();
  }
  return true;
}

int32_t MoviePlayback::TotalFrames() const { return movie_ ? movie_->TotalFrames() : 0; }

int32_t MoviePlayback::CurrentFrame() const { return movie_ ? movie_->CurrentFrame() : -1; }

uint32_t MoviePlayback::FrameIntervalMs() const {
  if (!movie_ || movie_->Header().frameRate == 0) return kZeroRateFrameMs;
  // 8.8 fixed point: a frame lasts 256000 / rate milliseconds.
  const uint32_t rate = movie_->Header().frameRate;
  const uint32_t interval = (256000u + rate / 2) / rate;
  return std::clamp(interval, kMinFrameMs, kMaxFrameMs);
}

}  // namespace swfsaver::flash
