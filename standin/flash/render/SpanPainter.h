// Colours of a gradient or bitmap paint for a run of device pixels.
#pragma once

#include <cstdint>

namespace swfsaver::flash::render {

class SpanPainter {
 public:
  // Premultiplied colours of pixels x .. x+len-1 of row y, sampled at the pixel centres.
  virtual void Generate(int x, int y, int len, uint32_t* out) const = 0;

 protected:
  ~SpanPainter() = default;
};

}  // namespace swfsaver::flash::render
