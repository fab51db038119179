#include "standin/flash/format/Sprite.h"

#include "standin/flash/format/Reader.h"

namespace swfsaver::flash::format {

std::optional<SpriteHeader> DecodeSpriteHeader(std::span<const uint8_t> body) {
  Reader in(body);
  SpriteHeader sprite;
  sprite.id = in.U16();
  sprite.frameCount = in.U16();
  sprite.tags = in.Rest();
  if (!in.Ok()) return std::nullopt;
  return sprite;
}

}  // namespace swfsaver::flash::format
