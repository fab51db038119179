// Colours of a gradient or bitmap paint for a run of device pixels.
#pragma once

#include <cstdint>

namespace swfplayer::render {

class SpanPainter {
 public:
  // Premultiplied colours of pixels x .. x+len-1 of row y, sampled at the pixel centres.
  void Generate(int x, int y, int len, uint32_t* out) const { GeneratePart(x, 0, y, len, out); }

  // Pixels x+skip .. x+skip+len-1 of the run that starts at x, exactly as Generate gives them
  // for the whole run. Positions step along a run from its first pixel, so their rounding,
  // which decides a pixel centre that falls on a bitmap pixel's edge, depends on where the run
  // starts: a part left out (hidden by a mask) must not move that start.
  virtual void GeneratePart(int x, int skip, int y, int len, uint32_t* out) const = 0;

 protected:
  ~SpanPainter() = default;
};

}  // namespace swfplayer::render
