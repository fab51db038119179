// What a voice plays, before resampling: left/right pairs at the sound's own rate, a piece at
// a time. An event sound is played from its in point to its out point (or its declared
// length) as many times as it loops; a stream is played block by block from the frame it
// starts at, each frame without a block being one frame of silence.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "swfplayer/audio/CodecReader.h"
#include "swfplayer/audio/SoundData.h"

namespace swfplayer::audio {

class VoiceSource {
 public:
  virtual ~VoiceSource() = default;
  // Appends the next piece (possibly empty); false at the end of the sound.
  virtual bool Next(std::vector<int16_t>& out) = 0;
  virtual uint32_t RateTimes2() const = 0;
};

class EventSource final : public VoiceSource {
 public:
  // inPoint44 and outPoint44 in 44 kHz samples (0 for none); loops at least 1.
  EventSource(const EventSound& sound, uint32_t inPoint44, uint32_t outPoint44, uint16_t loops,
              Mp3DecoderSource* mp3);

  bool Next(std::vector<int16_t>& out) override;
  uint32_t RateTimes2() const override { return reader_.RateTimes2(); }
  // The stretch played each loop, in the sound's own samples.
  uint32_t FirstFrame() const { return first_; }
  uint32_t EndFrame() const { return end_; }

 private:
  bool NextLoop();

  EventSound sound_;
  CodecReader reader_;
  uint32_t first_ = 0;
  uint32_t end_ = 0;
  uint16_t loopsLeft_;
  uint32_t decoded_ = 0;   // frames decoded in this loop, from the sound's start
  bool loopHeard_ = false; // a loop that yields nothing at all ends the sound
  std::vector<int16_t> piece_;
};

class StreamSource final : public VoiceSource {
 public:
  StreamSource(std::shared_ptr<const StreamSound> stream, int startFrame, Mp3DecoderSource* mp3);

  bool Next(std::vector<int16_t>& out) override;
  uint32_t RateTimes2() const override { return reader_.RateTimes2(); }

 private:
  bool StartBlock();

  std::shared_ptr<const StreamSound> stream_;
  CodecReader reader_;
  size_t frame_;
  bool inBlock_ = false;
  bool firstBlock_ = true;
  uint32_t blockDeclared_ = 0;  // MP3: the samples the block says it holds
  uint32_t blockDecoded_ = 0;
  uint32_t skip_ = 0;           // MP3: the first block's seek samples, dropped
  uint32_t silence_ = 0;        // frames of silence still to give for a frame without a block
};

}  // namespace swfplayer::audio
