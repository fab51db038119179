#include "tools/SwfSound.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "tools/SwfBits.h"

namespace swfsaver::tools {
namespace {

constexpr int16_t kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int8_t kIndex2[] = {-1, 2};
constexpr int8_t kIndex3[] = {-1, -1, 2, 4};
constexpr int8_t kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int8_t kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int8_t* kIndexTables[] = {kIndex2, kIndex3, kIndex4, kIndex5};

class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> used_);
      used_ = (used_ + 1) & 7;
    }
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;
};

struct Channel {
  int32_t predictor = 0, index = 0;
};

// The code nearest to sample, chosen bit by bit as the decoder will add the steps up; the
// channel moves on as the decoder's will.
uint32_t EncodeSample(int32_t sample, int bits, Channel& ch) {
  const uint32_t signBit = 1u << (bits - 1);
  int32_t difference = sample - ch.predictor;
  uint32_t code = 0;
  if (difference < 0) {
    code = signBit;
    difference = -difference;
  }
  int32_t step = kStepSizes[ch.index];
  int32_t decoded = 0;
  for (uint32_t bit = signBit >> 1; bit != 0; bit >>= 1) {
    if (difference >= step) {
      code |= bit;
      difference -= step;
      decoded += step;
    }
    step >>= 1;
  }
  decoded += step;
  ch.predictor = std::clamp(ch.predictor + ((code & signBit) ? -decoded : decoded), -32768, 32767);
  ch.index = std::clamp(ch.index + kIndexTables[bits - 2][code & (signBit - 1)], 0, 88);
  return code;
}

}  // namespace

uint8_t SwfSoundFormat::Byte() const {
  return static_cast<uint8_t>((static_cast<uint8_t>(codec) << 4) | (rateIndex << 2) |
                              (sixteenBit ? 2 : 0) | (stereo ? 1 : 0));
}

void PutSoundInfo(std::vector<uint8_t>& out, const SwfSoundInfo& info) {
  out.push_back(static_cast<uint8_t>((info.syncStop ? 0x20 : 0) | (info.syncNoMultiple ? 0x10 : 0) |
                                     (info.envelope.empty() ? 0 : 0x08) | (info.loops ? 0x04 : 0) |
                                     (info.outPoint ? 0x02 : 0) | (info.inPoint ? 0x01 : 0)));
  if (info.inPoint) detail::PutU32(out, *info.inPoint);
  if (info.outPoint) detail::PutU32(out, *info.outPoint);
  if (info.loops) detail::PutU16(out, *info.loops);
  if (info.envelope.empty()) return;
  out.push_back(static_cast<uint8_t>(info.envelope.size()));
  for (const SwfEnvelopePoint& point : info.envelope) {
    detail::PutU32(out, point.position44);
    detail::PutU16(out, point.left);
    detail::PutU16(out, point.right);
  }
}

std::vector<uint8_t> EncodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bits) {
  if (bits < 2 || bits > 5) throw std::invalid_argument("ADPCM codes are 2 to 5 bits");
  const size_t channels = stereo ? 2 : 1;
  const size_t frames = samples.size() / channels;
  BitWriter out;
  out.Put(static_cast<uint32_t>(bits - 2), 2);
  Channel state[2];
  for (size_t frame = 0; frame < frames; ++frame) {
    const bool packetStart = frame % 4096 == 0;
    for (size_t c = 0; c < channels; ++c) {
      const int16_t sample = samples[frame * channels + c];
      if (packetStart) {
        // Each packet starts afresh from its first sample, written whole.
        state[c].predictor = sample;
        out.Put(static_cast<uint16_t>(sample), 16);
        out.Put(static_cast<uint32_t>(state[c].index), 6);
      }
    }
    if (packetStart) continue;
    for (size_t c = 0; c < channels; ++c) {
      out.Put(EncodeSample(samples[frame * channels + c], bits, state[c]), bits);
    }
  }
  return out.Take();
}

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples, bool bigEndian) {
  std::vector<uint8_t> out;
  out.reserve(samples.size() * 2);
  for (int16_t sample : samples) {
    const auto value = static_cast<uint16_t>(sample);
    if (bigEndian) out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
    if (!bigEndian) out.push_back(static_cast<uint8_t>(value >> 8));
  }
  return out;
}

std::vector<int16_t> Synthesize(const std::vector<SynthNote>& notes, uint32_t rate, double seconds) {
  std::vector<double> mix(static_cast<size_t>(seconds * rate), 0.0);
  for (const SynthNote& note : notes) {
    const size_t first = static_cast<size_t>(note.start * rate);
    const size_t count = static_cast<size_t>(note.length * rate);
    for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
      const double t = static_cast<double>(i) / rate;
      // 5 ms attack, then a decay to a fifth over the note, and a 10 ms release at its end.
      const double attack = std::min(1.0, t / 0.005);
      const double release = std::min(1.0, (note.length - t) / 0.01);
      const double decay = std::exp(-1.6 * t / note.length);
      mix[first + i] += note.level * attack * release * decay * std::sin(2 * std::numbers::pi * note.frequency * t);
    }
  }
  std::vector<int16_t> samples(mix.size());
  for (size_t i = 0; i < mix.size(); ++i) {
    samples[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767));
  }
  return samples;
}

}  // namespace swfsaver::tools
