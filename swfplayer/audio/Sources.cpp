#include "swfplayer/audio/Sources.h"

#include <algorithm>

#include "swfplayer/movie/ByteReader.h"

namespace swfplayer::audio {
namespace {

// 44 kHz samples to the sound's own, by its rate times two.
uint32_t FromRate44(uint32_t samples44, uint32_t rateTimes2) {
  return static_cast<uint32_t>(uint64_t{samples44} * rateTimes2 / 88200);
}

void AppendSilence(std::vector<int16_t>& out, uint32_t frames) { out.resize(out.size() + frames * 2, 0); }

}  // namespace

EventSource::EventSource(const EventSound& sound, uint32_t inPoint44, uint32_t outPoint44,
                         uint16_t loops, Mp3DecoderSource* mp3)
    : sound_(sound), reader_(sound.format, mp3), loopsLeft_(std::max<uint16_t>(loops, 1)) {
  const uint32_t rate2 = sound.format.RateTimes2();
  end_ = sound.sampleCount;
  if (outPoint44 != 0) end_ = std::min(end_, FromRate44(outPoint44, rate2));
  first_ = std::min(FromRate44(inPoint44, rate2), end_);
  NextLoop();
}

bool EventSource::NextLoop() {
  if (loopsLeft_ == 0) return false;
  --loopsLeft_;
  std::span<const uint8_t> data = sound_.store ? Slice(*sound_.store, sound_.data) : std::span<const uint8_t>{};
  // MP3 event data starts with the encoder's seek samples, which the declared length
  // already leaves out.
  if (sound_.format.codec == format::SoundCodec::kMp3) data = data.size() >= 2 ? data.subspan(2) : data.subspan(0, 0);
  reader_.Reset();
  reader_.Start(data);
  decoded_ = 0;
  loopHeard_ = false;
  return true;
}

bool EventSource::Next(std::vector<int16_t>& out) {
  if (first_ >= end_ || !reader_.Playable()) return false;
  piece_.clear();
  const bool more = decoded_ < end_ && reader_.Next(piece_);
  if (!more) {
    if (!loopHeard_) return false;
    return NextLoop();
  }
  // Only the part of the piece between the in point and the end is heard.
  const uint32_t frames = static_cast<uint32_t>(piece_.size() / 2);
  const uint32_t from = std::clamp(first_, decoded_, decoded_ + frames) - decoded_;
  const uint32_t to = std::clamp(end_, decoded_, decoded_ + frames) - decoded_;
  decoded_ += frames;
  if (to > from) {
    out.insert(out.end(), piece_.begin() + from * 2, piece_.begin() + to * 2);
    loopHeard_ = true;
  }
  return true;
}

StreamSource::StreamSource(std::shared_ptr<const StreamSound> stream, int startFrame,
                           Mp3DecoderSource* mp3)
    : stream_(std::move(stream)), reader_(stream_->head.stream, mp3),
      frame_(static_cast<size_t>(std::max(startFrame, 0))) {}

bool StreamSource::StartBlock() {
  if (frame_ >= stream_->blocks.size()) return false;
  const ByteRange range = stream_->blocks[frame_++];
  std::span<const uint8_t> data = stream_->store ? Slice(*stream_->store, range) : std::span<const uint8_t>{};
  if (data.empty()) {
    // A frame without a block lasts one frame's worth of samples all the same.
    const uint32_t perFrame = stream_->head.samplesPerBlock != 0
        ? stream_->head.samplesPerBlock
        : static_cast<uint32_t>(stream_->head.stream.RateTimes2() / 2.0 / std::max(stream_->framesPerSecond, 0.01));
    silence_ = perFrame;
    return true;
  }
  blockDeclared_ = 0;
  blockDecoded_ = 0;
  if (stream_->head.stream.codec == format::SoundCodec::kMp3) {
    ByteReader header(data);
    uint16_t count = 0, seek = 0;
    header.ReadU16(count);
    header.ReadU16(seek);
    blockDeclared_ = count;
    if (firstBlock_) skip_ = static_cast<int16_t>(seek) > 0 ? seek : 0;
    data = data.size() >= 4 ? data.subspan(4) : data.subspan(0, 0);
  }
  firstBlock_ = false;
  reader_.Start(data);
  inBlock_ = true;
  return true;
}

bool StreamSource::Next(std::vector<int16_t>& out) {
  if (silence_ > 0) {
    const uint32_t frames = std::min<uint32_t>(silence_, kPieceFrames);
    AppendSilence(out, frames);
    silence_ -= frames;
    return true;
  }
  if (!inBlock_) return StartBlock();
  const size_t before = out.size();
  if (reader_.Next(out)) {
    blockDecoded_ += static_cast<uint32_t>((out.size() - before) / 2);
    if (skip_ > 0) {
      const size_t dropped = std::min<size_t>(skip_, (out.size() - before) / 2);
      out.erase(out.begin() + before, out.begin() + before + dropped * 2);
      skip_ -= static_cast<uint32_t>(dropped);
    }
    return true;
  }
  inBlock_ = false;
  // A block whose frames were damaged or cut still lasts as long as it says.
  if (blockDecoded_ < blockDeclared_) silence_ = blockDeclared_ - blockDecoded_;
  return true;
}

}  // namespace swfplayer::audio
