// Shared by the sound tests: event sounds made from bytes, mixing a stretch of output, and
// measuring what came out (pitch by zero crossings, levels).
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "swfplayer/audio/SoundEngine.h"

namespace swfsaver::testing {

using namespace swfplayer;

inline std::shared_ptr<const audio::SoundStore> StoreOf(std::vector<uint8_t> bytes) {
  auto kept = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
  auto store = std::make_shared<audio::SoundStore>();
  store->bytes = *kept;
  store->keeper = kept;
  return store;
}

inline audio::EventSound SoundOf(format::SoundFormat format, uint32_t sampleCount, std::vector<uint8_t> bytes) {
  audio::EventSound sound;
  sound.data = {0, static_cast<uint32_t>(bytes.size())};
  sound.store = StoreOf(std::move(bytes));
  sound.format = format;
  sound.sampleCount = sampleCount;
  return sound;
}

inline format::SoundFormat Format(format::SoundCodec codec, uint8_t rateIndex, bool stereo, bool sixteenBit = true) {
  return {codec, rateIndex, sixteenBit, stereo};
}

inline std::vector<int16_t> Sine(double hz, uint32_t rate, size_t count, double level = 0.5, int channels = 1) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < count; ++i) {
    const double v = level * 32767 * std::sin(2 * std::numbers::pi * hz * i / rate);
    for (int c = 0; c < channels; ++c) samples.push_back(static_cast<int16_t>(std::lround(v)));
  }
  return samples;
}

// frames left/right pairs of the engine's mix.
inline std::vector<int16_t> MixFrames(audio::SoundEngine& engine, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  engine.Mix(out);
  return out;
}

// The frequency of one channel of interleaved stereo over [from, to) frames, by zero crossings.
inline double PitchHz(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to,
                      uint32_t rate = audio::kOutputRate) {
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if ((stereo[(i - 1) * 2 + channel] < 0) != (stereo[i * 2 + channel] < 0)) ++crossings;
  }
  return crossings / 2.0 / (static_cast<double>(to - from) / rate);
}

inline int Peak(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from; i < to && i * 2 + channel < stereo.size(); ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(stereo[i * 2 + channel])));
  }
  return peak;
}

// Frames from the start until the last frame that is not silent, plus one.
inline size_t SoundingFrames(const std::vector<int16_t>& stereo) {
  for (size_t i = stereo.size() / 2; i > 0; --i) {
    if (stereo[(i - 1) * 2] != 0 || stereo[(i - 1) * 2 + 1] != 0) return i;
  }
  return 0;
}

}  // namespace swfsaver::testing
