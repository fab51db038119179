// Splits MP3 data into frames by their headers, and decodes them through an Mp3Decoder with
// every frame's length in samples kept: a frame the decoder cannot decode plays as silence of
// its length; bytes that are no frame are passed over up to the next frame header, and play
// as the frames of silence they would have held at the next frame's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/audio/Mp3Decoder.h"

namespace swfplayer::audio {

// The header at the start of bytes; nothing when it is not a layer III header (free-format
// bitrates, reserved rates and emphasis included) or the frame runs past the end of bytes.
std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const uint8_t> bytes);

class Mp3FrameDecoder {
 public:
  // decoder may be null: every frame is silence then.
  explicit Mp3FrameDecoder(Mp3Decoder* decoder) : decoder_(decoder) {}

  // Decodes up to maxFrames whole frames of data from position on (which it moves past them,
  // and past bytes that are no frame) and appends left/right pairs at Rate(): the first
  // frame's rate; a later frame at another rate is silence. Returns the samples appended.
  size_t Decode(std::span<const uint8_t> data, size_t& position, size_t maxFrames,
                std::vector<int16_t>& out);
  void Reset();
  // The rate of the first frame seen; 0 before.
  uint32_t Rate() const { return rate_; }

 private:
  Mp3Decoder* decoder_;
  uint32_t rate_ = 0;
  size_t lostBytes_ = 0;  // passed over since the last frame
  std::vector<int16_t> frame_;
};

}  // namespace swfplayer::audio
