// A movie's sounds as the audio engine plays them: the event sounds (DefineSound) and the
// stream of each timeline (SoundStreamHead and one SoundStreamBlock per frame). The bytes stay
// compressed in one store per movie and are decoded as they play, so what a movie holds of
// its sound is its compressed bytes, never the decoded samples.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swfplayer/format/Sound.h"

namespace swfplayer::audio {

// The sound bytes of one movie: a view into memory that the keeper holds (a mapped file, or a
// buffer the loader copied the sound tags into).
struct SoundStore {
  std::shared_ptr<const void> keeper;
  std::span<const uint8_t> bytes;
};

// Where a piece of sound data lies in its store.
struct ByteRange {
  uint64_t offset = 0;
  uint32_t size = 0;
  bool Empty() const { return size == 0; }
};

inline std::span<const uint8_t> Slice(const SoundStore& store, ByteRange range) {
  if (range.offset > store.bytes.size() || range.size > store.bytes.size() - range.offset) return {};
  return store.bytes.subspan(static_cast<size_t>(range.offset), range.size);
}

struct EventSound {
  std::shared_ptr<const SoundStore> store;
  format::SoundFormat format;
  uint32_t sampleCount = 0;  // per channel, at the sound's own rate
  ByteRange data;

  // 1000 ms per second of the sound's declared length.
  uint32_t DurationMs() const {
    return static_cast<uint32_t>(uint64_t{sampleCount} * 2000 / format.RateTimes2());
  }
};

// One timeline's stream: its head and the block each frame carries (empty where none).
struct StreamSound {
  std::shared_ptr<const SoundStore> store;
  format::SoundStreamHeadTag head;
  double framesPerSecond = 12;  // the movie's rate: how long one frame's block lasts
  std::vector<ByteRange> blocks;
};

}  // namespace swfplayer::audio
