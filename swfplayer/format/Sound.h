// Sound tags decoded into plain data: DefineSound, StartSound and StartSound2 with their
// SOUNDINFO, SoundStreamHead and SoundStreamHead2, and ExportAssets/SymbolClass names (by which
// StartSound2 and scripts find a sound). The sound bytes stay spans into the tag body: the
// player keeps or copies them, the audio layer decodes them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace swfplayer::format {

enum class SoundCodec : uint8_t {
  kPcmNative = 0,      // uncompressed, the byte order of the machine that wrote it
  kAdpcm = 1,
  kMp3 = 2,
  kPcmLittle = 3,      // uncompressed, little-endian
  kNellymoser16k = 4,
  kNellymoser8k = 5,
  kNellymoser = 6,
  kSpeex = 11,
};

// The four bit fields every sound header carries.
struct SoundFormat {
  SoundCodec codec = SoundCodec::kPcmLittle;
  uint8_t rateIndex = 0;  // 0: 5.5 kHz, 1: 11 kHz, 2: 22 kHz, 3: 44 kHz
  bool sixteenBit = true;
  bool stereo = false;

  // Samples per second: 5512.5 is kept as 5512 (rounded down, as the Flash Player plays it
  // at half of 11025 exactly; callers that need the exact ratio use RateTimes2).
  uint32_t Rate() const { return RateTimes2() / 2; }
  uint32_t RateTimes2() const { return 11025u << rateIndex; }
  int Channels() const { return stereo ? 2 : 1; }
  bool operator==(const SoundFormat&) const = default;
};

struct DefineSoundTag {
  uint16_t id = 0;
  SoundFormat format;
  uint32_t sampleCount = 0;            // per channel, at the sound's own rate
  std::span<const uint8_t> data;       // MP3: SeekSamples (S16) first, then the frames
};

// One envelope point: a position in 44 kHz samples from the start of playback and a level
// per channel, 0 to 32768.
struct EnvelopePoint {
  uint32_t position44 = 0;
  uint16_t left = 32768;
  uint16_t right = 32768;
  bool operator==(const EnvelopePoint&) const = default;
};

struct SoundInfo {
  bool syncStop = false;        // stop every instance of the sound instead of starting one
  bool syncNoMultiple = false;  // do not start while an instance plays
  std::optional<uint32_t> inPoint;   // 44 kHz samples
  std::optional<uint32_t> outPoint;  // 44 kHz samples
  uint16_t loops = 1;                // times played; 0 is read as 1
  std::vector<EnvelopePoint> envelope;
  bool operator==(const SoundInfo&) const = default;
};

// StartSound names the sound by id, StartSound2 by class name (resolved through SymbolClass).
struct StartSoundTag {
  uint16_t id = 0;
  std::string className;
  SoundInfo info;
};

struct SoundStreamHeadTag {
  SoundFormat playback;
  SoundFormat stream;
  uint16_t samplesPerBlock = 0;  // the average per frame, per channel
  int16_t latencySeek = 0;       // MP3 only
};

// Envelope points kept per start; more are dropped (the byte count allows 255).
inline constexpr size_t kMaxEnvelopePoints = 255;

std::optional<DefineSoundTag> DecodeDefineSound(std::span<const uint8_t> body);
std::optional<StartSoundTag> DecodeStartSound(std::span<const uint8_t> body);
std::optional<StartSoundTag> DecodeStartSound2(std::span<const uint8_t> body);
std::optional<SoundStreamHeadTag> DecodeSoundStreamHead(std::span<const uint8_t> body);
// ExportAssets and SymbolClass share one layout: a count, then (id, name) pairs. Pairs after
// the body runs out are dropped.
std::vector<std::pair<uint16_t, std::string>> DecodeNamedSymbols(std::span<const uint8_t> body);

}  // namespace swfplayer::format
