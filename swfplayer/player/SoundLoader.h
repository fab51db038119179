// Collects a movie's sound tags while it loads: DefineSound into the event sounds,
// StartSound and StartSound2 into their frames, SoundStreamHead and the SoundStreamBlock of
// each frame into the timeline's stream, ExportAssets and SymbolClass into the names. The
// sound bytes are copied into one store for the movie, so the body can go once loaded; an
// uncompressed body that its caller keeps (a mapped file) is referred to where it lies.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "swfplayer/movie/TagStream.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

class SoundLoader {
 public:
  // kept: memory that stays valid as long as its keeper lives (null keeper: none); sound bytes
  // inside it are not copied.
  SoundLoader(MovieSounds& sounds, double framesPerSecond, std::span<const uint8_t> kept = {},
              std::shared_ptr<const void> keeper = nullptr);

  // Takes the tag when it is a sound tag; frame is where the timeline's tags stand. Event
  // sounds and names are read from the root only (definitions are root tags).
  bool Take(const TagRecord& tag, TimelineDefinition& timeline, int frame, bool root);
  // Makes room for the sound bytes of the root's own tags at once, before they are copied, so
  // that copying a long soundtrack never holds two buffers of it.
  void Reserve(std::span<const uint8_t> rootTags);
  // Hands every sound its store; once, after the last tag.
  void Finish();

 private:
  audio::ByteRange Keep(std::span<const uint8_t> bytes);
  void DefineSound(std::span<const uint8_t> body);
  void StreamHead(std::span<const uint8_t> body, TimelineDefinition& timeline);

  MovieSounds& sounds_;
  double framesPerSecond_;
  std::span<const uint8_t> kept_;
  std::shared_ptr<const void> keeper_;
  std::shared_ptr<std::vector<uint8_t>> bytes_ = std::make_shared<std::vector<uint8_t>>();
  std::vector<std::shared_ptr<audio::StreamSound>> streams_;
};

}  // namespace swfplayer::player
