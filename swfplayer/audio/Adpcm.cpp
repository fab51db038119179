#include "swfplayer/audio/Adpcm.h"

#include <algorithm>

namespace swfplayer::audio {
namespace {

constexpr int16_t kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves for each magnitude, by code size.
constexpr int8_t kIndex2[] = {-1, 2};
constexpr int8_t kIndex3[] = {-1, -1, 2, 4};
constexpr int8_t kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int8_t kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int8_t* kIndexTables[] = {kIndex2, kIndex3, kIndex4, kIndex5};

}  // namespace

void AdpcmStep(uint32_t code, unsigned codeBits, int32_t& predictor, int32_t& stepIndex) {
  const uint32_t signBit = 1u << (codeBits - 1);
  int32_t step = kStepSizes[stepIndex];
  int32_t difference = 0;
  for (uint32_t bit = signBit >> 1; bit != 0; bit >>= 1) {
    if (code & bit) difference += step;
    step >>= 1;
  }
  difference += step;
  predictor += (code & signBit) ? -difference : difference;
  predictor = std::clamp(predictor, -32768, 32767);
  stepIndex = std::clamp(stepIndex + kIndexTables[codeBits - 2][code & (signBit - 1)], 0, 88);
}

AdpcmDecoder::AdpcmDecoder(std::span<const uint8_t> data, bool stereo)
    : data_(data), channels_(stereo ? 2 : 1) {}

bool AdpcmDecoder::Read(unsigned bits, uint32_t& value) {
  if (bits > data_.size() * 8 - bitPosition_) return false;
  value = 0;
  for (unsigned i = 0; i < bits; ++i, ++bitPosition_) {
    value = (value << 1) | ((data_[bitPosition_ >> 3] >> (7 - (bitPosition_ & 7))) & 1u);
  }
  return true;
}

bool AdpcmDecoder::NextPacket(std::vector<int16_t>& out) {
  if (codeBits_ == 0) {
    uint32_t size = 0;
    if (!Read(2, size)) return false;
    codeBits_ = size + 2;
  }
  int32_t predictor[2] = {};
  int32_t stepIndex[2] = {};
  for (int c = 0; c < channels_; ++c) {
    uint32_t sample = 0, index = 0;
    if (!Read(16, sample) || !Read(6, index)) return false;
    predictor[c] = static_cast<int16_t>(sample);
    stepIndex[c] = std::min<int32_t>(static_cast<int32_t>(index), 88);
  }
  auto emit = [&] {
    out.push_back(static_cast<int16_t>(predictor[0]));
    out.push_back(static_cast<int16_t>(predictor[channels_ - 1]));
  };
  emit();
  for (size_t i = 1; i < kAdpcmPacketSamples; ++i) {
    for (int c = 0; c < channels_; ++c) {
      uint32_t code = 0;
      if (!Read(codeBits_, code)) return true;  // the samples decoded so far stay
      AdpcmStep(code, codeBits_, predictor[c], stepIndex[c]);
    }
    emit();
  }
  return true;
}

}  // namespace swfplayer::audio
