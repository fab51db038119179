// The shapes tweens were made into, kept from one drawing of the frame to the next: a tween
// that rests at one ratio is made once, and its paths stay the same objects, so the canvas
// sees nothing changed and draws nothing again. Shapes not used in a drawing are dropped after
// it, so the cache holds one frame's tweens at most (kMaxMorphRecordsPerFrame bounds them).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

class MorphShapeCache {
 public:
  // The shape kept for the tween at ratio, or null.
  const ShapeCharacter* Find(const MorphCharacter* morph, uint16_t ratio);
  const ShapeCharacter* Keep(const MorphCharacter* morph, uint16_t ratio, ShapeCharacter shape);
  // After drawing a frame: drops the shapes that drawing did not use.
  void EndFrame();

 private:
  struct Entry {
    std::unique_ptr<const ShapeCharacter> shape;
    uint64_t frame = 0;
  };
  std::map<std::pair<const MorphCharacter*, uint16_t>, Entry> entries_;
  uint64_t frame_ = 1;
};

}  // namespace swfplayer::player
