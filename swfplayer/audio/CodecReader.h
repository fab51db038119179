// Decodes one stretch of sound data (a whole event sound, or one stream block) a piece at a
// time into left/right pairs at the data's own rate: PCM (8 or 16 bits; the native byte order
// is told from the data), ADPCM, and MP3 through the injected decoder. Nellymoser and Speex
// give nothing: those sounds are left silent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/audio/Adpcm.h"
#include "swfplayer/audio/Mp3Frames.h"
#include "swfplayer/format/Sound.h"

namespace swfplayer::audio {

// Left/right pairs appended per piece at most (an ADPCM packet; MP3 by whole frames).
inline constexpr size_t kPieceFrames = 4096;

class CodecReader {
 public:
  // mp3 may be null (no MP3 decoder: MP3 data is silence of its length).
  CodecReader(format::SoundFormat format, Mp3DecoderSource* mp3);

  bool Playable() const;
  // New data to decode. An MP3 decoder keeps its state from the data before (a stream's
  // blocks continue one another) unless Reset.
  void Start(std::span<const uint8_t> data);
  void Reset();
  // Appends the next piece; false once the data is used up. A piece may be empty (a long
  // stretch of damaged MP3 data is passed over in bounded steps).
  bool Next(std::vector<int16_t>& out);
  // The rate of what Next appends, times two (5512.5 Hz is 11025); for MP3 the frames' own
  // rate once the first has been seen.
  uint32_t RateTimes2() const;

 private:
  bool NextPcm(std::vector<int16_t>& out);

  format::SoundFormat format_;
  Mp3DecoderSource* mp3Source_;
  std::unique_ptr<Mp3Decoder> mp3_;
  std::optional<Mp3FrameDecoder> frames_;
  std::optional<AdpcmDecoder> adpcm_;
  std::span<const uint8_t> data_;
  size_t position_ = 0;
  std::optional<bool> bigEndian_;  // PCM in the native byte order: decided once per sound
};

// Whether 16-bit PCM data reads smoother big-endian than little-endian: sound is smooth, the
// wrong byte order is noise. Decides the byte order of "native" PCM.
bool LooksBigEndian(std::span<const uint8_t> pcm16, bool stereo);

}  // namespace swfplayer::audio
