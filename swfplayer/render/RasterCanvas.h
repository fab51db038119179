// The software canvas: draws into caller-owned premultiplied 0xAARRGGBB pixels (a DIB
// section's bits, a vector for a PNG writer). Buffers live as long as the canvas, so drawing a
// frame allocates nothing once the first frames have sized them.
#pragma once

#include <cstdint>

#include "swfplayer/render/BitmapPainter.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Compositor.h"
#include "swfplayer/render/Contours.h"
#include "swfplayer/render/GradientPainter.h"
#include "swfplayer/render/MaskStack.h"

namespace swfplayer::render {

class RasterCanvas final : public Canvas {
 public:
  // Largest width or height; a canvas with a bad size or no pixels is 0 x 0 and draws nothing.
  static constexpr int kMaxSide = 1 << 15;

  RasterCanvas(uint32_t* pixels, int width, int height, int strideInPixels, Quality quality);

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  Quality GetQuality() const { return quality_; }
  void SetQuality(Quality quality) { quality_ = quality; }

  void Clear(Rgba color) override;
  void FillPath(const Path& path, const Matrix& toDevice, FillRule rule, const Paint& paint,
                const ColorTransform& colorTransform) override;
  void StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                  const Paint& paint, const ColorTransform& colorTransform) override;
  void BeginMask() override { masks_.Begin(); }
  void EndMask() override { masks_.End(); }
  void PopMask() override { masks_.Pop(); }

 private:
  // Sweeps what was added to the rasteriser with the paint, or into the mask being built.
  void Composite(FillRule rule, const Paint& paint, const Matrix& toDevice,
                 const ColorTransform& colorTransform);

  uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0, stride_ = 0;
  Quality quality_;
  Contours centre_;
  Contours outline_;
  CellRasterizer raster_;
  MaskStack masks_;
  Compositor compositor_;
  GradientPainter gradient_;
  BitmapPainter bitmap_;
};

}  // namespace swfplayer::render
