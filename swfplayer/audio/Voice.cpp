#include "swfplayer/audio/Voice.h"

#include <algorithm>

namespace swfplayer::audio {
namespace {

constexpr uint64_t kOne = uint64_t{1} << 32;
// Pieces pulled for one refill at most, so a source that keeps giving empty pieces (a long
// damaged stretch) is taken up again on the next call rather than holding up this one.
constexpr int kPiecesPerRefill = 16;

}  // namespace

SoundTransform SoundTransform::Panned(int32_t pan, int32_t volume) {
  pan = std::clamp(pan, -100, 100);
  SoundTransform transform;
  transform.ll = pan > 0 ? 100 - pan : 100;
  transform.rr = pan < 0 ? 100 + pan : 100;
  transform.volume = volume;
  return transform;
}

int32_t SoundTransform::Pan() const { return std::clamp(rr - ll, -100, 100); }

Gains Gains::Of(const SoundTransform& t) {
  const float volume = static_cast<float>(t.volume) / 100.0f;
  return {t.ll * volume / 100.0f, t.lr * volume / 100.0f, t.rl * volume / 100.0f, t.rr * volume / 100.0f};
}

// The inner transform maps a voice's channels first, then the outer maps the result.
Gains Gains::Then(const Gains& o) const {
  return {ll * o.ll + lr * o.rl, ll * o.lr + lr * o.rr, rl * o.ll + rr * o.rl, rl * o.lr + rr * o.rr};
}

Voice::Voice(std::unique_ptr<VoiceSource> source, std::vector<format::EnvelopePoint> envelope)
    : source_(std::move(source)), envelope_(std::move(envelope)) {}

// Keeps the pair at index_ (and the one after it) in pending_, dropping what is behind.
bool Voice::Refill() {
  const size_t drop = std::min(index_, pending_.size() / 2);
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(drop * 2));
  index_ -= drop;
  for (int i = 0; i < kPiecesPerRefill && (index_ + 2) * 2 > pending_.size(); ++i) {
    if (!source_->Next(pending_)) {
      ended_ = true;
      break;
    }
  }
  step_ = (uint64_t{source_->RateTimes2()} << 32) / (2 * kOutputRate);
  return pending_.size() >= 2;
}

float Voice::EnvelopeLevel(int channel) {
  if (envelope_.empty()) return 1.0f;
  while (envelopeIndex_ + 1 < envelope_.size() && envelope_[envelopeIndex_ + 1].position44 <= produced_) {
    ++envelopeIndex_;
  }
  const auto level = [channel](const format::EnvelopePoint& p) {
    return static_cast<float>(channel == 0 ? p.left : p.right) / 32768.0f;
  };
  const format::EnvelopePoint& a = envelope_[envelopeIndex_];
  if (produced_ <= a.position44 || envelopeIndex_ + 1 == envelope_.size()) return level(a);
  const format::EnvelopePoint& b = envelope_[envelopeIndex_ + 1];
  const float t = static_cast<float>(produced_ - a.position44) / static_cast<float>(b.position44 - a.position44);
  return level(a) + (level(b) - level(a)) * t;
}

bool Voice::MixInto(std::span<float> mix, const Gains& gains) {
  const size_t frames = mix.size() / 2;
  for (size_t n = 0; n < frames; ++n) {
    if ((index_ + 1) * 2 >= pending_.size() && !ended_) Refill();
    if (index_ * 2 >= pending_.size()) return !ended_;  // starved for now: silence this time
    const int16_t* a = &pending_[index_ * 2];
    // The last pair of the sound is played out against silence.
    const bool hasNext = (index_ + 1) * 2 < pending_.size();
    const float t = static_cast<float>(fraction_) / static_cast<float>(kOne);
    const float left = a[0] + ((hasNext ? a[2] : 0) - a[0]) * t;
    const float right = a[1] + ((hasNext ? a[3] : 0) - a[1]) * t;
    const float envLeft = EnvelopeLevel(0);
    const float envRight = EnvelopeLevel(1);
    mix[n * 2] += (left * gains.ll + right * gains.rl) * envLeft;
    mix[n * 2 + 1] += (left * gains.lr + right * gains.rr) * envRight;
    ++produced_;
    fraction_ += step_;
    index_ += static_cast<size_t>(fraction_ >> 32);
    fraction_ &= kOne - 1;
  }
  return !(ended_ && index_ * 2 >= pending_.size());
}

}  // namespace swfplayer::audio
