// DefineSprite: the sprite's id, its frame count and its own control-tag stream.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace swfplayer::format {

struct SpriteHeader {
  uint16_t id = 0;
  uint16_t frameCount = 0;
  std::span<const uint8_t> tags;  // within the tag body given to DecodeSpriteHeader
};

std::optional<SpriteHeader> DecodeSpriteHeader(std::span<const uint8_t> body);

}  // namespace swfplayer::format
