// Bitmap fills: clipped (edge pixels extend) or repeating, nearest or bilinear, with the colour
// transform applied to the pixels.
#pragma once

#include <cstdint>

#include "standin/flash/render/Canvas.h"
#include "standin/flash/render/Geometry.h"
#include "standin/flash/render/Paint.h"
#include "standin/flash/render/SpanPainter.h"

namespace swfsaver::flash::render {

// A premultiplied pixel under a colour transform: unpremultiplied, transformed, premultiplied.
uint32_t TransformPremultiplied(uint32_t pixel, const ColorTransform& transform);

class BitmapPainter final : public SpanPainter {
 public:
  // bitmapToDevice maps bitmap pixel space to device pixels. False when nothing can be drawn:
  // no bitmap, no pixels, fewer pixels than its size, or a matrix that squashes it flat.
  bool Setup(const BitmapFill& fill, const Matrix& bitmapToDevice, const ColorTransform& transform,
             Quality quality);
  void Generate(int x, int y, int len, uint32_t* out) const override;

 private:
  enum class Tint : uint8_t { kNone, kAlphaScale, kFull };

  uint32_t Nearest(double u, double v) const;
  uint32_t Bilinear(double u, double v) const;
  uint32_t At(int col, int line) const {
    return pixels_[static_cast<size_t>(line) * static_cast<size_t>(width_) + col];
  }

  const uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
  bool repeat_ = false, smooth_ = false;
  Tint tint_ = Tint::kNone;
  uint32_t alphaScale_ = 256;
  ColorTransform transform_;
  // Device (x, y) to bitmap space: u = ux*x + uy*y + u0.
  double ux_ = 0, uy_ = 0, u0_ = 0, vx_ = 0, vy_ = 0, v0_ = 0;
};

}  // namespace swfsaver::flash::render
