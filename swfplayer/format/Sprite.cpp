#include "swfplayer/format/Sprite.h"

#include "swfplayer/format/Reader.h"

namespace swfplayer::format {

std::optional<SpriteHeader> DecodeSpriteHeader(std::span<const uint8_t> body) {
  Reader in(body);
  SpriteHeader sprite;
  sprite.id = in.U16();
  sprite.frameCount = in.U16();
  sprite.tags = in.Rest();
  if (!in.Ok()) return std::nullopt;
  return sprite;
}

}  // namespace swfplayer::format
