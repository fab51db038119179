#include "swfplayer/audio/Mp3Frames.h"

#include <algorithm>

namespace swfplayer::audio {
namespace {

// Kbit/s by [MPEG-1 or not][index]; index 0 (free format) and 15 are not played.
constexpr uint16_t kBitrates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr uint32_t kMpeg1Rates[3] = {44100, 48000, 32000};
constexpr size_t kMaxSkipPerCall = 65536;

}  // namespace

std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
  const int versionBits = (bytes[1] >> 3) & 3;   // 0: 2.5, 1: reserved, 2: 2, 3: 1
  const int layerBits = (bytes[1] >> 1) & 3;     // 1: layer III
  const int bitrateIndex = bytes[2] >> 4;
  const int rateIndex = (bytes[2] >> 2) & 3;
  const int padding = (bytes[2] >> 1) & 1;
  if (versionBits == 1 || layerBits != 1 || rateIndex == 3 || (bytes[3] & 3) == 2) return std::nullopt;
  Mp3FrameHeader header;
  header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
  const bool mpeg1 = header.version == 1;
  header.bitrateKbps = kBitrates[mpeg1 ? 0 : 1][bitrateIndex];
  if (header.bitrateKbps == 0) return std::nullopt;
  header.sampleRate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : header.version == 2 ? 1 : 2);
  header.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
  header.samplesPerFrame = mpeg1 ? 1152 : 576;
  header.frameBytes = (mpeg1 ? 144000u : 72000u) * header.bitrateKbps / header.sampleRate + padding;
  if (header.frameBytes > bytes.size()) return std::nullopt;
  return header;
}

size_t Mp3FrameDecoder::Decode(std::span<const uint8_t> data, size_t& position, size_t maxFrames,
                               std::vector<int16_t>& out) {
  size_t samples = 0;
  size_t skipped = 0;
  for (size_t frames = 0; frames < maxFrames && position + 4 <= data.size();) {
    const auto header = ReadMp3FrameHeader(data.subspan(position));
    if (!header) {
      // Not a frame here: the next header is looked for, a bounded stretch per call so that
      // a long damaged stretch never holds up the mixing thread.
      ++position;
      ++lostBytes_;
      if (++skipped == kMaxSkipPerCall) break;
      continue;
    }
    if (rate_ == 0) rate_ = header->sampleRate;
    // Frames whose headers were damaged were passed over: as many frames of silence as the
    // damaged stretch would have held keep the sound's length.
    if (lostBytes_ != 0) {
      const size_t lost = (lostBytes_ + header->frameBytes / 2) / header->frameBytes;
      lostBytes_ = 0;
      out.resize(out.size() + lost * header->samplesPerFrame * 2, 0);
      samples += lost * header->samplesPerFrame;
    }
    const size_t expected = header->samplesPerFrame;
    frame_.clear();
    if (decoder_ && header->sampleRate == rate_) {
      decoder_->DecodeFrame(data.subspan(position, header->frameBytes), *header, frame_);
    }
    // Exactly the frame's length: what is missing is silence, what is more is dropped.
    frame_.resize(expected * 2, 0);
    out.insert(out.end(), frame_.begin(), frame_.end());
    samples += expected;
    position += header->frameBytes;
    ++frames;
  }
  return samples;
}

void Mp3FrameDecoder::Reset() {
  lostBytes_ = 0;
  if (decoder_) decoder_->Reset();
}

}  // namespace swfplayer::audio
