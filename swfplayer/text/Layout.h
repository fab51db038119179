// Lays a styled text out as the Flash Player does a text field's: paragraphs at '\r' (or
// '\n'), lines broken at spaces (the spaces hang past the edge) and around CJK characters
// (not before closing punctuation nor after opening brackets), a word longer than the line
// broken between characters; each line as tall as its tallest font's ascent plus descent, then
// the paragraph's leading; alignment, margins, block indent, first-line indent, bullets and tab
// stops per paragraph. Coordinates are twips from the text area's top-left corner (inside the
// field's 2-pixel gutter); glyphs stand on their line's baseline.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "swfplayer/text/LayoutFont.h"
#include "swfplayer/text/StyledText.h"

namespace swfplayer::text {

// The font a format names, for a field: embedded (the movie's, when the field uses outlines)
// or device. Null draws the characters as nothing.
class FontResolver {
 public:
  virtual ~FontResolver() = default;
  virtual std::shared_ptr<const LayoutFont> Resolve(const TextFormat& format) = 0;
};

struct PlacedGlyph {
  std::shared_ptr<const Path> outline;
  Matrix matrix;  // the outline's units to the text area's twips
  Rgba color;
  bool nonZero = false;  // device outlines fill non-zero, SWF glyphs even-odd
};

struct TextRect {
  double x = 0, y = 0, width = 0, height = 0;
  Rgba color;
};

struct LineBox {
  size_t begin = 0, end = 0;  // characters, the line's break included
  double top = 0;             // twips
  double ascent = 0, descent = 0, leading = 0;
  double left = 0;            // where the line's first character stands
  double width = 0;           // of its characters, hanging spaces left out
  size_t firstGlyph = 0, glyphCount = 0;
};

struct LaidOutText {
  std::vector<LineBox> lines;  // at least one
  std::vector<PlacedGlyph> glyphs;
  std::vector<TextRect> underlines;
  double textWidth = 0;   // the widest line with its margins, twips
  double textHeight = 0;  // the lines' heights together, the last one's leading left out
};

struct LayoutOptions {
  double width = 0;  // of the text area, twips
  bool wordWrap = false;
};

// At most kMaxLaidOutCharacters are laid out (a longer text shows its beginning).
inline constexpr size_t kMaxLaidOutCharacters = 1 << 20;

LaidOutText LayOut(const StyledText& text, FontResolver& fonts, const LayoutOptions& options);

}  // namespace swfplayer::text
