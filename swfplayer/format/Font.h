// DefineFont, DefineFont2 and DefineFont3: the glyph outlines a static text draws. Layout,
// kerning, names and code tables are not needed for that and are not kept.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/format/Shape.h"

namespace swfplayer::format {

struct FontDefinition {
  uint16_t id = 0;
  int version = 1;  // 1 to 3 for DefineFont to DefineFont3
  // One outline per glyph, as shape records with fill style 1 and no style arrays, in EM-square
  // units: 1024 to the EM, or 1024 * 20 for DefineFont3, whose units are twenty times finer.
  std::vector<std::vector<ShapeRecord>> glyphs;
  bool truncated = false;  // glyphs or records were dropped (damage or a bound)

  // What a text's height (in twips) is multiplied by to scale this font's units.
  double UnitsToEm() const { return version >= 3 ? 1.0 / (1024.0 * 20.0) : 1.0 / 1024.0; }
};

// version 1 to 3 from the tag code. Nothing for a tag too short for its id; a font without
// outlines (a device font) has no glyphs. A glyph whose offset points outside the tag has an
// empty outline.
std::optional<FontDefinition> DecodeFont(std::span<const uint8_t> body, int version);

}  // namespace swfplayer::format
