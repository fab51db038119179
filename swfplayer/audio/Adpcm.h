// SWF's ADPCM: a 2-bit code size (2 to 5 bits a sample), then packets of 4096 samples per
// channel: each channel's first sample (16 bits) and step index (6 bits), then 4095 codes per
// channel, the channels' codes interleaved. Decoded a packet at a time, so a long sound is
// never decoded whole; data that breaks off ends the sound where it breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swfplayer::audio {

inline constexpr size_t kAdpcmPacketSamples = 4096;

class AdpcmDecoder {
 public:
  AdpcmDecoder(std::span<const uint8_t> data, bool stereo);

  // Appends the next packet (at most kAdpcmPacketSamples left/right pairs, a mono sample
  // doubled); false when the data holds no further sample.
  bool NextPacket(std::vector<int16_t>& out);

 private:
  bool Read(unsigned bits, uint32_t& value);

  std::span<const uint8_t> data_;
  size_t bitPosition_ = 0;
  int channels_;
  unsigned codeBits_ = 0;  // 0 until the header is read
};

// One code of codeBits bits applied to a channel's predictor and step index: the step
// arithmetic of IMA ADPCM, widened and narrowed to SWF's 2 to 5 bits. For the tests and the
// sample writer's encoder, which must predict exactly as the decoder does.
void AdpcmStep(uint32_t code, unsigned codeBits, int32_t& predictor, int32_t& stepIndex);

}  // namespace swfplayer::audio
