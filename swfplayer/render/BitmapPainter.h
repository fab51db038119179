// Bitmap fills: clipped (edge pixels extend) or repeating, nearest or bilinear, with the colour
// transform applied to the pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "swfplayer/render/BitmapSampler.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/render/PremultipliedTransform.h"
#include "swfplayer/render/SpanPainter.h"

namespace swfplayer::render {

class BitmapPainter final : public SpanPainter {
 public:
  // bitmapToDevice maps bitmap pixel space to device pixels. False when nothing can be drawn:
  // no bitmap, no pixels, fewer pixels than its size, or a matrix that squashes it flat.
  bool Setup(const BitmapFill& fill, const Matrix& bitmapToDevice, const ColorTransform& transform,
             Quality quality);
  void GeneratePart(int x, int skip, int y, int len, uint32_t* out) const override;
  // Lets go of the bitmap, which Setup holds on to so that a recorded frame can still read its
  // pixels once the caller's paint is gone.
  void Release() { bitmap_.reset(); }

  // Every span through the per-pixel reference path, which the fast one must match.
  void SetReferenceOnlyForTesting(bool on) { referenceOnly_ = on; }

 private:
  uint32_t Nearest(double u, double v) const;
  uint32_t Bilinear(double u, double v) const;
  uint32_t At(int col, int line) const {
    return grid_.pixels[static_cast<size_t>(line) * static_cast<size_t>(grid_.width) + col];
  }
  // Whether the samplers may take pixels first .. last of the span: every position within
  // their range.
  bool Fits(const SpanSteps& steps, int first, int last) const;

  std::shared_ptr<const Bitmap> bitmap_;
  BitmapGrid grid_;
  bool smooth_ = false;
  bool fast_ = false;  // the bitmap is small enough for the samplers' 32-bit offsets
  bool referenceOnly_ = false;
  PremultipliedTransform transform_;
  // Device (x, y) to bitmap space: u = ux*x + uy*y + u0.
  double ux_ = 0, uy_ = 0, u0_ = 0, vx_ = 0, vy_ = 0, v0_ = 0;
};

}  // namespace swfplayer::render
