// Colour transforms of premultiplied pixels (bitmap fills): the transform works on straight
// colours, so each pixel is unpremultiplied, transformed and premultiplied again.
#pragma once

#include <cstdint>

#include "swfplayer/types/Geometry.h"

namespace swfplayer::render {

// One pixel: unpremultiplied (rounded, at most 255), transformed, premultiplied. The reference
// for PremultipliedTransform.
uint32_t TransformPremultiplied(uint32_t pixel, const ColorTransform& transform);

// A transform set up once per fill and applied to runs of pixels, four at a time with SSE2.
class PremultipliedTransform {
 public:
  void Setup(const ColorTransform& transform);
  // Every pixel as TransformPremultiplied gives it, except that a transform that only shrinks
  // the alpha scales the premultiplied pixel as a whole (ScalePixel by round(256 mulA)).
  void Apply(uint32_t* pixels, int len) const;

 private:
  enum class Kind : uint8_t { kNone, kAlphaScale, kFull };

  void ApplyFull(uint32_t* pixels, int len) const;

  Kind kind_ = Kind::kNone;
  uint32_t alphaScale_ = 256;
  ColorTransform transform_;
};

}  // namespace swfplayer::render
