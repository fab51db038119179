// MP3 (MPEG-1, 2 and 2.5 layer III) reaches the engine through this small interface, as images
// do through image/ImageDecoder.h: libmpg123 in the native tools and tests, Windows' MP3
// decoder in the control. The engine splits the data into frames itself (Mp3Frames.h), so
// an implementation only decodes the frames it is handed, in order.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swfplayer::audio {

struct Mp3FrameHeader {
  int version = 1;             // 1, 2, or 25 for MPEG 2.5
  uint32_t sampleRate = 0;
  int channels = 0;
  uint32_t bitrateKbps = 0;
  uint32_t frameBytes = 0;     // the whole frame, header included
  uint32_t samplesPerFrame = 0;
};

class Mp3Decoder {
 public:
  virtual ~Mp3Decoder() = default;
  // Decodes the next frame of one stream (its bit reservoir may draw on frames handed
  // before) and appends its samples to out as left/right pairs at the frame's own rate, a
  // mono frame's samples doubled. Appends nothing for a frame it cannot decode.
  virtual void DecodeFrame(std::span<const uint8_t> frame, const Mp3FrameHeader& header,
                           std::vector<int16_t>& out) = 0;
  // Forgets the stream: the next frame begins a new one.
  virtual void Reset() = 0;
};

// Makes one decoder per playing sound; called on the thread that mixes.
class Mp3DecoderSource {
 public:
  virtual ~Mp3DecoderSource() = default;
  // Null when the system has no MP3 decoder: MP3 sounds then play as silence.
  virtual std::unique_ptr<Mp3Decoder> NewDecoder() = 0;
};

}  // namespace swfplayer::audio
