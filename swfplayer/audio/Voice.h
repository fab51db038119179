// One sound playing: its source resampled to the output rate (linear interpolation), its
// envelope, and the gains of its transform, added into the mix.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swfplayer/audio/Sources.h"
#include "swfplayer/format/Sound.h"

namespace swfplayer::audio {

inline constexpr uint32_t kOutputRate = 44100;

// How a sound is heard, as ActionScript's Sound object sets it: percents, the channel gains
// ll (left to left), lr (left to right), rl, rr, and the volume over them.
struct SoundTransform {
  int32_t ll = 100, lr = 0, rl = 0, rr = 100;
  int32_t volume = 100;
  bool operator==(const SoundTransform&) const = default;

  // setPan: -100 (left only) to 100 (right only); the cross gains become 0.
  static SoundTransform Panned(int32_t pan, int32_t volume);
  // getPan: what setPan would have set, from the two straight gains.
  int32_t Pan() const;
};

// The four gains a voice is mixed with, the volume and any parent transforms folded in.
struct Gains {
  float ll = 1, lr = 0, rl = 0, rr = 1;
  static Gains Of(const SoundTransform& transform);
  Gains Then(const Gains& outer) const;
};

class Voice {
 public:
  Voice(std::unique_ptr<VoiceSource> source, std::vector<format::EnvelopePoint> envelope);

  // Adds up to frames left/right pairs to mix; false once the sound has ended (the pairs
  // after its end are left as they were).
  bool MixInto(std::span<float> mix, const Gains& gains);
  // Output samples given so far (44.1 kHz).
  uint64_t Produced() const { return produced_; }
  VoiceSource& Source() { return *source_; }

 private:
  bool Refill();
  float EnvelopeLevel(int channel);

  std::unique_ptr<VoiceSource> source_;
  std::vector<format::EnvelopePoint> envelope_;
  size_t envelopeIndex_ = 0;
  std::vector<int16_t> pending_;  // left/right pairs at the source's rate
  size_t index_ = 0;              // the pair at or before the playing position
  uint64_t fraction_ = 0;         // how far past it, in 1/2^32
  uint64_t step_ = 0;
  bool ended_ = false;
  uint64_t produced_ = 0;
};

}  // namespace swfplayer::audio
