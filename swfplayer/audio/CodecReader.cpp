#include "swfplayer/audio/CodecReader.h"

#include <algorithm>
#include <cstdlib>

namespace swfplayer::audio {
namespace {

using format::SoundCodec;

constexpr size_t kMp3FramesPerPiece = 4;

int16_t Sample16(const uint8_t* bytes, bool bigEndian) {
  return static_cast<int16_t>(bigEndian ? (bytes[0] << 8) | bytes[1] : (bytes[1] << 8) | bytes[0]);
}

}  // namespace

bool LooksBigEndian(std::span<const uint8_t> pcm16, bool stereo) {
  const size_t step = stereo ? 4 : 2;
  const size_t count = std::min<size_t>(pcm16.size() / step, 8192);
  uint64_t little = 0, big = 0;
  for (size_t i = 1; i < count; ++i) {
    const uint8_t* now = &pcm16[i * step];
    const uint8_t* before = &pcm16[(i - 1) * step];
    little += std::abs(Sample16(now, false) - Sample16(before, false));
    big += std::abs(Sample16(now, true) - Sample16(before, true));
  }
  return big < little;
}

CodecReader::CodecReader(format::SoundFormat format, Mp3DecoderSource* mp3)
    : format_(format), mp3Source_(mp3) {}

bool CodecReader::Playable() const {
  switch (format_.codec) {
    case SoundCodec::kPcmNative:
    case SoundCodec::kPcmLittle:
    case SoundCodec::kAdpcm:
    case SoundCodec::kMp3:
      return true;
    default:
      return false;
  }
}

void CodecReader::Start(std::span<const uint8_t> data) {
  data_ = data;
  position_ = 0;
  adpcm_.reset();
  if (format_.codec == SoundCodec::kAdpcm) adpcm_.emplace(data, format_.stereo);
  if (format_.codec == SoundCodec::kMp3 && !frames_) {
    if (mp3Source_) mp3_ = mp3Source_->NewDecoder();
    frames_.emplace(mp3_.get());
  }
  if (format_.codec == SoundCodec::kPcmNative && format_.sixteenBit && !bigEndian_ && !data.empty()) {
    bigEndian_ = LooksBigEndian(data, format_.stereo);
  }
}

void CodecReader::Reset() {
  if (frames_) frames_->Reset();
}

uint32_t CodecReader::RateTimes2() const {
  if (frames_ && frames_->Rate() != 0) return frames_->Rate() * 2;
  return format_.RateTimes2();
}

bool CodecReader::Next(std::vector<int16_t>& out) {
  switch (format_.codec) {
    case SoundCodec::kPcmNative:
    case SoundCodec::kPcmLittle:
      return NextPcm(out);
    case SoundCodec::kAdpcm:
      return adpcm_ && adpcm_->NextPacket(out);
    case SoundCodec::kMp3:
      if (position_ + 4 > data_.size()) return false;
      frames_->Decode(data_, position_, kMp3FramesPerPiece, out);
      return true;
    default:
      return false;
  }
}

bool CodecReader::NextPcm(std::vector<int16_t>& out) {
  const size_t bytesPerSample = format_.sixteenBit ? 2 : 1;
  const size_t frameBytes = bytesPerSample * format_.Channels();
  const size_t frames = std::min((data_.size() - position_) / frameBytes, kPieceFrames);
  if (frames == 0) return false;
  const bool bigEndian = format_.codec == SoundCodec::kPcmNative && bigEndian_.value_or(false);
  const uint8_t* bytes = data_.data() + position_;
  for (size_t i = 0; i < frames; ++i, bytes += frameBytes) {
    for (int c = 0; c < 2; ++c) {
      const uint8_t* sample = bytes + (format_.stereo ? c * bytesPerSample : 0);
      // 8-bit samples are unsigned, centred on 128.
      out.push_back(format_.sixteenBit ? Sample16(sample, bigEndian)
                                       : static_cast<int16_t>((sample[0] - 128) * 256));
    }
  }
  position_ += frames * frameBytes;
  return true;
}

}  // namespace swfplayer::audio
