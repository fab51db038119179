// A font as the layout sees it: a movie's embedded font or a chain of device faces. Glyphs come
// with their outline (kept alive by the pointer, so a laid-out text outlives a cache that drops
// it) and advance; metrics are in the font's own units.
#pragma once

#include <memory>

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::text {

struct FontGlyph {
  std::shared_ptr<const Path> outline;  // null or empty: nothing to draw (a space)
  double advance = 0;                   // units
};

class LayoutFont {
 public:
  virtual ~LayoutFont() = default;
  // Nothing found: the character takes no room and draws nothing.
  virtual bool Find(char32_t character, FontGlyph& glyph) const = 0;
  virtual double Kerning(char32_t left, char32_t right) const = 0;
  virtual double UnitsPerEm() const = 0;
  virtual double Ascent() const = 0;
  virtual double Descent() const = 0;
  virtual double Leading() const = 0;
  // Device glyphs are drawn non-zero and advance by whole pixels, as the system's text does;
  // embedded glyphs are SWF shapes (even-odd) placed exactly.
  virtual bool IsDevice() const = 0;
};

}  // namespace swfplayer::text
