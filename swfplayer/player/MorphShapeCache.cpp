#include "swfplayer/player/MorphShapeCache.h"

namespace swfplayer::player {

const ShapeCharacter* MorphShapeCache::Find(const MorphCharacter* morph, uint16_t ratio) {
  const auto found = entries_.find({morph, ratio});
  if (found == entries_.end()) return nullptr;
  found->second.frame = frame_;
  return found->second.shape.get();
}

const ShapeCharacter* MorphShapeCache::Keep(const MorphCharacter* morph, uint16_t ratio,
                                            ShapeCharacter shape) {
  Entry& entry = entries_[{morph, ratio}];
  entry.shape = std::make_unique<const ShapeCharacter>(std::move(shape));
  entry.frame = frame_;
  return entry.shape.get();
}

void MorphShapeCache::EndFrame() {
  std::erase_if(entries_, [this](const auto& item) { return item.second.frame != frame_; });
  ++frame_;
}

}  // namespace swfplayer::player
