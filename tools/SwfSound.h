// Sound for sample and test movies: the sound tags' fields (SOUNDINFO, the format byte), an
// ADPCM encoder (2 to 5 bits, as SWF packs it), 16-bit PCM in either byte order, and a little
// synthesiser of notes, so that no recorded sound is kept in the repository. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace swfsaver::tools {

// The 4-bit codec numbers of the SWF sound formats.
enum class SwfSoundCodec : uint8_t { kPcmNative = 0, kAdpcm = 1, kMp3 = 2, kPcmLittle = 3, kNellymoser = 6, kSpeex = 11 };

struct SwfSoundFormat {
  SwfSoundCodec codec = SwfSoundCodec::kPcmLittle;
  uint8_t rateIndex = 3;  // 0: 5.5 kHz, 1: 11 kHz, 2: 22 kHz, 3: 44 kHz
  bool sixteenBit = true;
  bool stereo = false;
  uint8_t Byte() const;
};

struct SwfEnvelopePoint {
  uint32_t position44 = 0;
  uint16_t left = 32768, right = 32768;
};

struct SwfSoundInfo {
  bool syncStop = false, syncNoMultiple = false;
  std::optional<uint32_t> inPoint, outPoint;
  std::optional<uint16_t> loops;
  std::vector<SwfEnvelopePoint> envelope;
};

void PutSoundInfo(std::vector<uint8_t>& out, const SwfSoundInfo& info);

// ADPCM data for the given samples (left/right interleaved when stereo) with codes of bits
// bits (2 to 5): the code-size field, then packets of 4096 samples per channel. Predicts with
// the same steps as a decoder does, so decoding gives back the encoder's own reconstruction.
std::vector<uint8_t> EncodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bits);

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples, bool bigEndian);

// A note: frequency in Hz, its start and length in seconds, its peak level (0 to 1).
struct SynthNote {
  double frequency = 440, start = 0, length = 0.5, level = 0.5;
};

// Mono samples at rate of the notes added up: sine tones with a soft attack and an
// exponential decay (a plucked or bell-like sound), clipped to 16 bits.
std::vector<int16_t> Synthesize(const std::vector<SynthNote>& notes, uint32_t rate, double seconds);

}  // namespace swfsaver::tools
