// DefineText and DefineText2: static text as records of glyphs placed along a baseline. Each
// record may change the font and height, the colour and the pen's x or y; what it leaves
// unchanged carries over from the records before it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/types/Geometry.h"

namespace swfplayer::format {

struct GlyphEntry {
  uint32_t index = 0;   // into the font's glyphs
  int32_t advance = 0;  // twips the pen moves right after the glyph
  bool operator==(const GlyphEntry&) const = default;
};

struct TextRecord {
  std::optional<uint16_t> fontId;  // with a height
  uint16_t height = 0;             // the EM square's size in twips, when fontId is given
  std::optional<Rgba> color;
  std::optional<int16_t> x;        // the pen, in twips of the text's space
  std::optional<int16_t> y;        // the baseline
  std::vector<GlyphEntry> glyphs;
  bool operator==(const TextRecord&) const = default;
};

struct TextDefinition {
  uint16_t id = 0;
  TwipsRect bounds;
  Matrix matrix;  // the text's space to the character's
  std::vector<TextRecord> records;
  bool truncated = false;  // records or glyphs were dropped (damage or a bound)
};

// version 1 (DefineText: RGB colours) or 2 (DefineText2: RGBA). Nothing for a tag too short
// for its header; records that break off end the text.
std::optional<TextDefinition> DecodeText(std::span<const uint8_t> body, int version);

}  // namespace swfplayer::format
